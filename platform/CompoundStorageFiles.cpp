// CStorage: opening, making and replacing files.

#include <cerrno>
#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/CompoundFileCore.h"
#include "platform/CompoundFileFormat.h"
#include "platform/CompoundOpenFiles.h"
#include "platform/CompoundStorage.h"

namespace platform {
namespace {

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return false;
    bytes = ss.str();
    return true;
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
    if (!CompoundOpenFiles::Instance().Add(key, exclusive)) return STG_E_SHAREVIOLATION;
    // From here the registration is undone by the core, or by hand on failure.
    // A reader opens read-write when it may, since a WAL file needs its side
    // files even for reading; the handles keep it from writing.
    SqliteDb db;
    int rc = SqliteOpen(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, db);
    if (rc != SQLITE_OK && !writable) rc = SqliteOpen(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, db);
    HRESULT hr = S_OK;
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
        db.reset();
        CompoundOpenFiles::Instance().Remove(key);
        return hr;
    }
    root.m_core = std::make_shared<CompoundFileCore>(std::move(db), key, (mode & STGM_TRANSACTED) != 0, writable);
    root.m_id = kCompoundRootId;
    root.m_epoch = 0;
    root.m_writable = writable;
    return S_OK;
}

HRESULT CStorage::CreateFile(const std::string& path, uint32_t mode, CStorage& root)
{
    root.Close();
    if (!ValidStorageMode(mode)) return STG_E_INVALIDFLAG;
    if (!WritableMode(mode)) return STG_E_INVALIDFLAG;
    if ((mode & STGM_CREATE) && (mode & STGM_CONVERT)) return STG_E_INVALIDFLAG;
    bool exists = FileExists(path);
    if (exists && !(mode & (STGM_CREATE | STGM_CONVERT))) return STG_E_FILEALREADYEXISTS;
    if (exists && CompoundOpenFiles::Instance().IsOpen(CompoundOpenFiles::Key(path))) return STG_E_SHAREVIOLATION;

    std::string old;
    bool convert = exists && (mode & STGM_CONVERT);
    if (convert && !ReadWholeFile(path, old)) return STG_E_ACCESSDENIED;

    std::string temp;
    HRESULT hr = BuildNewStoreFile(path, convert ? &old : nullptr, temp);
    if (FAILED(hr)) return hr;
    if (exists) {
        // A journal of the old file would be played into the new one.
        RemoveJournals(path);
        if (rename(temp.c_str(), path.c_str()) != 0) {
            unlink(temp.c_str());
            return STG_E_ACCESSDENIED;
        }
    } else {
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
    }
    hr = OpenCore(path, mode & ~(STGM_CREATE | STGM_CONVERT), root);
    if (FAILED(hr)) return hr;
    return convert ? STG_S_CONVERTED : S_OK;
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
    HRESULT hr = OpenFile(path, mode, root);
    if (hr == STG_E_FILENOTFOUND) {
        hr = CreateFile(path, mode, root);
        // Someone else made it in between: open theirs.
        if (hr == STG_E_FILEALREADYEXISTS) hr = OpenFile(path, mode, root);
        return hr;
    }
    if (hr != STG_E_INVALIDHEADER) return hr;
    hr = CreateFile(path, mode | STGM_CREATE, root);
    return FAILED(hr) ? hr : S_FALSE;
}

bool CStorage::IsStorageFile(const std::string& path)
{
    if (!FileExists(path)) return false;
    // Only stores are held open; asking the file would wait for our own lock.
    if (CompoundOpenFiles::Instance().IsOpen(CompoundOpenFiles::Key(path))) return true;
    SqliteDb db;
    if (SqliteOpen(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, db) != SQLITE_OK) return false;
    sqlite3_busy_timeout(db.get(), kCompoundBusyTimeoutMs);
    bool ok = SUCCEEDED(CheckStoreFile(db.get()));
    sqlite3_busy_timeout(db.get(), 0);
    return ok;
}

} // namespace platform
