#include "schema/compound/CompoundFileCore.h"

#include <sqlite3.h>

#include "schema/compound/CompoundFileFormat.h"
#include "schema/compound/CompoundOpenFiles.h"

namespace platform {

CompoundFileCore::CompoundFileCore(SqliteDb db, std::string key, bool transacted, bool writable)
    : m_db(std::move(db)), m_key(std::move(key)), m_transacted(transacted), m_writable(writable)
{
}

CompoundFileCore::~CompoundFileCore()
{
    // Uncommitted changes of a transacted file are dropped, as when it is reverted.
    if (m_inTransaction) SqliteExec(m_db.get(), "ROLLBACK");
    m_db.reset();
    CompoundOpenFiles::Instance().Remove(m_key);
}

bool CompoundFileCore::Lookup(int64_t id, uint32_t& type, uint64_t& size)
{
    SqliteStatement s(Db(), "SELECT type, size FROM elements WHERE id=?");
    if (s.Bind(1, id).Step() != SQLITE_ROW) return false;
    type = static_cast<uint32_t>(s.Int(0));
    size = static_cast<uint64_t>(s.Int(1));
    return true;
}

HRESULT CompoundFileCore::Validate(int64_t id, uint64_t epoch, uint32_t type, uint64_t* size)
{
    if (id != kCompoundRootId && epoch != m_epoch) return STG_E_REVERTED;
    uint32_t t = 0;
    uint64_t n = 0;
    if (!Lookup(id, t, n) || t != type) return STG_E_REVERTED;
    if (size) *size = n;
    return S_OK;
}

HRESULT CompoundFileCore::FindChild(int64_t parent, const std::string& name, int64_t& id, uint32_t* type)
{
    SqliteStatement find(Db(), "SELECT id, type FROM elements WHERE parent=? AND fold=?");
    int rc = find.Bind(1, parent).BindText(2, FoldElementName(name)).Step();
    if (rc == SQLITE_DONE) return STG_E_FILENOTFOUND;
    if (rc != SQLITE_ROW) return StorageResult(rc, STG_E_READFAULT);
    id = find.Int(0);
    if (type) *type = static_cast<uint32_t>(find.Int(1));
    return S_OK;
}

HRESULT CompoundFileCore::Change(const std::function<HRESULT()>& body)
{
    if (!m_writable) return STG_E_ACCESSDENIED;
    sqlite3* db = Db();
    if (!m_transacted) {
        SqliteTransaction t(db);
        if (!t.Began()) return StorageResult(t.BeginResult(), STG_E_WRITEFAULT);
        HRESULT hr = body();
        if (FAILED(hr)) return hr;
        int rc = t.Commit();
        return rc == SQLITE_OK ? hr : StorageResult(rc, STG_E_WRITEFAULT);
    }
    if (!m_inTransaction) {
        int rc = SqliteExec(db, "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK) return StorageResult(rc, STG_E_WRITEFAULT);
        m_inTransaction = true;
    }
    int rc = SqliteExec(db, "SAVEPOINT change");
    if (rc != SQLITE_OK) return StorageResult(rc, STG_E_WRITEFAULT);
    HRESULT hr = body();
    if (FAILED(hr)) SqliteExec(db, "ROLLBACK TO change");
    SqliteExec(db, "RELEASE change");
    return hr;
}

HRESULT CompoundFileCore::Commit()
{
    if (!m_inTransaction) return S_OK;
    int rc = SqliteExec(Db(), "COMMIT");
    if (rc != SQLITE_OK) return StorageResult(rc, STG_E_WRITEFAULT);
    m_inTransaction = false;
    return S_OK;
}

HRESULT CompoundFileCore::Revert()
{
    if (!m_transacted) return S_OK;
    if (m_inTransaction) {
        SqliteExec(Db(), "ROLLBACK");
        m_inTransaction = false;
    }
    ++m_epoch;
    return S_OK;
}

HRESULT CompoundFileCore::DestroyTree(int64_t id)
{
    static const char* const kSteps[] = {
        "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT e.id FROM elements e JOIN sub ON e.parent=sub.id) "
        "DELETE FROM chunks WHERE element IN sub",
        "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION SELECT e.id FROM elements e JOIN sub ON e.parent=sub.id) "
        "DELETE FROM elements WHERE id IN sub",
    };
    for (const char* sql : kSteps) {
        SqliteStatement s(Db(), sql);
        int rc = s.Bind(1, id).Step();
        if (rc != SQLITE_DONE) return StorageResult(rc, STG_E_WRITEFAULT);
    }
    return S_OK;
}

} // namespace platform
