#include "installer/msi/Database.h"

#include <stdexcept>

namespace msi {

int Table::ColumnIndex(const std::string& column) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == column) return static_cast<int>(i);
    return -1;
}

Table& Database::AddTable(const std::string& name, std::vector<Column> columns)
{
    Table& t = tables_[name];
    t.name = name;
    t.columns = std::move(columns);
    t.rows.clear();
    return t;
}

void Database::Insert(const std::string& table, std::vector<Value> row)
{
    auto it = tables_.find(table);
    if (it == tables_.end()) throw std::invalid_argument("no table " + table);
    const auto& columns = it->second.columns;
    if (row.size() != columns.size()) throw std::invalid_argument("wrong column count for " + table);
    for (size_t i = 0; i < row.size(); ++i) {
        Value::Kind want = columns[i].type == ColumnType::Text      ? Value::Kind::Text
                           : columns[i].type == ColumnType::Integer ? Value::Kind::Integer
                                                                    : Value::Kind::Stream;
        if (!row[i].IsNull() && row[i].kind() != want)
            throw std::invalid_argument("wrong type for " + table + "." + columns[i].name);
    }
    it->second.rows.push_back(std::move(row));
}

const Table* Database::Find(const std::string& name) const
{
    auto it = tables_.find(name);
    return it == tables_.end() ? nullptr : &it->second;
}

} // namespace msi
