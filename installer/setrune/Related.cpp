#include "installer/setrune/Related.h"

#include <cstdint>

#include "installer/msi/Host.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/Properties.h"

namespace setrune {
namespace {

uint64_t NumberAt(const std::string& s, size_t pos)
{
    uint64_t n = 0;
    for (; pos < s.size() && s[pos] >= '0' && s[pos] <= '9'; ++pos)
        if (n < UINT64_MAX / 100) n = n * 10 + static_cast<uint64_t>(s[pos] - '0');
    return n;
}

size_t NextPart(const std::string& s, size_t pos)
{
    pos = s.find('.', pos);
    if (pos == std::string::npos) return s.size();
    while (pos < s.size() && (s[pos] == '.' || s[pos] == ' ')) ++pos;
    return pos;
}

} // namespace

int CompareVersions(const std::string& version, const std::string& bound)
{
    size_t v = 0, b = 0;
    while (v < version.size() || b < bound.size()) {
        uint64_t nv = NumberAt(version, v), nb = NumberAt(bound, b);
        if (nv != nb) return nv < nb ? -1 : 1;
        v = NextPart(version, v);
        b = NextPart(bound, b);
    }
    return 0;
}

bool VersionInRange(const std::string& version, const std::string& min, const std::string& max, int attributes)
{
    if (!min.empty()) {
        int c = CompareVersions(version, min);
        if (c < 0 || (c == 0 && !(attributes & kMinInclusive))) return false;
    }
    if (!max.empty()) {
        int c = CompareVersions(version, max);
        if (c > 0 || (c == 0 && !(attributes & kMaxInclusive))) return false;
    }
    return true;
}

RelatedProducts::~RelatedProducts()
{
    if (library_) TheHost().FreeLibrary(library_);
}

bool RelatedProducts::Start(MSIHANDLE hInstall, bool windows9x)
{
    if (IsDeferred(hInstall)) return false;
    std::string version9x;
    if (!GetProperty(hInstall, "Version9X", 256, &version9x) || version9x.empty() == windows9x) return false;
    msi::Host& host = TheHost();
    library_ = host.LoadLibrary("msi.dll");
    if (!library_) return false;
    enumRelated_ = reinterpret_cast<EnumRelated>(host.FindFunction(library_, "MsiEnumRelatedProductsA"));
    if (!enumRelated_) return false;
    *db_.Put() = MsiGetActiveDatabase(hInstall);
    return db_ != 0;
}

std::vector<std::string> RelatedProducts::InRange(const UpgradeRow& row) const
{
    std::vector<std::string> found;
    for (DWORD i = 0; i < 0x7fff; ++i) {
        char product[39] = {};
        if (enumRelated_(row.upgradeCode.c_str(), 0, i, product) != ERROR_SUCCESS) break;
        char version[256];
        DWORD count = sizeof version;
        if (MsiGetProductInfoA(product, "VersionString", version, &count) != ERROR_SUCCESS) continue;
        if (VersionInRange(version, row.versionMin, row.versionMax, row.attributes)) found.push_back(product);
    }
    return found;
}

bool ReadUpgradeRow(MSIHANDLE record, bool withActionProperty, UpgradeRow* row)
{
    if (!GetFieldText(record, 1, 256, &row->upgradeCode) || !GetFieldText(record, 2, 256, &row->versionMin) ||
        !GetFieldText(record, 3, 256, &row->versionMax) || !GetFieldText(record, 4, 256, &row->language))
        return false;
    int attributes = MsiRecordGetInteger(record, 5);
    row->attributes = attributes == MSI_NULL_INTEGER ? 0 : attributes;
    row->actionProperty.clear();
    return !withActionProperty || GetFieldText(record, 6, 256, &row->actionProperty);
}

} // namespace setrune
