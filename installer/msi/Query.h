#pragma once
// The installer's SQL as far as custom actions use it:
//   SELECT col[,col...] | * FROM table [WHERE col = value [AND col = value ...]]
// Names may be backquoted; a value is '?', a quoted text or an integer.
// Keywords ignore case, names do not.

#include <string>
#include <vector>

#include "installer/msi/Database.h"
#include "installer/msi/Msi.h"
#include "installer/msi/Record.h"

namespace msi {

struct Condition {
    std::string column;
    enum class Kind { Parameter, Text, Integer } kind;
    std::string text;
    int number = 0;
};

struct Query {
    std::vector<std::string> columns;  // empty for *
    std::string table;
    std::vector<Condition> conditions;
};

// ERROR_SUCCESS or ERROR_BAD_QUERY_SYNTAX.
UINT ParseQuery(const std::string& sql, Query* query);

// A query bound to a table: column and condition positions checked.
class View {
public:
    // ERROR_BAD_QUERY_SYNTAX for an unknown table or column.
    static UINT Open(const Database& db, const Query& query, View* view);

    // Binds the '?' values in order from params (may be null when there are none).
    UINT Execute(const Record* params);
    // ERROR_NO_MORE_ITEMS after the last row; ERROR_FUNCTION_FAILED before Execute.
    UINT Fetch(Record* row);
    void Close();

private:
    bool Matches(const std::vector<Value>& row) const;

    const Table* table_ = nullptr;
    std::vector<int> columns_;
    std::vector<int> conditionColumns_;
    std::vector<Condition> conditions_;
    std::vector<Value> bound_;  // one per condition
    bool executed_ = false;
    size_t next_ = 0;
};

} // namespace msi
