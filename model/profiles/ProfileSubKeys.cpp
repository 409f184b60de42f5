#include "model/profiles/ProfileSubKeys.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/Utf8.h"
#include "platform/CStdRegistry.h"

using namespace arbldap;
using platform::RegistryKey;
using platform::RegRoot;

namespace {

std::wstring Counter(size_t i)
{
    wchar_t text[24];
    std::swprintf(text, sizeof text / sizeof text[0], L"%.4zu", i);
    return text;
}

// The leading digits of a name ("0012 : x" -> "0012"), empty when there are none.
std::wstring LeadingDigits(const std::wstring& name)
{
    size_t n = 0;
    while (n < name.size() && name[n] >= L'0' && name[n] <= L'9') ++n;
    return name.substr(0, n);
}

// Numbers as digit texts, without overflow: fewer significant digits first.
bool CounterLess(const std::wstring& a, const std::wstring& b)
{
    size_t za = a.find_first_not_of(L'0'), zb = b.find_first_not_of(L'0');
    std::wstring sa = za == std::wstring::npos ? L"" : a.substr(za);
    std::wstring sb = zb == std::wstring::npos ? L"" : b.substr(zb);
    return sa.size() != sb.size() ? sa.size() < sb.size() : sa < sb;
}

// The store lists names in text order, which is list order only while the
// counters have four digits: order by the counter's number instead. Names
// without a counter keep their place after the numbered ones.
void SortByCounter(std::vector<std::wstring>& names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        std::wstring da = LeadingDigits(a), db = LeadingDigits(b);
        if (da.empty() || db.empty()) return !da.empty() && db.empty();
        return CounterLess(da, db);
    });
}

// Deletes the sub-key with everything below it and creates it empty.
bool RecreateKey(RegistryKey& key, const std::wstring& path)
{
    key.DeleteKey(path);
    return key.CreateKey(path);
}

} // namespace

// The list is replaced whole or not at all: a failure half-way would leave
// a shorter list than either.
bool WriteNameListKey(const std::wstring& path, const StringList& names)
{
    std::vector<std::pair<std::wstring, std::wstring>> texts;
    size_t i = 0;
    for (const std::string& name : names) texts.emplace_back(Counter(i++), Utf8ToWideString(name));
    return RegistryKey(RegRoot::CurrentUser, false).ReplaceKeyTexts(path, texts);
}

void ReadNameListKey(const std::wstring& path, StringList& names)
{
    names.Clear();
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> valueNames;
    if (!key.Open(path) || !key.ReadValueNames(valueNames)) return;
    SortByCounter(valueNames);
    for (const std::wstring& valueName : valueNames) {
        std::wstring text;
        if (key.Read(valueName, text)) names.Add(WideToUtf8Text(text));
    }
}

bool WriteControlListKey(const std::wstring& path, const LDAPControlList* controls)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    if (!RecreateKey(key, path)) return false;
    if (!controls) return true;
    bool ok = true;
    for (const LDAPControl& control : *controls) {
        std::wstring oid = Utf8ToWideString(control.GetOID());
        // An OID that cannot name one sub-key would land on the wrong key.
        if (oid.empty() || oid.find(L'\\') != std::wstring::npos) {
            ok = false;
            continue;
        }
        CStdRegistry sub(RegRoot::CurrentUser, false);
        ok = sub.CreateKey(path + L"\\" + oid) && ok;
        ok = sub.Write(L"Data", control.GetValue()) && ok;
        ok = sub.Write(L"Critical", uint32_t(control.IsCritical() ? 1 : 0)) && ok;
        ok = sub.Write(L"Active", uint32_t(control.IsEnabled() ? 1 : 0)) && ok;
    }
    return ok;
}

std::unique_ptr<LDAPControlList> ReadControlListKey(const std::wstring& path)
{
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> oids;
    if (!key.Open(path) || !key.ReadSubKeys(oids)) return nullptr;
    auto controls = std::make_unique<LDAPControlList>();
    for (const std::wstring& oid : oids) {
        CStdRegistry sub(RegRoot::CurrentUser, true);
        std::string data;
        uint32_t critical = 0, active = 0;
        if (sub.Open(path + L"\\" + oid)) {
            sub.Read(L"Data", data);
            sub.Read(L"Critical", critical);
            sub.Read(L"Active", active);
        }
        controls->Add(LDAPControl(WideToUtf8Text(oid), critical == 1, data, active == 1));
    }
    return controls;
}

bool WriteFavoriteListKey(const std::wstring& path, const CFavoriteList& favorites)
{
    std::vector<std::pair<std::wstring, std::wstring>> texts;
    size_t i = 0;
    for (const CFavorite& f : favorites)
        texts.emplace_back(Counter(i++) + L" : " + Utf8ToWideString(f.GetText()), Utf8ToWideString(f.GetValue()));
    return RegistryKey(RegRoot::CurrentUser, false).ReplaceKeyTexts(path, texts);
}

void ReadFavoriteListKey(const std::wstring& path, CFavoriteList& favorites)
{
    favorites.Clear();
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> valueNames;
    if (!key.Open(path) || !key.ReadValueNames(valueNames)) return;
    SortByCounter(valueNames);
    for (const std::wstring& valueName : valueNames) {
        std::wstring dn;
        if (!key.Read(valueName, dn)) continue;
        // The name follows the counter and " : ", however many digits it has.
        size_t digits = LeadingDigits(valueName).size();
        size_t skip = digits && valueName.compare(digits, 3, L" : ") == 0 ? digits + 3 : 7;
        std::wstring name = valueName.size() > skip ? valueName.substr(skip) : std::wstring();
        favorites.Add(CFavorite(WideToUtf8Text(name), WideToUtf8Text(dn)));
    }
}
