#pragma once
// What the search dialog decides without a window: the columns an attribute
// text asks for, the text of a result cell, the base a search starts from
// and what its drop-down lists offer.

#include <map>
#include <string>
#include <vector>

#include "base/StringList.h"

namespace arbldap {
class LDAPAttribute;
}

// The base-DN text that stands for the empty DN (case counts).
extern const std::wstring g_strRootDSEText;
// The filter a new search dialog proposes.
extern const std::wstring g_strDefaultSearchFilter;
// The key of the attribute lists the dialog remembers, below the user root.
std::wstring SearchAttributesKey();
// Most texts each drop-down list offers from its recent list.
constexpr int kSearchDropDownCount = 20;

// The names of an attribute text: split at ',', each trimmed, empties dropped.
std::vector<std::wstring> SplitAttributeNames(const std::wstring& text);
// The same names as UTF-8, as a search asks for them (empty: all user attributes).
StringList AttributeNamesToRequest(const std::wstring& text);

// The base DN a base-DN text names: "RootDSE" is the empty DN.
std::wstring SearchBaseFromText(const std::wstring& text);
// What the base-DN box shows for a node's DN.
std::wstring SearchBaseText(const std::wstring& nodeDN);

// The result list's columns: "DN" first, then one per attribute name.
class SearchColumns {
public:
    SearchColumns() { Set({}); }
    explicit SearchColumns(const std::vector<std::wstring>& names) { Set(names); }

    void Set(const std::vector<std::wstring>& names);
    // Headers in column order, "DN" first.
    const std::vector<std::wstring>& GetHeaders() const { return m_headers; }
    size_t GetCount() const { return m_headers.size(); }
    // The column of an attribute name (trimmed, any case); -1 when none.
    int Find(const std::wstring& name) const;
    int Find(const std::string& utf8Name) const;
    // Widths for a list of that client width: each width/(n+1), the last the rest.
    std::vector<int> Widths(int clientWidth) const;

private:
    std::vector<std::wstring> m_headers;
    std::map<std::wstring, int> m_keys;  // lower-case name -> column
    std::map<std::string, int> m_asciiKeys;  // the same for names the server sends (ASCII)
};

// The text of one result cell: the first value and each further one after
// ", "; notPrintable when the values are not text.
std::wstring SearchCellText(const arbldap::LDAPAttribute& attribute, const std::wstring& notPrintable);

// The texts a drop-down list holds after it is filled: its current ones,
// then each recent text (newest first) it does not hold yet (exact match).
std::vector<std::wstring> FillDropDownTexts(const std::vector<std::wstring>& current,
                                            const std::vector<std::wstring>& recent);

// The scope of a search as the dialog offers it.
enum class SearchScope { OneLevel = 1, Subtree = 2 };
