#include "platform/SettingsStore.h"
#include "platform/PathParts.h"

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Folders.h"

namespace platform {
namespace {

// "ARB1": tells our files from other SQLite databases.
constexpr int kApplicationId = 0x41524231;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 5000;

const char* const kSchema =
    "CREATE TABLE keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"  // ids never reused: an open key stays dead once deleted
    "  parent INTEGER,"
    "  name TEXT NOT NULL,"
    "  fold TEXT NOT NULL);"
    "CREATE UNIQUE INDEX keys_by_name ON keys(parent, fold);"
    "CREATE TABLE vals("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  fold TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "INSERT INTO keys(id, parent, name, fold) VALUES(1, NULL, '', '');";

std::string Fold(const std::string& name)
{
    return FoldAsciiUpper(name);
}

std::vector<std::string> SplitPath(const std::string& path)
{
    return SplitPathParts(path, '\\');
}

enum class FileState { Valid, Empty, Foreign, Unusable };

FileState Inspect(sqlite3* db)
{
    // One snapshot: another process's first commit lands before all three
    // reads or after them, never between (where the file would look foreign).
    SqliteTransaction snapshot(db, SqliteTransaction::Read);
    if (!snapshot.Began()) return FileState::Unusable;
    int64_t appId = 0, version = 0, objects = 0;
    int rc = SqliteQueryInt(db, "PRAGMA application_id", appId);
    if (rc == SQLITE_OK) rc = SqliteQueryInt(db, "PRAGMA user_version", version);
    if (rc == SQLITE_OK) rc = SqliteQueryInt(db, "SELECT count(*) FROM sqlite_master", objects);
    if (rc != SQLITE_OK) {
        int primary = rc & 0xFF;
        // Only a file that is certainly not ours may be moved aside; a busy
        // or unreadable file is left alone.
        return (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) ? FileState::Foreign : FileState::Unusable;
    }
    if (appId == kApplicationId)
        return version == kSchemaVersion ? FileState::Valid : FileState::Unusable;  // newer files stay untouched
    if (appId == 0 && version == 0 && objects == 0) return FileState::Empty;
    return FileState::Foreign;
}

bool InitSchema(sqlite3* db)
{
    SqliteTransaction t(db);
    int64_t objects = 0;
    if (!t.Began() || SqliteQueryInt(db, "SELECT count(*) FROM sqlite_master", objects) != SQLITE_OK) return false;
    if (objects == 0) {
        std::string pragmas = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                              ";PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
        if (SqliteExec(db, kSchema) != SQLITE_OK || SqliteExec(db, pragmas.c_str()) != SQLITE_OK) return false;
    }
    return t.Commit() == SQLITE_OK;
}

// Creates the file with mode 0600 unless it exists; true when it is there.
bool EnsurePrivateFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        fchmod(fd, 0600);  // whatever the umask left
        close(fd);
        return true;
    }
    return errno == EEXIST;
}

// Which file a path names, to tell whether it still names the one inspected.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool exists = false;

    bool operator==(const FileIdentity& o) const { return exists == o.exists && device == o.device && inode == o.inode; }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

FileIdentity IdentityOf(const std::string& path)
{
    FileIdentity id;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        id.device = st.st_dev;
        id.inode = st.st_ino;
        id.exists = true;
    }
    return id;
}

// A lock on the folder of the store. Shared while a file is opened and looked
// at, exclusive while one is moved aside: a connection left on a file moved
// away would take the new store's journal, found by name, for its own, and
// play it back into the old file. Without the lock (a file system that refuses
// it) the identity check alone stands.
class FolderLock {
public:
    FolderLock(const std::string& file, int operation)
    {
        size_t slash = file.rfind('/');
        std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
        m_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0) {
            while (flock(m_fd, operation) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0) close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

// Moves the file found foreign aside, unless path names another file by now:
// the new store a process made after moving that same file aside.
void MoveAside(const std::string& path, const FileIdentity& inspected)
{
    FolderLock lock(path, LOCK_EX);
    if (IdentityOf(path) != inspected) return;
    // A journal left beside the bad file must not be rolled into the new one.
    // Moved first: once the file is gone, a new store and its journal may appear.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        rename((path + suffix).c_str(), (path + ".bad" + suffix).c_str());
    rename(path.c_str(), (path + ".bad").c_str());
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

} // namespace

SettingsStore::SettingsStore(std::string path) : m_path(std::move(path)) {}

SettingsStore::~SettingsStore() = default;

std::shared_ptr<SettingsStore> SettingsStore::Open(const std::string& path, bool writable)
{
    std::shared_ptr<SettingsStore> store(new SettingsStore(path));
    store->Connect(writable);
    return store;
}

void SettingsStore::Connect(bool writable)
{
    auto openDb = [this](int flags) -> SqliteDb {
        SqliteDb db;
        if (SqliteOpen(m_path, flags | SQLITE_OPEN_FULLMUTEX, db) == SQLITE_OK) sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
        return db;
    };

    if (!writable) {
        if (!FileExists(m_path)) return;
        SqliteDb db = openDb(SQLITE_OPEN_READONLY);
        if (db && Inspect(db.get()) == FileState::Valid) m_db = std::move(db);
        return;
    }

    // Another process may move the file aside meanwhile, or make it anew.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!EnsurePrivateFile(m_path)) return;
        FileIdentity inspected;
        SqliteDb db;
        FileState state = FileState::Unusable;
        {
            // Nothing is moved aside meanwhile, so the file opened is the one the path names.
            FolderLock look(m_path, LOCK_SH);
            inspected = IdentityOf(m_path);
            // No SQLITE_OPEN_CREATE: the file must be the one made above.
            db = openDb(SQLITE_OPEN_READWRITE);
            if (!db) {
                if (inspected.exists) return;
                continue;
            }
            state = Inspect(db.get());
            // Never left open on a file that may be moved away.
            if (state != FileState::Valid && state != FileState::Empty) db.reset();
        }
        if (state == FileState::Empty) state = InitSchema(db.get()) ? FileState::Valid : FileState::Unusable;
        if (state == FileState::Valid) {
            SqliteExec(db.get(), "PRAGMA synchronous=FULL");
            m_db = std::move(db);
            m_writable = true;
            return;
        }
        if (state == FileState::Unusable) return;
        MoveAside(m_path, inspected);
    }
}

long SettingsStore::Resolve(const std::string& path, bool create, KeyId& id)
{
    KeyId cur = kRootKey;
    for (const std::string& part : SplitPath(path)) {
        std::string fold = Fold(part);
        SqliteStatement find(m_db.get(), "SELECT id FROM keys WHERE parent=?1 AND fold=?2");
        find.Bind(1, cur).BindText(2, fold);
        int rc = find.Step();
        if (rc == SQLITE_ROW) {
            cur = find.Int(0);
            continue;
        }
        if (rc != SQLITE_DONE) return ERROR_REGISTRY_IO_FAILED;
        if (!create) return ERROR_FILE_NOT_FOUND;
        SqliteStatement add(m_db.get(), "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)");
        add.Bind(1, cur).BindText(2, part).BindText(3, fold);
        if (add.Step() != SQLITE_DONE) return ERROR_REGISTRY_IO_FAILED;
        cur = sqlite3_last_insert_rowid(m_db.get());
    }
    id = cur;
    return ERROR_SUCCESS;
}

long SettingsStore::KeyExists(KeyId id)
{
    if (!m_db) return id == kRootKey ? ERROR_SUCCESS : ERROR_KEY_DELETED;
    SqliteStatement s(m_db.get(), "SELECT 1 FROM keys WHERE id=?1");
    s.Bind(1, id);
    switch (s.Step()) {
    case SQLITE_ROW: return ERROR_SUCCESS;
    case SQLITE_DONE: return ERROR_KEY_DELETED;
    default: return ERROR_REGISTRY_IO_FAILED;
    }
}

long SettingsStore::OpenKey(const std::string& path, KeyId& id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_db) {
        if (!SplitPath(path).empty()) return ERROR_FILE_NOT_FOUND;
        id = kRootKey;
        return ERROR_SUCCESS;
    }
    return Resolve(path, false, id);
}

long SettingsStore::CreateKey(const std::string& path, KeyId& id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_writable) return ERROR_ACCESS_DENIED;
    SqliteTransaction t(m_db.get());
    if (!t.Began()) return ERROR_REGISTRY_IO_FAILED;
    KeyId found = 0;
    long r = Resolve(path, true, found);
    if (r != ERROR_SUCCESS) return r;
    if (t.Commit() != SQLITE_OK) return ERROR_REGISTRY_IO_FAILED;
    id = found;
    return ERROR_SUCCESS;
}

long SettingsStore::DeleteBelow(KeyId id, KeyItself itself)
{
    // Every value of the key and below it; the sub-keys with all below them,
    // and the key itself unless it is kept.
    static const char* const kValues =
        "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT k.id FROM keys k JOIN sub ON k.parent=sub.id) "
        "DELETE FROM vals WHERE key IN sub";
    static const char* const kKeysWithIt =
        "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT k.id FROM keys k JOIN sub ON k.parent=sub.id) "
        "DELETE FROM keys WHERE id IN sub";
    static const char* const kKeysBelowIt =
        "WITH RECURSIVE sub(id) AS (SELECT id FROM keys WHERE parent=?1 UNION SELECT k.id FROM keys k JOIN sub ON "
        "k.parent=sub.id) DELETE FROM keys WHERE id IN sub";
    for (const char* sql : {kValues, itself == KeyItself::Delete ? kKeysWithIt : kKeysBelowIt}) {
        SqliteStatement del(m_db.get(), sql);
        del.Bind(1, id);
        if (del.Step() != SQLITE_DONE) return ERROR_REGISTRY_IO_FAILED;
    }
    return ERROR_SUCCESS;
}

long SettingsStore::PutValue(KeyId key, const std::string& name, uint32_t type, const std::string& data)
{
    // An existing value keeps the case of its name.
    SqliteStatement set(m_db.get(),
             "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
             "ON CONFLICT(key, fold) DO UPDATE SET type=excluded.type, data=excluded.data");
    set.Bind(1, key).BindText(2, name).BindText(3, Fold(name)).Bind(4, type).BindBlob(5, data);
    return set.Step() == SQLITE_DONE ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

long SettingsStore::DeleteKey(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_writable) return ERROR_ACCESS_DENIED;
    if (SplitPath(path).empty()) return ERROR_ACCESS_DENIED;
    SqliteTransaction t(m_db.get());
    if (!t.Began()) return ERROR_REGISTRY_IO_FAILED;
    KeyId id = 0;
    long r = Resolve(path, false, id);
    if (r != ERROR_SUCCESS) return r;
    r = DeleteBelow(id, KeyItself::Delete);
    if (r != ERROR_SUCCESS) return r;
    return t.Commit() == SQLITE_OK ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

long SettingsStore::CheckKey(KeyId id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return KeyExists(id);
}

long SettingsStore::SetValue(KeyId key, const std::string& name, uint32_t type, const std::string& data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_writable) return ERROR_ACCESS_DENIED;
    SqliteTransaction t(m_db.get());
    if (!t.Began()) return ERROR_REGISTRY_IO_FAILED;
    long r = KeyExists(key);
    if (r != ERROR_SUCCESS) return r;
    r = PutValue(key, name, type, data);
    if (r != ERROR_SUCCESS) return r;
    return t.Commit() == SQLITE_OK ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

long SettingsStore::ReplaceKeyTexts(const std::string& path,
                                    const std::vector<std::pair<std::string, std::string>>& texts)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_writable || SplitPath(path).empty()) return ERROR_ACCESS_DENIED;
    SqliteTransaction t(m_db.get());
    KeyId id = 0;
    long r = t.Began() ? Resolve(path, true, id) : ERROR_REGISTRY_IO_FAILED;
    if (r == ERROR_SUCCESS) r = DeleteBelow(id, KeyItself::Keep);
    for (auto text = texts.begin(); r == ERROR_SUCCESS && text != texts.end(); ++text)
        r = PutValue(id, text->first, REG_SZ, text->second);
    if (r != ERROR_SUCCESS) return r;
    return t.Commit() == SQLITE_OK ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

long SettingsStore::GetValue(KeyId key, const std::string& name, uint32_t& type, std::string& data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_db) return KeyExists(key) == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    SqliteStatement get(m_db.get(), "SELECT type, data FROM vals WHERE key=?1 AND fold=?2");
    get.Bind(1, key).BindText(2, Fold(name));
    int rc = get.Step();
    if (rc == SQLITE_ROW) {
        type = static_cast<uint32_t>(get.Int(0));
        data = get.Blob(1);
        return ERROR_SUCCESS;
    }
    if (rc != SQLITE_DONE) return ERROR_REGISTRY_IO_FAILED;
    long r = KeyExists(key);
    return r == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : r;
}

long SettingsStore::DeleteValue(KeyId key, const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_writable) return ERROR_ACCESS_DENIED;
    SqliteTransaction t(m_db.get());
    if (!t.Began()) return ERROR_REGISTRY_IO_FAILED;
    long r = KeyExists(key);
    if (r != ERROR_SUCCESS) return r;
    SqliteStatement del(m_db.get(), "DELETE FROM vals WHERE key=?1 AND fold=?2");
    del.Bind(1, key).BindText(2, Fold(name));
    if (del.Step() != SQLITE_DONE) return ERROR_REGISTRY_IO_FAILED;
    if (sqlite3_changes(m_db.get()) == 0) return ERROR_FILE_NOT_FOUND;
    return t.Commit() == SQLITE_OK ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

long SettingsStore::ListNames(const char* sql, KeyId key, std::vector<std::string>& names)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    names.clear();
    long r = KeyExists(key);
    if (r != ERROR_SUCCESS || !m_db) return r;
    SqliteStatement list(m_db.get(), sql);
    list.Bind(1, key);
    int rc;
    while ((rc = list.Step()) == SQLITE_ROW) names.push_back(list.Text(0));
    if (rc != SQLITE_DONE) {
        names.clear();
        return ERROR_REGISTRY_IO_FAILED;
    }
    return ERROR_SUCCESS;
}

long SettingsStore::ListSubKeys(KeyId key, std::vector<std::string>& names)
{
    return ListNames("SELECT name FROM keys WHERE parent=?1 ORDER BY fold", key, names);
}

long SettingsStore::ListValueNames(KeyId key, std::vector<std::string>& names)
{
    return ListNames("SELECT name FROM vals WHERE key=?1 ORDER BY fold", key, names);
}

// ---- process-wide roots ----

namespace {

struct Roots {
    std::mutex mutex;
    std::shared_ptr<SettingsStore> user;
    std::shared_ptr<SettingsStore> machine;
    std::string machineFile;  // "" is the default
};

Roots& TheRoots()
{
    static Roots roots;
    return roots;
}

} // namespace

std::shared_ptr<SettingsStore> GetSettingsRoot(RegRoot root)
{
    Roots& r = TheRoots();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (root == RegRoot::LocalMachine) {
        if (!r.machine) {
            std::string file = r.machineFile.empty() ? GetMachineConfigFolder() + "settings.db" : r.machineFile;
            r.machine = SettingsStore::Open(file, false);
        }
        return r.machine;
    }
    if (!r.user) {
        std::string file = GetUserConfigFolder() + "settings.db";
        r.user = SettingsStore::Open(file, true);
        // The file holds passwords: never readable by others, even when copied in.
        struct stat st;
        if (stat(file.c_str(), &st) == 0 && (st.st_mode & 077) != 0) chmod(file.c_str(), 0600);
    }
    return r.user;
}

void SetMachineRootFile(const std::string& path)
{
    Roots& r = TheRoots();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.machineFile = path;
    r.machine.reset();
}

void ResetUserRoot()
{
    Roots& r = TheRoots();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.user.reset();
}

} // namespace platform
