#include "schema/compound/CompoundFileFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

#include "platform/PathParts.h"
#include "platform/SqliteStatement.h"

namespace platform {
namespace {

// "ARCS": tells our stores from other SQLite files (the settings store among them).
constexpr int kApplicationId = 0x41524353;
constexpr int kFormatVersion = 1;

const char* const kLayout =
    "CREATE TABLE elements("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"  // ids never reused: a handle on a destroyed element stays dead
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  fold TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  size INTEGER NOT NULL DEFAULT 0);"
    "CREATE UNIQUE INDEX elements_by_name ON elements(parent, fold);"
    "CREATE TABLE chunks("
    "  element INTEGER NOT NULL,"
    "  idx INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(element, idx)) WITHOUT ROWID;"
    "INSERT INTO elements(id, parent, name, fold, type) VALUES(1, 0, '', '', 1);";

} // namespace

std::string FoldElementName(const std::string& name)
{
    return FoldAsciiUpper(name);
}

bool ValidElementName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxElementName) return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '!' || c == '\0') return false;
    return true;
}

bool ValidStorageMode(uint32_t mode) { return (mode & 3u) != 3u && (mode & 0x70u) <= STGM_SHARE_DENY_NONE; }

bool WritableMode(uint32_t mode) { return (mode & 3u) != STGM_READ; }

bool ExcludingMode(uint32_t mode)
{
    uint32_t share = mode & 0x70u;
    return share == STGM_SHARE_EXCLUSIVE || share == STGM_SHARE_DENY_WRITE || share == STGM_SHARE_DENY_READ;
}

HRESULT StorageResult(int rc, HRESULT otherwise)
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return S_OK;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return STG_E_LOCKVIOLATION;
    case SQLITE_FULL: return STG_E_MEDIUMFULL;
    case SQLITE_READONLY:
    case SQLITE_PERM: return STG_E_ACCESSDENIED;
    case SQLITE_NOMEM: return E_OUTOFMEMORY;
    default: return otherwise;
    }
}

// The file is in WAL mode, set when it is made; with synchronous=NORMAL (set
// once the file is known to be a store) each commit stays atomic without a
// sync per call: a save of many small strings is many small commits.
void ConfigureConnection(sqlite3* db, bool exclusive)
{
    sqlite3_busy_timeout(db, kCompoundBusyTimeoutMs);
    // Exclusive locking before WAL keeps the WAL index in memory: no -shm file.
    if (exclusive) SqliteExec(db, "PRAGMA locking_mode=EXCLUSIVE");
}

HRESULT CheckStoreFile(sqlite3* db)
{
    int64_t appId = 0, version = 0;
    int rc = SqliteQueryInt(db, "PRAGMA application_id", appId);
    if (rc != SQLITE_OK) return StorageResult(rc, STG_E_INVALIDHEADER);
    if (SqliteQueryInt(db, "PRAGMA user_version", version) != SQLITE_OK) return STG_E_INVALIDHEADER;
    if (appId != kApplicationId || version != kFormatVersion) return STG_E_INVALIDHEADER;
    // A cut or damaged file must not pass as a store with holes in it. The
    // full check, since the quick one does not hold the index against the
    // rows: a bad name entry would make its element neither found nor made anew.
    SqliteStatement check(db, "PRAGMA integrity_check(1)");
    rc = check.Step();
    if (rc != SQLITE_ROW) return StorageResult(rc, STG_E_INVALIDHEADER);
    if (check.Text(0) != "ok") return STG_E_INVALIDHEADER;
    SqliteStatement root(db, "SELECT type FROM elements WHERE id=1");
    if (root.Step() != SQLITE_ROW || root.Int(0) != STGTY_STORAGE) return STG_E_INVALIDHEADER;
    return S_OK;
}

HRESULT BuildNewStoreFile(const std::string& path, const std::string* contents, std::string& temp)
{
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? STG_E_PATHNOTFOUND : STG_E_ACCESSDENIED;
    close(fd);
    temp = name.data();

    HRESULT hr = S_OK;
    {
        SqliteDb db;
        int rc = SqliteOpen(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, db);
        if (rc != SQLITE_OK) {
            hr = STG_E_ACCESSDENIED;
        } else {
            std::string pragmas = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                  ";PRAGMA user_version=" + std::to_string(kFormatVersion) +
                                  ";PRAGMA journal_mode=WAL;";
            rc = SqliteExec(db.get(), pragmas.c_str());
            if (rc == SQLITE_OK) rc = SqliteExec(db.get(), "BEGIN");
            if (rc == SQLITE_OK) rc = SqliteExec(db.get(), kLayout);
            if (rc == SQLITE_OK && contents) {
                SqliteStatement s(db.get(),
                                  "INSERT INTO elements(parent, name, fold, type, size) VALUES(1, 'CONTENTS', 'CONTENTS', 2, ?)");
                rc = s.Bind(1, static_cast<int64_t>(contents->size())).Step();
                int64_t id = sqlite3_last_insert_rowid(db.get());
                for (uint64_t off = 0; rc == SQLITE_DONE && off < contents->size(); off += kCompoundChunk) {
                    SqliteStatement c(db.get(), "INSERT INTO chunks(element, idx, data) VALUES(?, ?, ?)");
                    size_t n = static_cast<size_t>(std::min<uint64_t>(kCompoundChunk, contents->size() - off));
                    rc = c.Bind(1, id)
                             .Bind(2, static_cast<int64_t>(off / kCompoundChunk))
                             .BindBlob(3, contents->data() + off, n)
                             .Step();
                }
                if (rc == SQLITE_DONE) rc = SQLITE_OK;
            }
            if (rc == SQLITE_OK) rc = SqliteExec(db.get(), "COMMIT");
            if (rc != SQLITE_OK) hr = StorageResult(rc, STG_E_WRITEFAULT);
        }
    }
    if (FAILED(hr)) {
        unlink(temp.c_str());
        temp.clear();
    }
    return hr;
}

} // namespace platform
