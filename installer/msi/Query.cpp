#include "installer/msi/Query.h"

#include <cctype>
#include <climits>

namespace msi {
namespace {

struct Token {
    enum class Kind { Name, Quoted, Text, Number, Symbol, End } kind;
    std::string text;
};

bool Tokenize(const std::string& sql, std::vector<Token>* out)
{
    size_t i = 0, n = sql.size();
    while (i < n) {
        unsigned char c = sql[i];
        if (std::isspace(c)) { ++i; continue; }
        if (c == '`' || c == '\'') {
            size_t end = sql.find(static_cast<char>(c), i + 1);
            if (end == std::string::npos) return false;
            out->push_back({c == '`' ? Token::Kind::Quoted : Token::Kind::Text, sql.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else if (std::isalpha(c) || c == '_') {
            size_t start = i;
            while (i < n && (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '_' || sql[i] == '.')) ++i;
            out->push_back({Token::Kind::Name, sql.substr(start, i - start)});
        } else if (std::isdigit(c) || (c == '-' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            size_t start = i++;
            while (i < n && std::isdigit(static_cast<unsigned char>(sql[i]))) ++i;
            out->push_back({Token::Kind::Number, sql.substr(start, i - start)});
        } else if (c == ',' || c == '=' || c == '?' || c == '*') {
            out->push_back({Token::Kind::Symbol, std::string(1, static_cast<char>(c))});
            ++i;
        } else {
            return false;
        }
    }
    out->push_back({Token::Kind::End, ""});
    return true;
}

bool IsKeyword(const Token& t, const char* word)
{
    if (t.kind != Token::Kind::Name) return false;
    size_t i = 0;
    for (; word[i]; ++i)
        if (i >= t.text.size() || std::toupper(static_cast<unsigned char>(t.text[i])) != word[i]) return false;
    return i == t.text.size();
}

bool IsName(const Token& t)
{
    return t.kind == Token::Kind::Quoted ||
           (t.kind == Token::Kind::Name && !IsKeyword(t, "FROM") && !IsKeyword(t, "WHERE") && !IsKeyword(t, "AND") &&
            !IsKeyword(t, "SELECT"));
}

bool IsSymbol(const Token& t, char c)
{
    return t.kind == Token::Kind::Symbol && t.text[0] == c;
}

bool ParseNumber(const std::string& text, int* out)
{
    long long n = 0;
    size_t i = text[0] == '-' ? 1 : 0;
    for (; i < text.size(); ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (text[0] == '-') n = -n;
    if (n > INT_MAX || n < INT_MIN) return false;
    *out = static_cast<int>(n);
    return true;
}

} // namespace

UINT ParseQuery(const std::string& sql, Query* query)
{
    std::vector<Token> t;
    if (!Tokenize(sql, &t)) return ERROR_BAD_QUERY_SYNTAX;
    size_t p = 0;
    if (!IsKeyword(t[p++], "SELECT")) return ERROR_BAD_QUERY_SYNTAX;
    Query q;
    if (IsSymbol(t[p], '*')) {
        ++p;
    } else {
        for (;;) {
            if (!IsName(t[p])) return ERROR_BAD_QUERY_SYNTAX;
            q.columns.push_back(t[p++].text);
            if (!IsSymbol(t[p], ',')) break;
            ++p;
        }
    }
    if (!IsKeyword(t[p++], "FROM") || !IsName(t[p])) return ERROR_BAD_QUERY_SYNTAX;
    q.table = t[p++].text;
    if (IsKeyword(t[p], "WHERE")) {
        ++p;
        for (;;) {
            Condition c;
            if (!IsName(t[p])) return ERROR_BAD_QUERY_SYNTAX;
            c.column = t[p++].text;
            if (!IsSymbol(t[p++], '=')) return ERROR_BAD_QUERY_SYNTAX;
            const Token& v = t[p++];
            if (IsSymbol(v, '?')) {
                c.kind = Condition::Kind::Parameter;
            } else if (v.kind == Token::Kind::Text) {
                c.kind = Condition::Kind::Text;
                c.text = v.text;
            } else if (v.kind == Token::Kind::Number) {
                c.kind = Condition::Kind::Integer;
                if (!ParseNumber(v.text, &c.number)) return ERROR_BAD_QUERY_SYNTAX;
            } else {
                return ERROR_BAD_QUERY_SYNTAX;
            }
            q.conditions.push_back(c);
            if (!IsKeyword(t[p], "AND")) break;
            ++p;
        }
    }
    if (t[p].kind != Token::Kind::End) return ERROR_BAD_QUERY_SYNTAX;
    *query = std::move(q);
    return ERROR_SUCCESS;
}

UINT View::Open(const Database& db, const Query& query, View* view)
{
    View v;
    v.table_ = db.Find(query.table);
    if (!v.table_) return ERROR_BAD_QUERY_SYNTAX;
    if (query.columns.empty()) {
        for (size_t i = 0; i < v.table_->columns.size(); ++i) v.columns_.push_back(static_cast<int>(i));
    }
    for (const auto& name : query.columns) {
        int index = v.table_->ColumnIndex(name);
        if (index < 0) return ERROR_BAD_QUERY_SYNTAX;
        v.columns_.push_back(index);
    }
    for (const auto& c : query.conditions) {
        int index = v.table_->ColumnIndex(c.column);
        if (index < 0) return ERROR_BAD_QUERY_SYNTAX;
        v.conditionColumns_.push_back(index);
    }
    v.conditions_ = query.conditions;
    *view = std::move(v);
    return ERROR_SUCCESS;
}

UINT View::Execute(const Record* params)
{
    bound_.clear();
    unsigned next = 1;
    for (size_t i = 0; i < conditions_.size(); ++i) {
        const Condition& c = conditions_[i];
        bool integerColumn = table_->columns[conditionColumns_[i]].type == ColumnType::Integer;
        Value v;
        if (c.kind == Condition::Kind::Parameter) {
            if (!params || !params->Has(next)) return ERROR_INVALID_PARAMETER;
            const Value& p = params->Get(next++);
            v = integerColumn ? Value(p.AsInteger()) : Value(p.AsText());
        } else if (c.kind == Condition::Kind::Text) {
            v = integerColumn ? Value(Value(c.text).AsInteger()) : Value(c.text);
        } else {
            v = integerColumn ? Value(c.number) : Value(std::to_string(c.number));
        }
        bound_.push_back(std::move(v));
    }
    executed_ = true;
    next_ = 0;
    return ERROR_SUCCESS;
}

bool View::Matches(const std::vector<Value>& row) const
{
    for (size_t i = 0; i < bound_.size(); ++i) {
        const Value& cell = row[conditionColumns_[i]];
        if (bound_[i].kind() == Value::Kind::Integer) {
            if (cell.AsInteger() != bound_[i].Number()) return false;
        } else if (cell.AsText() != bound_[i].Text()) {
            return false;
        }
    }
    return true;
}

UINT View::Fetch(Record* row)
{
    if (!executed_) return ERROR_FUNCTION_FAILED;
    while (next_ < table_->rows.size()) {
        const auto& cells = table_->rows[next_++];
        if (!Matches(cells)) continue;
        Record r(static_cast<unsigned>(columns_.size()));
        for (size_t i = 0; i < columns_.size(); ++i) r.Set(static_cast<unsigned>(i + 1), cells[columns_[i]]);
        *row = std::move(r);
        return ERROR_SUCCESS;
    }
    return ERROR_NO_MORE_ITEMS;
}

void View::Close()
{
    executed_ = false;
    next_ = 0;
    bound_.clear();
}

} // namespace msi
