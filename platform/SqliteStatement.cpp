#include "platform/SqliteStatement.h"

#include <sqlite3.h>

namespace platform {

void SqliteClose::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

int SqliteOpen(const std::string& path, int flags, SqliteDb& db)
{
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    // A failed open still hands out a handle to close.
    SqliteDb opened(raw);
    db.reset(rc == SQLITE_OK ? opened.release() : nullptr);
    return rc;
}

int SqliteExec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

int SqliteQueryInt(sqlite3* db, const char* sql, int64_t& out)
{
    SqliteStatement s(db, sql);
    int rc = s.Step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_EMPTY : rc;
    out = s.Int(0);
    return SQLITE_OK;
}

// ---- SqliteStatement ----

void SqliteStatement::Finalize::operator()(sqlite3_stmt* stmt) const
{
    sqlite3_finalize(stmt);
}

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql)
{
    sqlite3_stmt* s = nullptr;
    m_prepareResult = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    m_stmt.reset(s);
}

SqliteStatement::~SqliteStatement() = default;

SqliteStatement& SqliteStatement::Bind(int index, int64_t value)
{
    if (m_stmt) sqlite3_bind_int64(m_stmt.get(), index, value);
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, const std::string& value)
{
    if (m_stmt) sqlite3_bind_text64(m_stmt.get(), index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, const void* data, size_t size)
{
    if (m_stmt) sqlite3_bind_blob64(m_stmt.get(), index, size ? data : "", size, SQLITE_TRANSIENT);
    return *this;
}

int SqliteStatement::Step()
{
    if (!m_stmt) return m_prepareResult == SQLITE_OK ? SQLITE_ERROR : m_prepareResult;
    return sqlite3_step(m_stmt.get());
}

int64_t SqliteStatement::Int(int column)
{
    return sqlite3_column_int64(m_stmt.get(), column);
}

std::string SqliteStatement::Text(int column)
{
    const unsigned char* p = sqlite3_column_text(m_stmt.get(), column);
    int n = sqlite3_column_bytes(m_stmt.get(), column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

std::string SqliteStatement::Blob(int column)
{
    const void* p = sqlite3_column_blob(m_stmt.get(), column);
    int n = sqlite3_column_bytes(m_stmt.get(), column);
    return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

// ---- SqliteTransaction ----

SqliteTransaction::SqliteTransaction(sqlite3* db, Kind kind)
    : m_db(db), m_beginResult(SqliteExec(db, kind == Write ? "BEGIN IMMEDIATE" : "BEGIN")), m_open(m_beginResult == SQLITE_OK)
{
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_open) SqliteExec(m_db, "ROLLBACK");
}

int SqliteTransaction::Commit()
{
    if (!m_open) return m_beginResult == SQLITE_OK ? SQLITE_MISUSE : m_beginResult;
    int rc = SqliteExec(m_db, "COMMIT");
    if (rc == SQLITE_OK) m_open = false;
    return rc;
}

} // namespace platform
