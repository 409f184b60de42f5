#pragma once
// Checks of the texts the control editor takes: the characters a field may
// hold, and the shape of a control's OID.

#include <cstddef>
#include <string>

namespace dialogcore {

// The characters an OID may hold.
extern const char* const kOidCharacters;

// The position (in code points) of the first character of the UTF-8 value
// that is not among the allowed ones (UTF-8 too); npos when all are.
size_t FindDisallowedChar(const std::string& value, const std::string& allowed);

enum class OidCheck {
    Ok,
    Empty,      // nothing at all
    BadChar,    // a character other than a digit or a dot
    EmptyArc,   // a leading or trailing dot, or two dots together
};

// An OID is numbers separated by single dots: "1.2.840.113556.1.4.319".
OidCheck CheckOid(const std::string& oid);

} // namespace dialogcore
