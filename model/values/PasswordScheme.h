#pragma once
// Which hashing scheme a stored password value names by its prefix.

#include <string>

// Scheme indices, in the order the prefixes are tested.
enum PasswordSchemeIndex : int {
    kSchemeNone = -1,
    kSchemeSHA = 0,     // "{SHA}"
    kSchemeSSHA = 1,    // "{SSHA}"
    kSchemeMD5 = 2,     // "{MD5}"
    kSchemeSMD5 = 3,    // "{SMD5}"
    kSchemeCrypt = 4,   // "{CRYPT}"
    kSchemePrivate = 5, // "{X-" (any private scheme)
};

// The scheme whose prefix the value starts with, ignoring case; kSchemeNone
// when it starts with none of them.
int GetPasswordScheme(const std::wstring& value);
// True when the value names any scheme ("{X-" included).
bool HasPasswordScheme(const std::wstring& value);
