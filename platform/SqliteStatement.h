#pragma once
// The SQLite handles of the two stores (settings, compound storage): an owned
// connection, a prepared statement and a write transaction. For platform's own
// files only; nothing above platform talks to SQLite.
//
// Result codes are SQLite's; the stores turn them into their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

struct SqliteClose {
    void operator()(sqlite3* db) const;
};
typedef std::unique_ptr<sqlite3, SqliteClose> SqliteDb;

// Opens path with the SQLite open flags; db stays empty on failure. The result
// code of the open.
int SqliteOpen(const std::string& path, int flags, SqliteDb& db);

// Runs SQL text of any number of statements, without results.
int SqliteExec(sqlite3* db, const char* sql);

// The first column of the first row of one statement, as an integer.
// SQLITE_OK, or why there was no row.
int SqliteQueryInt(sqlite3* db, const char* sql, int64_t& out);

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return m_stmt != nullptr; }

    // Parameters count from 1. A failed preparation makes these no-ops and
    // Step answer the preparation's error.
    SqliteStatement& Bind(int index, int64_t value);
    SqliteStatement& BindText(int index, const std::string& value);
    // A zero-length blob, not NULL, for no bytes.
    SqliteStatement& BindBlob(int index, const void* data, size_t size);
    SqliteStatement& BindBlob(int index, const std::string& bytes) { return BindBlob(index, bytes.data(), bytes.size()); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();

    // Columns of the current row, from 0.
    int64_t Int(int column);
    std::string Text(int column);
    std::string Blob(int column);

private:
    struct Finalize {
        void operator()(sqlite3_stmt* stmt) const;
    };
    int m_prepareResult;
    std::unique_ptr<sqlite3_stmt, Finalize> m_stmt;
};

// BEGIN IMMEDIATE (or a plain BEGIN, whose first read fixes the snapshot that
// every later read of the transaction sees) ... COMMIT; rolled back unless
// committed.
class SqliteTransaction {
public:
    enum Kind { Write, Read };

    explicit SqliteTransaction(sqlite3* db, Kind kind = Write);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    bool Began() const { return m_open; }
    // The result of BEGIN.
    int BeginResult() const { return m_beginResult; }
    // SQLITE_OK once committed; an error leaves the transaction to the rollback.
    int Commit();

private:
    sqlite3* m_db;
    int m_beginResult;
    bool m_open;
};

} // namespace platform
