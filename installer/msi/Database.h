#pragma once
// The installation's database: tables of typed columns. Tests build it; views
// read it.

#include <map>
#include <string>
#include <vector>

#include "installer/msi/Value.h"

namespace msi {

enum class ColumnType { Text, Integer, Stream };

struct Column {
    std::string name;
    ColumnType type;
};

struct Table {
    std::string name;
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;

    // -1 when the table has no such column (names are case-sensitive).
    int ColumnIndex(const std::string& column) const;
};

class Database {
public:
    Table& AddTable(const std::string& name, std::vector<Column> columns);
    // One value per column, each null or of the column's type; throws
    // std::invalid_argument otherwise.
    void Insert(const std::string& table, std::vector<Value> row);
    const Table* Find(const std::string& name) const;

private:
    std::map<std::string, Table> tables_;
};

} // namespace msi
