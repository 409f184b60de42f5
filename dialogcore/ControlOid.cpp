#include "dialogcore/ControlOid.h"

#include "base/Utf8.h"

namespace dialogcore {

const char* const kOidCharacters = "1234567890.";

namespace {

std::u32string CodePoints(const std::string& text)
{
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t left = text.size();
    while (left > 0) {
        char32_t cp = 0;
        size_t used = DecodeUtf8(p, left, cp);
        if (used == 0) used = 1;  // a broken byte counts as one character
        out += cp;
        p += used;
        left -= used;
    }
    return out;
}

} // namespace

size_t FindDisallowedChar(const std::string& value, const std::string& allowed)
{
    const std::u32string chars = CodePoints(value);
    const std::u32string permitted = CodePoints(allowed);
    for (size_t i = 0; i < chars.size(); ++i)
        if (permitted.find(chars[i]) == std::u32string::npos) return i;
    return std::string::npos;
}

OidCheck CheckOid(const std::string& oid)
{
    if (oid.empty()) return OidCheck::Empty;
    if (FindDisallowedChar(oid, kOidCharacters) != std::string::npos) return OidCheck::BadChar;
    if (oid.front() == '.' || oid.back() == '.' || oid.find("..") != std::string::npos) return OidCheck::EmptyArc;
    return OidCheck::Ok;
}

} // namespace dialogcore
