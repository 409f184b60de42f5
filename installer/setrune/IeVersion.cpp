// getIeVersion: the browser's version as a code the package can compare.

#include <climits>
#include <cstdint>
#include <string>

#include "installer/setrune/Actions.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/RegKey.h"
#include "installer/setrune/TextCase.h"

namespace {

struct Known {
    const char* version;
    const char* code;
};

const Known kKnown[] = {
    {"4.40.308", "100"},       {"4.40.520", "200"},       {"4.70.1155", "300"},      {"4.70.1158", "300"},
    {"4.70.1215", "301"},      {"4.70.1300", "302"},      {"4.71.544", "400"},       {"4.71.1008.3", "400"},
    {"4.71.1712.6", "400"},    {"4.72.2106.8", "401"},    {"4.72.3110.8", "401"},    {"4.72.3612.1713", "401"},
    {"5.00.0518.10", "500"},   {"5.00.0910.1309", "500"}, {"5.00.2014.0216", "500"}, {"5.00.2314.1003", "500"},
    {"5.00.2614.3500", "500"}, {"5.00.2516.1900", "501"}, {"5.00.2031", "501"},      {"5.00.2919.800", "501"},
    {"5.00.2072", "501"},      {"5.00.2919.3800", "501"}, {"5.00.2128", "501"},      {"5.00.2919.6307", "501"},
    {"5.00.3103.1000", "501"}, {"5.00.3315.1000", "501"}, {"5.50.3825.1300", "550"}, {"5.50.4134.0600", "550"},
    {"5.50.4134.0600C0", "550"}, {"6.0.2462.0000", "600"},
};

// Leading decimal digits from pos; false when the number grows past limit.
bool ReadNumber(const std::string& text, size_t pos, uint64_t limit, uint64_t* out)
{
    uint64_t n = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        n = n * 10 + static_cast<uint64_t>(text[pos] - '0');
        if (n > limit) return false;
    }
    *out = n;
    return true;
}

// M x 100 + N of "M.N..."; false when that is no 32-bit number.
bool VersionCode(const std::string& version, std::string* code)
{
    for (const auto& k : kKnown)
        if (setrune::EqualIgnoringCase(version, k.version)) {
            *code = k.code;
            return true;
        }
    size_t start = version.find_first_not_of(" \t");
    if (start == std::string::npos) start = version.size();
    uint64_t major = 0, minor = 0;
    if (!ReadNumber(version, start, INT_MAX, &major)) return false;
    size_t dot = version.find('.', start);
    if (dot != std::string::npos && !ReadNumber(version, dot + 1, INT_MAX, &minor)) return false;
    uint64_t k = major * 100 + minor;
    if (k > INT_MAX) return false;
    *code = std::to_string(k);
    return true;
}

} // namespace

SETRUNE_ACTION getIeVersion(MSIHANDLE hInstall)
{
    setrune::RegKey key;
    std::string version, code;
    if (!key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", KEY_QUERY_VALUE) ||
        !key.QueryText("Version", 100, &version, true) || version.empty())
        return ERROR_SUCCESS;
    if (!VersionCode(version, &code)) return ERROR_SUCCESS;
    if (MsiSetPropertyA(hInstall, "IEVERSION", code.c_str()) == ERROR_SUCCESS)
        MsiSetPropertyA(hInstall, "IEVERSIONEX", version.c_str());
    return ERROR_SUCCESS;
}
