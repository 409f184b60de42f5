#include "dialogcore/SearchDialogRules.h"

#include <algorithm>
#include <cwctype>

#include "base/Utf8.h"
#include "ldap/LDAPAttribute.h"
#include "shellcore/CommandTextMap.h"
#include "shellcore/RegistryPaths.h"

const std::wstring g_strRootDSEText = L"RootDSE";
const std::wstring g_strDefaultSearchFilter = L"(objectclass=*)";

std::wstring SearchAttributesKey()
{
    return g_strSettingsKey + L"Search History\\" + L"Attributes\\";
}

namespace {

std::wstring LowerText(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

} // namespace

std::vector<std::wstring> SplitAttributeNames(const std::wstring& text)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(L',', start);
        if (comma == std::wstring::npos)
            comma = text.size();
        std::wstring name = TrimWhiteSpace(text.substr(start, comma - start));
        if (!name.empty())
            names.push_back(std::move(name));
        start = comma + 1;
    }
    return names;
}

StringList AttributeNamesToRequest(const std::wstring& text)
{
    StringList list;
    for (const std::wstring& name : SplitAttributeNames(text))
        list.Add(WideToUtf8Text(name));
    return list;
}

std::wstring SearchBaseFromText(const std::wstring& text)
{
    return text == g_strRootDSEText ? std::wstring() : text;
}

std::wstring SearchBaseText(const std::wstring& nodeDN)
{
    return nodeDN.empty() ? g_strRootDSEText : nodeDN;
}

void SearchColumns::Set(const std::vector<std::wstring>& names)
{
    m_headers.assign(1, L"DN");
    m_keys.clear();
    m_asciiKeys.clear();
    m_keys[L"DN"] = 0;
    for (const std::wstring& name : names) {
        m_headers.push_back(name);
        const std::wstring key = LowerText(name);
        m_keys[key] = static_cast<int>(m_headers.size() - 1);
    }
    // Rebuilt from the final map, so a name given twice keeps its last column.
    for (const auto& [key, column] : m_keys) {
        if (column == 0)
            continue;
        if (std::all_of(key.begin(), key.end(), [](wchar_t c) { return c < 0x80; }))
            m_asciiKeys[std::string(key.begin(), key.end())] = column;
    }
}

int SearchColumns::Find(const std::wstring& name) const
{
    auto it = m_keys.find(LowerText(TrimWhiteSpace(name)));
    return it == m_keys.end() ? -1 : it->second;
}

int SearchColumns::Find(const std::string& utf8Name) const
{
    // Names from the server are ASCII; they are looked up without a
    // conversion for each attribute of each entry.
    for (char c : utf8Name)
        if (static_cast<unsigned char>(c) >= 0x80)
            return Find(Utf8ToWideString(utf8Name));
    const size_t first = utf8Name.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return -1;
    const size_t last = utf8Name.find_last_not_of(" \t\r\n");
    std::string key = utf8Name.substr(first, last - first + 1);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    auto it = m_asciiKeys.find(key);
    return it == m_asciiKeys.end() ? -1 : it->second;
}

std::vector<int> SearchColumns::Widths(int clientWidth) const
{
    const int count = static_cast<int>(m_headers.size());
    std::vector<int> widths(m_headers.size(), clientWidth / count);
    widths.back() = clientWidth - (clientWidth / count) * (count - 1);
    return widths;
}

std::wstring SearchCellText(const arbldap::LDAPAttribute& attribute, const std::wstring& notPrintable)
{
    if (attribute.IsNotPrintable())
        return notPrintable;
    std::wstring text;
    bool first = true;
    for (std::string_view value : attribute.GetValues()) {
        if (!first)
            text += L", ";
        text += Utf8ToWideString(std::string(value));
        first = false;
    }
    return text;
}

std::vector<std::wstring> FillDropDownTexts(const std::vector<std::wstring>& current,
                                            const std::vector<std::wstring>& recent)
{
    std::vector<std::wstring> texts = current;
    for (const std::wstring& text : recent)
        if (std::find(texts.begin(), texts.end(), text) == texts.end())
            texts.push_back(text);
    return texts;
}
