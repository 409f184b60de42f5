// CStorage: opening, making and replacing files.

#include <cerrno>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "schema/compound/CompoundFileCore.h"
#include "schema/compound/CompoundFileFormat.h"
#include "schema/compound/CompoundFileLock.h"
#include "schema/compound/CompoundOpenFiles.h"
#include "schema/compound/CompoundStorage.h"

namespace platform {
namespace {

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// S_OK when the file is a store, STG_E_INVALIDHEADER when it is not, else why it cannot tell.
HRESULT CheckFile(const std::string& path)
{
    SqliteDb db;
    int rc = SqliteOpen(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, db);
    if (rc != SQLITE_OK) return StorageResult(rc, STG_E_ACCESSDENIED);
    sqlite3_busy_timeout(db.get(), kCompoundBusyTimeoutMs);
    HRESULT hr = CheckStoreFile(db.get());
    sqlite3_busy_timeout(db.get(), 0);
    return hr;
}

void RemoveJournals(const std::string& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"}) unlink((path + suffix).c_str());
}

} // namespace

HRESULT CStorage::OpenCore(const std::string& path, uint32_t mode, CStorage& root)
{
    root.Close();
    if (!ValidStorageMode(mode)) return STG_E_INVALIDFLAG;
    if (!FileExists(path)) return STG_E_FILENOTFOUND;
    bool writable = WritableMode(mode), exclusive = ExcludingMode(mode);
    std::string key = CompoundOpenFiles::Key(path);
    CompoundOpenFiles& files = CompoundOpenFiles::Instance();
    if (!files.Add(key, exclusive)) return STG_E_SHAREVIOLATION;
    // From here the registration is undone by the core, or by hand on failure.
    // While the file lock is held the path names the file opened here.
    HRESULT hr = files.HoldFileLock(key);
    if (FAILED(hr)) {
        files.Remove(key);
        return hr;
    }
    // Exclusive openers get SQLite's lock one at a time, so one of them gets it.
    if (exclusive) hr = files.TakeTurn(key);
    if (FAILED(hr)) {
        files.Remove(key);
        return hr;
    }
    // A reader opens read-write when it may, since a WAL file needs its side
    // files even for reading; the handles keep it from writing.
    SqliteDb db;
    int rc = SqliteOpen(key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, db);
    if (rc != SQLITE_OK && !writable) rc = SqliteOpen(key, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, db);
    if (rc != SQLITE_OK) {
        hr = StorageResult(rc, STG_E_ACCESSDENIED);
    } else {
        ConfigureConnection(db.get(), exclusive);
        if (!writable) SqliteExec(db.get(), "PRAGMA query_only=1");
        hr = CheckStoreFile(db.get());
        if (SUCCEEDED(hr)) SqliteExec(db.get(), "PRAGMA synchronous=NORMAL");
        // Take the lock now, not at the first write, so that a second holder is refused at once.
        if (SUCCEEDED(hr) && exclusive && writable) {
            rc = SqliteExec(db.get(), "BEGIN EXCLUSIVE");
            if (rc == SQLITE_OK) rc = SqliteExec(db.get(), "COMMIT");
            if (rc != SQLITE_OK) hr = StorageResult(rc, STG_E_LOCKVIOLATION);
        }
    }
    if (FAILED(hr)) {
        // Closing would wait once more for the lock it could not get.
        if (db) sqlite3_busy_timeout(db.get(), 0);
        // SQLite's share of the file goes before the turn passes on.
        db.reset();
        if (exclusive) files.EndTurn(key);
        files.Remove(key);
        return hr;
    }
    if (exclusive) files.EndTurn(key);
    root.m_core = std::make_shared<CompoundFileCore>(std::move(db), key, (mode & STGM_TRANSACTED) != 0, writable);
    root.m_id = kCompoundRootId;
    root.m_epoch = 0;
    root.m_writable = writable;
    return S_OK;
}

HRESULT CStorage::CreateNewFile(const std::string& path, uint32_t mode, CStorage& root)
{
    std::string temp;
    HRESULT hr = BuildNewStoreFile(path, nullptr, temp);
    if (FAILED(hr)) return hr;
    // link() refuses a name that appeared meanwhile: never clobber another's new file.
    int rc = link(temp.c_str(), path.c_str());
    int err = errno;
    if (rc != 0 && err != EEXIST && !FileExists(path)) {
        // A file system without hard links: a plain rename, checked just before.
        rc = rename(temp.c_str(), path.c_str());
        err = errno;
    }
    unlink(temp.c_str());
    if (rc != 0) return err == EEXIST ? STG_E_FILEALREADYEXISTS : STG_E_ACCESSDENIED;
    return OpenCore(path, mode & ~(STGM_CREATE | STGM_CONVERT), root);
}

HRESULT CStorage::ReplaceFile(const std::string& path, uint32_t mode, bool convert, bool onlyForeign, CStorage& root)
{
    std::string key = CompoundOpenFiles::Key(path);
    CompoundOpenFiles& files = CompoundOpenFiles::Instance();
    // Held as an exclusive holder meanwhile: no handle of this process comes onto the old file.
    if (!files.Add(key, true)) return STG_E_SHAREVIOLATION;
    HRESULT hr;
    {
        // Nobody has the old file open, nor opens it, until the new one is in place.
        CompoundFileLock lock;
        hr = lock.Take(key, true);
        if (hr == S_OK && onlyForeign) {
            // It was found not to be a store; another process may have put one in its place since.
            hr = CheckFile(key);
            hr = hr == S_OK ? S_FALSE : hr == STG_E_INVALIDHEADER ? S_OK : hr;
        }
        std::string old, temp;
        if (hr == S_OK && convert && !lock.ReadAll(old)) hr = STG_E_ACCESSDENIED;
        if (hr == S_OK) hr = BuildNewStoreFile(key, convert ? &old : nullptr, temp);
        if (hr == S_OK) {
            // A journal of the old file would be played into the new one.
            RemoveJournals(key);
            if (rename(temp.c_str(), key.c_str()) != 0) {
                unlink(temp.c_str());
                hr = STG_E_ACCESSDENIED;
            }
        }
    }
    files.Remove(key);
    if (hr != S_OK) return hr;
    return OpenCore(path, mode & ~(STGM_CREATE | STGM_CONVERT), root);
}

HRESULT CStorage::CreateFile(const std::string& path, uint32_t mode, CStorage& root)
{
    root.Close();
    if (!ValidStorageMode(mode)) return STG_E_INVALIDFLAG;
    if (!WritableMode(mode)) return STG_E_INVALIDFLAG;
    if ((mode & STGM_CREATE) && (mode & STGM_CONVERT)) return STG_E_INVALIDFLAG;
    bool replace = (mode & (STGM_CREATE | STGM_CONVERT)) != 0;
    // The file may appear or go meanwhile: look again.
    HRESULT hr = STG_E_FILEALREADYEXISTS;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (FileExists(path)) {
            if (!replace) return STG_E_FILEALREADYEXISTS;
            hr = ReplaceFile(path, mode, (mode & STGM_CONVERT) != 0, false, root);
            if (hr == STG_E_FILENOTFOUND) continue;
            if (FAILED(hr)) return hr;
            return (mode & STGM_CONVERT) ? STG_S_CONVERTED : S_OK;
        }
        hr = CreateNewFile(path, mode, root);
        if (hr == STG_E_FILEALREADYEXISTS && replace) continue;
        return hr;
    }
    return hr;
}

HRESULT CStorage::OpenFile(const std::string& path, uint32_t mode, CStorage& root)
{
    if (mode & (STGM_CREATE | STGM_CONVERT)) {
        root.Close();
        return STG_E_INVALIDFLAG;
    }
    return OpenCore(path, mode, root);
}

HRESULT CStorage::OpenOrReplaceFile(const std::string& path, uint32_t mode, CStorage& root)
{
    mode &= ~(STGM_CREATE | STGM_CONVERT);
    // Another process may make, replace or open the file at the same time.
    HRESULT hr = STG_E_FILENOTFOUND;
    for (int attempt = 0; attempt < 3; ++attempt) {
        hr = OpenFile(path, mode, root);
        if (hr == STG_E_FILENOTFOUND) {
            hr = CreateNewFile(path, mode, root);
            // Someone else made it in between: open theirs.
            if (hr == STG_E_FILEALREADYEXISTS) continue;
            return hr;
        }
        if (hr != STG_E_INVALIDHEADER) return hr;
        hr = ReplaceFile(path, mode, false, true, root);
        // A store by now, or gone: look again (and give up if that goes on).
        if (hr == S_FALSE) {
            hr = STG_E_LOCKVIOLATION;
            continue;
        }
        if (hr == STG_E_FILENOTFOUND) continue;
        return FAILED(hr) ? hr : S_FALSE;
    }
    return hr;
}

bool CStorage::IsStorageFile(const std::string& path)
{
    if (!FileExists(path)) return false;
    // Only stores are held open; asking the file would wait for our own lock.
    if (CompoundOpenFiles::Instance().IsOpen(CompoundOpenFiles::Key(path))) return true;
    return CheckFile(path) == S_OK;
}

} // namespace platform
