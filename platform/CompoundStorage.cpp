#include "platform/CompoundStorage.h"
#include "platform/PathParts.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// "ARCS": tells our stores from other SQLite files (the settings store among them).
constexpr int kApplicationId = 0x41524353;
constexpr int kFormatVersion = 1;
constexpr int64_t kRootId = 1;
// Streams are kept in chunks so that a small write touches one row, not the whole stream.
constexpr uint64_t kChunk = 4096;
constexpr int kBusyTimeoutMs = 2000;

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

std::string Fold(const std::string& name)
{
    return FoldAsciiUpper(name);
}

bool ValidName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxElementName) return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '!' || c == '\0') return false;
    return true;
}

bool ValidMode(uint32_t mode) { return (mode & 3u) != 3u && (mode & 0x70u) <= STGM_SHARE_DENY_NONE; }
bool Writable(uint32_t mode) { return (mode & 3u) != STGM_READ; }
bool Excluding(uint32_t mode)
{
    uint32_t share = mode & 0x70u;
    return share == STGM_SHARE_EXCLUSIVE || share == STGM_SHARE_DENY_WRITE || share == STGM_SHARE_DENY_READ;
}

std::vector<std::string> SplitPath(const std::string& path)
{
    return SplitPathParts(path, '/');
}

struct DbClose {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
typedef std::unique_ptr<sqlite3, DbClose> DbPtr;

struct StmtFinalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) : m_db(db)
    {
        sqlite3_stmt* s = nullptr;
        m_rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        m_stmt.reset(s);
    }
    Stmt& Bind(int i, int64_t v)
    {
        if (m_stmt) sqlite3_bind_int64(m_stmt.get(), i, v);
        return *this;
    }
    Stmt& BindText(int i, const std::string& v)
    {
        if (m_stmt) sqlite3_bind_text(m_stmt.get(), i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& BindBlob(int i, const void* p, size_t n)
    {
        // A zero-length blob, not NULL, for no bytes.
        if (m_stmt) sqlite3_bind_blob64(m_stmt.get(), i, n ? p : "", n, SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step()
    {
        if (!m_stmt) return m_rc == SQLITE_OK ? SQLITE_ERROR : m_rc;
        return sqlite3_step(m_stmt.get());
    }
    int64_t Int(int col) { return sqlite3_column_int64(m_stmt.get(), col); }
    std::string Text(int col)
    {
        const unsigned char* p = sqlite3_column_text(m_stmt.get(), col);
        return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(m_stmt.get(), col)))
                 : std::string();
    }
    std::string Blob(int col)
    {
        const void* p = sqlite3_column_blob(m_stmt.get(), col);
        int n = sqlite3_column_bytes(m_stmt.get(), col);
        return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
    }

private:
    sqlite3* m_db;
    int m_rc = SQLITE_OK;
    std::unique_ptr<sqlite3_stmt, StmtFinalize> m_stmt;
};

int Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

HRESULT FromSqlite(int rc, HRESULT otherwise)
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

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The canonical name of an existing file, so one file has one key however it is named.
std::string CanonicalPath(const std::string& path)
{
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

// Files this process holds open, so that it neither opens one twice against
// an exclusive holder nor replaces one under its own feet.
class OpenFiles {
public:
    static OpenFiles& Instance()
    {
        static OpenFiles files;
        return files;
    }
    bool Add(const std::string& key, bool exclusive)
    {
        std::lock_guard<std::mutex> g(m_lock);
        auto it = m_files.find(key);
        if (it != m_files.end() && (exclusive || it->second.exclusive)) return false;
        Entry& e = m_files[key];
        ++e.count;
        e.exclusive = exclusive;
        return true;
    }
    void Remove(const std::string& key)
    {
        std::lock_guard<std::mutex> g(m_lock);
        auto it = m_files.find(key);
        if (it != m_files.end() && --it->second.count == 0) m_files.erase(it);
    }
    bool IsOpen(const std::string& key) const
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_files.count(key) != 0;
    }

private:
    struct Entry {
        int count = 0;
        bool exclusive = false;
    };
    mutable std::mutex m_lock;
    std::map<std::string, Entry> m_files;
};

// Settings every connection needs before its first read. The file is in WAL
// mode, set when it is made; with synchronous=NORMAL (set once the file is
// known to be a store) each commit stays atomic without a sync per call: a
// save of many small strings is many small commits.
void Configure(sqlite3* db, bool exclusive)
{
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Exclusive locking before WAL keeps the WAL index in memory: no -shm file.
    if (exclusive) Exec(db, "PRAGMA locking_mode=EXCLUSIVE");
}

// S_OK when the open database is one of our stores, else why not.
HRESULT CheckStore(sqlite3* db)
{
    int appId = 0, version = 0;
    {
        Stmt s(db, "PRAGMA application_id");
        int rc = s.Step();
        if (rc != SQLITE_ROW) return FromSqlite(rc, STG_E_INVALIDHEADER);
        appId = static_cast<int>(s.Int(0));
    }
    {
        Stmt s(db, "PRAGMA user_version");
        if (s.Step() != SQLITE_ROW) return STG_E_INVALIDHEADER;
        version = static_cast<int>(s.Int(0));
    }
    if (appId != kApplicationId || version != kFormatVersion) return STG_E_INVALIDHEADER;
    // A cut or damaged file must not pass as a store with holes in it.
    Stmt check(db, "PRAGMA quick_check");
    int rc = check.Step();
    if (rc != SQLITE_ROW) return FromSqlite(rc, STG_E_INVALIDHEADER);
    if (check.Text(0) != "ok") return STG_E_INVALIDHEADER;
    Stmt root(db, "SELECT type FROM elements WHERE id=1");
    if (root.Step() != SQLITE_ROW || root.Int(0) != STGTY_STORAGE) return STG_E_INVALIDHEADER;
    return S_OK;
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

// Writes an empty store, with the old bytes in "CONTENTS" when given, into a
// new temporary file beside path; its name in temp.
HRESULT BuildNewStore(const std::string& path, const std::string* contents, std::string& temp)
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
        sqlite3* raw = nullptr;
        int rc = sqlite3_open_v2(temp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        DbPtr db(raw);
        if (rc != SQLITE_OK) {
            hr = STG_E_ACCESSDENIED;
        } else {
            std::string pragmas = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                  ";PRAGMA user_version=" + std::to_string(kFormatVersion) +
                                  ";PRAGMA journal_mode=WAL;";
            rc = Exec(db.get(), pragmas.c_str());
            if (rc == SQLITE_OK) rc = Exec(db.get(), "BEGIN");
            if (rc == SQLITE_OK) rc = Exec(db.get(), kLayout);
            if (rc == SQLITE_OK && contents) {
                Stmt s(db.get(), "INSERT INTO elements(parent, name, fold, type, size) VALUES(1, 'CONTENTS', 'CONTENTS', 2, ?)");
                rc = s.Bind(1, static_cast<int64_t>(contents->size())).Step();
                int64_t id = sqlite3_last_insert_rowid(db.get());
                for (uint64_t off = 0; rc == SQLITE_DONE && off < contents->size(); off += kChunk) {
                    Stmt c(db.get(), "INSERT INTO chunks(element, idx, data) VALUES(?, ?, ?)");
                    size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, contents->size() - off));
                    rc = c.Bind(1, id).Bind(2, static_cast<int64_t>(off / kChunk)).BindBlob(3, contents->data() + off, n).Step();
                }
                if (rc == SQLITE_DONE) rc = SQLITE_OK;
            }
            if (rc == SQLITE_OK) rc = Exec(db.get(), "COMMIT");
            if (rc != SQLITE_OK) hr = FromSqlite(rc, STG_E_WRITEFAULT);
        }
    }
    if (FAILED(hr)) {
        unlink(temp.c_str());
        temp.clear();
    }
    return hr;
}

void RemoveJournals(const std::string& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"}) unlink((path + suffix).c_str());
}

} // namespace

// One open file: the connection, its lock and the pending transaction.
class CompoundFileCore {
public:
    CompoundFileCore(DbPtr db, std::string key, bool transacted, bool writable)
        : m_db(std::move(db)), m_key(std::move(key)), m_transacted(transacted), m_writable(writable)
    {
    }
    ~CompoundFileCore()
    {
        // Uncommitted changes of a transacted file are dropped, as when it is reverted.
        if (m_inTransaction) Exec(m_db.get(), "ROLLBACK");
        m_db.reset();
        OpenFiles::Instance().Remove(m_key);
    }

    std::mutex& Lock() { return m_lock; }
    sqlite3* Db() const { return m_db.get(); }
    bool IsWritable() const { return m_writable; }
    uint64_t Epoch() const { return m_epoch; }

    // Caller holds the lock. Type and size of an element; false when it is gone.
    bool Lookup(int64_t id, uint32_t& type, uint64_t& size)
    {
        Stmt s(Db(), "SELECT type, size FROM elements WHERE id=?");
        if (s.Bind(1, id).Step() != SQLITE_ROW) return false;
        type = static_cast<uint32_t>(s.Int(0));
        size = static_cast<uint64_t>(s.Int(1));
        return true;
    }

    // Caller holds the lock. S_OK while the handle's element is alive.
    HRESULT Validate(int64_t id, uint64_t epoch, uint32_t type, uint64_t* size = nullptr)
    {
        if (id != kRootId && epoch != m_epoch) return STG_E_REVERTED;
        uint32_t t = 0;
        uint64_t n = 0;
        if (!Lookup(id, t, n) || t != type) return STG_E_REVERTED;
        if (size) *size = n;
        return S_OK;
    }

    // Caller holds the lock. Runs a change atomically: its own transaction on a
    // direct file, a savepoint inside the pending one on a transacted file.
    HRESULT Change(const std::function<HRESULT()>& body)
    {
        if (!m_writable) return STG_E_ACCESSDENIED;
        sqlite3* db = Db();
        if (!m_transacted) {
            int rc = Exec(db, "BEGIN IMMEDIATE");
            if (rc != SQLITE_OK) return FromSqlite(rc, STG_E_WRITEFAULT);
            HRESULT hr = body();
            if (SUCCEEDED(hr)) {
                rc = Exec(db, "COMMIT");
                if (rc == SQLITE_OK) return hr;
                hr = FromSqlite(rc, STG_E_WRITEFAULT);
            }
            Exec(db, "ROLLBACK");
            return hr;
        }
        if (!m_inTransaction) {
            int rc = Exec(db, "BEGIN IMMEDIATE");
            if (rc != SQLITE_OK) return FromSqlite(rc, STG_E_WRITEFAULT);
            m_inTransaction = true;
        }
        int rc = Exec(db, "SAVEPOINT change");
        if (rc != SQLITE_OK) return FromSqlite(rc, STG_E_WRITEFAULT);
        HRESULT hr = body();
        if (FAILED(hr)) Exec(db, "ROLLBACK TO change");
        Exec(db, "RELEASE change");
        return hr;
    }

    // Caller holds the lock.
    HRESULT Commit()
    {
        if (!m_inTransaction) return S_OK;
        int rc = Exec(Db(), "COMMIT");
        if (rc != SQLITE_OK) return FromSqlite(rc, STG_E_WRITEFAULT);
        m_inTransaction = false;
        return S_OK;
    }

    // Caller holds the lock.
    HRESULT Revert()
    {
        if (!m_transacted) return S_OK;
        if (m_inTransaction) {
            Exec(Db(), "ROLLBACK");
            m_inTransaction = false;
        }
        ++m_epoch;
        return S_OK;
    }

    // Caller holds the lock, inside Change.
    HRESULT DestroyTree(int64_t id)
    {
        static const char* const kSteps[] = {
            "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT e.id FROM elements e JOIN sub ON e.parent=sub.id) "
            "DELETE FROM chunks WHERE element IN sub",
            "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT e.id FROM elements e JOIN sub ON e.parent=sub.id) "
            "DELETE FROM elements WHERE id IN sub",
        };
        for (const char* sql : kSteps) {
            Stmt s(Db(), sql);
            int rc = s.Bind(1, id).Step();
            if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_WRITEFAULT);
        }
        return S_OK;
    }

    // Caller holds the lock. Copies [pos, pos+n) of a stream of the given size; bytes never written read as 0.
    HRESULT ReadBytes(int64_t id, uint64_t pos, uint64_t n, char* out)
    {
        std::memset(out, 0, n);
        if (n == 0) return S_OK;
        Stmt s(Db(), "SELECT idx, data FROM chunks WHERE element=? AND idx BETWEEN ? AND ?");
        s.Bind(1, id).Bind(2, static_cast<int64_t>(pos / kChunk)).Bind(3, static_cast<int64_t>((pos + n - 1) / kChunk));
        int rc;
        while ((rc = s.Step()) == SQLITE_ROW) {
            uint64_t start = static_cast<uint64_t>(s.Int(0)) * kChunk;
            std::string data = s.Blob(1);
            uint64_t from = std::max(start, pos), to = std::min({start + data.size(), pos + n});
            if (from < to) std::memcpy(out + (from - pos), data.data() + (from - start), to - from);
        }
        return rc == SQLITE_DONE ? S_OK : FromSqlite(rc, STG_E_READFAULT);
    }

    // Caller holds the lock, inside Change.
    HRESULT WriteBytes(int64_t id, uint64_t size, uint64_t pos, const char* data, uint64_t n)
    {
        uint64_t done = 0;
        while (done < n) {
            uint64_t at = pos + done;
            int64_t idx = static_cast<int64_t>(at / kChunk);
            uint64_t off = at % kChunk;
            uint64_t len = std::min(kChunk - off, n - done);
            std::string chunk;
            if (off != 0 || len != kChunk) {
                Stmt old(Db(), "SELECT data FROM chunks WHERE element=? AND idx=?");
                int rc = old.Bind(1, id).Bind(2, idx).Step();
                if (rc == SQLITE_ROW) chunk = old.Blob(0);
                else if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_READFAULT);
            }
            if (chunk.size() < off + len) chunk.resize(off + len, '\0');
            std::memcpy(&chunk[off], data + done, len);
            Stmt put(Db(), "INSERT OR REPLACE INTO chunks(element, idx, data) VALUES(?, ?, ?)");
            int rc = put.Bind(1, id).Bind(2, idx).BindBlob(3, chunk.data(), chunk.size()).Step();
            if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_WRITEFAULT);
            done += len;
        }
        if (pos + n > size) return SetSize(id, size, pos + n);
        return S_OK;
    }

    // Caller holds the lock, inside Change.
    HRESULT SetSize(int64_t id, uint64_t oldSize, uint64_t newSize)
    {
        if (newSize < oldSize) {
            int64_t keep = static_cast<int64_t>((newSize + kChunk - 1) / kChunk);
            Stmt drop(Db(), "DELETE FROM chunks WHERE element=? AND idx>=?");
            int rc = drop.Bind(1, id).Bind(2, keep).Step();
            if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_WRITEFAULT);
            if (newSize % kChunk != 0) {
                // Cut the last chunk so that growing the stream again shows zeros.
                Stmt cut(Db(), "UPDATE chunks SET data=substr(data, 1, ?) WHERE element=? AND idx=? AND length(data)>?");
                int64_t rest = static_cast<int64_t>(newSize % kChunk);
                rc = cut.Bind(1, rest).Bind(2, id).Bind(3, keep - 1).Bind(4, rest).Step();
                if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_WRITEFAULT);
            }
        }
        Stmt s(Db(), "UPDATE elements SET size=? WHERE id=?");
        int rc = s.Bind(1, static_cast<int64_t>(newSize)).Bind(2, id).Step();
        return rc == SQLITE_DONE ? S_OK : FromSqlite(rc, STG_E_WRITEFAULT);
    }

private:
    std::mutex m_lock;
    DbPtr m_db;
    std::string m_key;
    bool m_transacted;
    bool m_writable;
    bool m_inTransaction = false;
    uint64_t m_epoch = 0;
};

// ---- CStorage: files ----

HRESULT CStorage::OpenCore(const std::string& path, uint32_t mode, CStorage& root)
{
    root.Close();
    if (!ValidMode(mode)) return STG_E_INVALIDFLAG;
    if (!FileExists(path)) return STG_E_FILENOTFOUND;
    bool writable = Writable(mode), exclusive = Excluding(mode);
    std::string key = CanonicalPath(path);
    if (!OpenFiles::Instance().Add(key, exclusive)) return STG_E_SHAREVIOLATION;
    // From here the registration is undone by the core, or by hand on failure.
    // A reader opens read-write when it may, since a WAL file needs its side
    // files even for reading; the handles keep it from writing.
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    DbPtr db(raw);
    if (rc != SQLITE_OK && !writable) {
        db.reset();
        raw = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        db.reset(raw);
    }
    HRESULT hr = S_OK;
    if (rc != SQLITE_OK) {
        hr = FromSqlite(rc, STG_E_ACCESSDENIED);
    } else {
        Configure(db.get(), exclusive);
        if (!writable) Exec(db.get(), "PRAGMA query_only=1");
        hr = CheckStore(db.get());
        if (SUCCEEDED(hr)) Exec(db.get(), "PRAGMA synchronous=NORMAL");
        // Take the lock now, not at the first write, so that a second holder is refused at once.
        if (SUCCEEDED(hr) && exclusive && writable) {
            rc = Exec(db.get(), "BEGIN EXCLUSIVE");
            if (rc == SQLITE_OK) rc = Exec(db.get(), "COMMIT");
            if (rc != SQLITE_OK) hr = FromSqlite(rc, STG_E_LOCKVIOLATION);
        }
    }
    if (FAILED(hr)) {
        // Closing would wait once more for the lock it could not get.
        if (db) sqlite3_busy_timeout(db.get(), 0);
        db.reset();
        OpenFiles::Instance().Remove(key);
        return hr;
    }
    root.m_core = std::make_shared<CompoundFileCore>(std::move(db), key, (mode & STGM_TRANSACTED) != 0, writable);
    root.m_id = kRootId;
    root.m_epoch = 0;
    root.m_writable = writable;
    return S_OK;
}

HRESULT CStorage::CreateFile(const std::string& path, uint32_t mode, CStorage& root)
{
    root.Close();
    if (!ValidMode(mode)) return STG_E_INVALIDFLAG;
    if (!Writable(mode)) return STG_E_INVALIDFLAG;
    if ((mode & STGM_CREATE) && (mode & STGM_CONVERT)) return STG_E_INVALIDFLAG;
    bool exists = FileExists(path);
    if (exists && !(mode & (STGM_CREATE | STGM_CONVERT))) return STG_E_FILEALREADYEXISTS;
    if (exists && OpenFiles::Instance().IsOpen(CanonicalPath(path))) return STG_E_SHAREVIOLATION;

    std::string old;
    bool convert = exists && (mode & STGM_CONVERT);
    if (convert && !ReadWholeFile(path, old)) return STG_E_ACCESSDENIED;

    std::string temp;
    HRESULT hr = BuildNewStore(path, convert ? &old : nullptr, temp);
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
    if (OpenFiles::Instance().IsOpen(CanonicalPath(path))) return true;
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    DbPtr db(raw);
    if (rc != SQLITE_OK) return false;
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    bool ok = SUCCEEDED(CheckStore(db.get()));
    sqlite3_busy_timeout(db.get(), 0);
    return ok;
}

// ---- CStorage: elements ----

CStorage::~CStorage() = default;

void CStorage::Close()
{
    m_core.reset();
    m_id = 0;
    m_epoch = 0;
    m_writable = false;
}

HRESULT CStorage::Check(bool write) const
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (write && !m_writable) return STG_E_ACCESSDENIED;
    return m_core->Validate(m_id, m_epoch, STGTY_STORAGE);
}

namespace {

// The id of the element called name below parent: S_OK, STG_E_FILENOTFOUND
// or the read failure.
HRESULT FindChildId(CompoundFileCore& core, int64_t parent, const std::string& name, int64_t& id)
{
    Stmt find(core.Db(), "SELECT id FROM elements WHERE parent=? AND fold=?");
    int rc = find.Bind(1, parent).BindText(2, Fold(name)).Step();
    if (rc == SQLITE_DONE) return STG_E_FILENOTFOUND;
    if (rc != SQLITE_ROW) return FromSqlite(rc, STG_E_READFAULT);
    id = find.Int(0);
    return S_OK;
}

} // namespace

HRESULT CStorage::MakeElement(const std::string& name, uint32_t mode, uint32_t type, int64_t& id, uint64_t& epoch)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidMode(mode) || (mode & STGM_CONVERT)) return STG_E_INVALIDFLAG;
    if (!ValidName(name)) return STG_E_INVALIDNAME;
    if (!m_writable) return STG_E_ACCESSDENIED;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(true);
    if (FAILED(hr)) return hr;
    CompoundFileCore& core = *m_core;
    epoch = core.Epoch();
    return core.Change([&]() -> HRESULT {
        int64_t existing = 0;
        HRESULT found = FindChildId(core, m_id, name, existing);
        if (found == S_OK) {
            if (!(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
            HRESULT drop = core.DestroyTree(existing);
            if (FAILED(drop)) return drop;
        } else if (found != STG_E_FILENOTFOUND) {
            return found;
        }
        int rc;
        Stmt add(core.Db(), "INSERT INTO elements(parent, name, fold, type, size) VALUES(?, ?, ?, ?, 0)");
        rc = add.Bind(1, m_id).BindText(2, name).BindText(3, Fold(name)).Bind(4, type).Step();
        if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_WRITEFAULT);
        id = sqlite3_last_insert_rowid(core.Db());
        return S_OK;
    });
}

HRESULT CStorage::FindElement(const std::string& name, uint32_t mode, uint32_t type, int64_t& id, uint64_t& epoch)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidMode(mode) || (mode & (STGM_CREATE | STGM_CONVERT))) return STG_E_INVALIDFLAG;
    if (!ValidName(name)) return STG_E_INVALIDNAME;
    if (Writable(mode) && !m_writable) return STG_E_ACCESSDENIED;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    if (FAILED(hr)) return hr;
    Stmt find(m_core->Db(), "SELECT id, type FROM elements WHERE parent=? AND fold=?");
    int rc = find.Bind(1, m_id).BindText(2, Fold(name)).Step();
    if (rc == SQLITE_DONE) return STG_E_FILENOTFOUND;
    if (rc != SQLITE_ROW) return FromSqlite(rc, STG_E_READFAULT);
    if (static_cast<uint32_t>(find.Int(1)) != type) return STG_E_FILENOTFOUND;
    id = find.Int(0);
    epoch = m_core->Epoch();
    return S_OK;
}

template <class Handle>
HRESULT CStorage::MakeHandle(const std::string& name, uint32_t mode, uint32_t type, bool create, Handle& out)
{
    int64_t id = 0;
    uint64_t epoch = 0;
    HRESULT hr = create ? MakeElement(name, mode, type, id, epoch) : FindElement(name, mode, type, id, epoch);
    if (FAILED(hr)) return hr;
    Handle h;
    h.m_core = m_core;
    h.m_id = id;
    h.m_epoch = epoch;
    h.m_writable = Writable(mode);
    out = std::move(h);
    return S_OK;
}

HRESULT CStorage::CreateStorage(const std::string& name, uint32_t mode, CStorage& out)
{
    return MakeHandle(name, mode, STGTY_STORAGE, true, out);
}

HRESULT CStorage::OpenStorage(const std::string& name, uint32_t mode, CStorage& out)
{
    return MakeHandle(name, mode, STGTY_STORAGE, false, out);
}

HRESULT CStorage::CreateStream(const std::string& name, uint32_t mode, CStream& out)
{
    return MakeHandle(name, mode, STGTY_STREAM, true, out);
}

HRESULT CStorage::OpenStream(const std::string& name, uint32_t mode, CStream& out)
{
    return MakeHandle(name, mode, STGTY_STREAM, false, out);
}

HRESULT CStorage::DestroyElement(const std::string& name)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidName(name)) return STG_E_INVALIDNAME;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(true);
    if (FAILED(hr)) return hr;
    CompoundFileCore& core = *m_core;
    return core.Change([&]() -> HRESULT {
        int64_t id = 0;
        HRESULT found = FindChildId(core, m_id, name, id);
        return FAILED(found) ? found : core.DestroyTree(id);
    });
}

HRESULT CStorage::RenameElement(const std::string& oldName, const std::string& newName)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidName(oldName) || !ValidName(newName)) return STG_E_INVALIDNAME;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(true);
    if (FAILED(hr)) return hr;
    CompoundFileCore& core = *m_core;
    return core.Change([&]() -> HRESULT {
        int64_t id = 0;
        HRESULT found = FindChildId(core, m_id, oldName, id);
        if (FAILED(found)) return found;
        int rc;
        if (Fold(oldName) != Fold(newName)) {
            Stmt clash(core.Db(), "SELECT 1 FROM elements WHERE parent=? AND fold=?");
            rc = clash.Bind(1, m_id).BindText(2, Fold(newName)).Step();
            if (rc == SQLITE_ROW) return STG_E_FILEALREADYEXISTS;
            if (rc != SQLITE_DONE) return FromSqlite(rc, STG_E_READFAULT);
        }
        Stmt move(core.Db(), "UPDATE elements SET name=?, fold=? WHERE id=?");
        rc = move.BindText(1, newName).BindText(2, Fold(newName)).Bind(3, id).Step();
        return rc == SQLITE_DONE ? S_OK : FromSqlite(rc, STG_E_WRITEFAULT);
    });
}

HRESULT CStorage::EnumElements(std::vector<StorageElementInfo>& out) const
{
    out.clear();
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    if (FAILED(hr)) return hr;
    Stmt s(m_core->Db(), "SELECT name, type, size FROM elements WHERE parent=? ORDER BY fold");
    s.Bind(1, m_id);
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
        StorageElementInfo info;
        info.name = s.Text(0);
        info.type = static_cast<uint32_t>(s.Int(1));
        info.size = info.type == STGTY_STREAM ? static_cast<uint64_t>(s.Int(2)) : 0;
        out.push_back(std::move(info));
    }
    if (rc != SQLITE_DONE) {
        out.clear();
        return FromSqlite(rc, STG_E_READFAULT);
    }
    return S_OK;
}

HRESULT CStorage::OpenOrCreateStorage(CStorage& from, const std::string& name, uint32_t mode, CStorage& out)
{
    // Another thread may make the same storage between the two steps: then open that one.
    HRESULT hr = STG_E_FILENOTFOUND;
    for (int attempt = 0; attempt < 3; ++attempt) {
        hr = from.OpenStorage(name, mode, out);
        if (hr != STG_E_FILENOTFOUND) return hr;
        hr = from.CreateStorage(name, mode, out);
        if (hr != STG_E_FILEALREADYEXISTS) return hr;
    }
    return hr;
}

HRESULT CStorage::OpenStorageAt(const std::string& path, uint32_t mode, CStorage& out)
{
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return STG_E_INVALIDNAME;
    CStorage at;
    HRESULT hr = OpenStorage(parts[0], mode, at);
    for (size_t i = 1; SUCCEEDED(hr) && i < parts.size(); ++i) {
        CStorage next;
        hr = at.OpenStorage(parts[i], mode, next);
        at = std::move(next);
    }
    if (SUCCEEDED(hr)) out = std::move(at);
    return hr == STG_E_FILENOTFOUND && parts.size() > 1 ? STG_E_PATHNOTFOUND : hr;
}

HRESULT CStorage::CreateStorageAt(const std::string& path, uint32_t mode, CStorage& out)
{
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return STG_E_INVALIDNAME;
    uint32_t walk = mode & ~(STGM_CREATE | STGM_CONVERT);
    CStorage at;
    HRESULT hr = S_OK;
    for (size_t i = 0; i + 1 < parts.size() && SUCCEEDED(hr); ++i) {
        CStorage next;
        hr = OpenOrCreateStorage(i == 0 ? *this : at, parts[i], walk, next);
        at = std::move(next);
    }
    if (FAILED(hr)) return hr;
    return (parts.size() == 1 ? *this : at).CreateStorage(parts.back(), mode, out);
}

HRESULT CStorage::OpenStreamAt(const std::string& path, uint32_t mode, CStream& out)
{
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return STG_E_INVALIDNAME;
    if (parts.size() == 1) return OpenStream(parts[0], mode, out);
    std::string folder = path.substr(0, path.rfind('/'));
    CStorage at;
    HRESULT hr = OpenStorageAt(folder, mode & ~(STGM_CREATE | STGM_CONVERT), at);
    if (hr == STG_E_FILENOTFOUND) hr = STG_E_PATHNOTFOUND;
    return FAILED(hr) ? hr : at.OpenStream(parts.back(), mode, out);
}

HRESULT CStorage::CreateStreamAt(const std::string& path, uint32_t mode, CStream& out)
{
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return STG_E_INVALIDNAME;
    if (parts.size() == 1) return CreateStream(parts[0], mode, out);
    uint32_t walk = mode & ~(STGM_CREATE | STGM_CONVERT);
    CStorage at;
    HRESULT hr = S_OK;
    for (size_t i = 0; i + 1 < parts.size() && SUCCEEDED(hr); ++i) {
        CStorage next;
        hr = OpenOrCreateStorage(i == 0 ? *this : at, parts[i], walk, next);
        at = std::move(next);
    }
    return FAILED(hr) ? hr : at.CreateStream(parts.back(), mode, out);
}

HRESULT CStorage::Commit(uint32_t)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    return FAILED(hr) ? hr : m_core->Commit();
}

HRESULT CStorage::Revert()
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    return FAILED(hr) ? hr : m_core->Revert();
}

// ---- CStream ----

CStream::~CStream() = default;

void CStream::Close()
{
    m_core.reset();
    m_id = 0;
    m_epoch = 0;
    m_writable = false;
    m_position = 0;
}

HRESULT CStream::Read(void* buffer, uint32_t count, uint32_t* read)
{
    if (read) *read = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!buffer && count) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t size = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &size);
    if (FAILED(hr)) return hr;
    uint64_t n = m_position >= size ? 0 : std::min<uint64_t>(count, size - m_position);
    hr = m_core->ReadBytes(m_id, m_position, n, static_cast<char*>(buffer));
    if (FAILED(hr)) return hr;
    m_position += n;
    if (read) *read = static_cast<uint32_t>(n);
    return S_OK;
}

HRESULT CStream::Write(const void* data, uint32_t count, uint32_t* written)
{
    if (written) *written = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!data && count) return STG_E_INVALIDPOINTER;
    if (!m_writable) return STG_E_ACCESSDENIED;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t size = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &size);
    if (FAILED(hr)) return hr;
    if (count == 0) return S_OK;
    CompoundFileCore& core = *m_core;
    hr = core.Change([&] { return core.WriteBytes(m_id, size, m_position, static_cast<const char*>(data), count); });
    if (FAILED(hr)) return hr;
    m_position += count;
    if (written) *written = count;
    return S_OK;
}

HRESULT CStream::Seek(int64_t move, uint32_t origin, uint64_t* newPosition)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<int64_t>(m_position); break;
    case STREAM_SEEK_END: {
        uint64_t size = 0;
        HRESULT hr = GetSize(size);
        if (FAILED(hr)) return hr;
        base = static_cast<int64_t>(size);
        break;
    }
    default: return STG_E_INVALIDFUNCTION;
    }
    if ((move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move)) return STG_E_INVALIDFUNCTION;
    m_position = static_cast<uint64_t>(base + move);
    if (newPosition) *newPosition = m_position;
    return S_OK;
}

HRESULT CStream::SetSize(uint64_t size)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!m_writable) return STG_E_ACCESSDENIED;
    if (size > static_cast<uint64_t>(INT64_MAX)) return STG_E_INVALIDFUNCTION;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t old = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &old);
    if (FAILED(hr)) return hr;
    if (old == size) return S_OK;
    CompoundFileCore& core = *m_core;
    return core.Change([&] { return core.SetSize(m_id, old, size); });
}

HRESULT CStream::GetSize(uint64_t& size) const
{
    size = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    return m_core->Validate(m_id, m_epoch, STGTY_STREAM, &size);
}

HRESULT CStream::Clone(CStream& out) const
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    {
        std::lock_guard<std::mutex> g(m_core->Lock());
        HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM);
        if (FAILED(hr)) return hr;
    }
    CStream s;
    s.m_core = m_core;
    s.m_id = m_id;
    s.m_epoch = m_epoch;
    s.m_writable = m_writable;
    s.m_position = m_position;
    out = std::move(s);
    return S_OK;
}

} // namespace platform
