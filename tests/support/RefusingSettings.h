#pragma once
// Settings that refuse some writes, as a full disk would: a trigger in the
// store file aborts every insert of a value whose name matches a LIKE pattern.

#include <string>

#include <sqlite3.h>

namespace testsupport {

// True once the store file refuses such values.
inline bool RefuseSettingsValues(const std::string& storeFile, const std::string& namePattern)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(storeFile.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    char* sql = sqlite3_mprintf(
        "CREATE TRIGGER refuse BEFORE INSERT ON vals WHEN NEW.name LIKE %Q BEGIN SELECT RAISE(ABORT, 'refused'); END;",
        namePattern.c_str());
    const bool made = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_free(sql);
    sqlite3_close(db);
    return made;
}

}  // namespace testsupport
