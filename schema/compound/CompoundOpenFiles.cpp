#include "schema/compound/CompoundOpenFiles.h"

#include <climits>
#include <cstdlib>

namespace platform {

CompoundOpenFiles& CompoundOpenFiles::Instance()
{
    static CompoundOpenFiles files;
    return files;
}

std::string CompoundOpenFiles::Key(const std::string& path)
{
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

bool CompoundOpenFiles::Add(const std::string& key, bool exclusive)
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_files.find(key);
    if (it != m_files.end() && (exclusive || it->second.exclusive)) return false;
    Entry& e = m_files[key];
    ++e.count;
    e.exclusive = exclusive;
    return true;
}

HRESULT CompoundOpenFiles::HoldFileLock(const std::string& key)
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_files.find(key);
    if (it == m_files.end()) return E_FAIL;
    Entry& e = it->second;
    if (e.fileLock) return S_OK;
    auto lock = std::make_unique<CompoundFileLock>();
    HRESULT hr = lock->Take(key, false);
    if (SUCCEEDED(hr)) e.fileLock = std::move(lock);
    return hr;
}

CompoundFileLock* CompoundOpenFiles::HeldLock(const std::string& key) const
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_files.find(key);
    return it == m_files.end() ? nullptr : it->second.fileLock.get();
}

// The caller's own registration keeps the entry, and its lock, in place meanwhile.
HRESULT CompoundOpenFiles::TakeTurn(const std::string& key)
{
    CompoundFileLock* lock = HeldLock(key);
    return lock ? lock->TakeTurn() : E_FAIL;
}

void CompoundOpenFiles::EndTurn(const std::string& key)
{
    if (CompoundFileLock* lock = HeldLock(key)) lock->EndTurn();
}

void CompoundOpenFiles::Remove(const std::string& key)
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_files.find(key);
    if (it != m_files.end() && --it->second.count == 0) m_files.erase(it);
}

bool CompoundOpenFiles::IsOpen(const std::string& key) const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_files.count(key) != 0;
}

} // namespace platform
