#pragma once
// Stored forms of LDAP password values ({SHA}, {SSHA}, {MD5}, {SMD5},
// {CRYPT}) made from a clear-text password, and the check of a clear-text
// password against a stored form. Schemes are the indices of
// model/values/PasswordScheme.h.

#include <cstddef>
#include <functional>
#include <string>

// Fills n bytes with random bytes; false when the source failed.
using SaltSource = std::function<bool(unsigned char* bytes, size_t n)>;

// The source of every salt; the system's random source until replaced.
// Returns the previous source (tests put theirs in and restore it).
SaltSource SetSaltSource(SaltSource source);

// A fresh salt for the scheme: 8 to 41 random bytes for {SSHA} and {SMD5},
// two characters of the crypt alphabet for {CRYPT}, empty for the others.
// Empty too when the random source fails.
std::string MakePasswordSalt(int scheme);

// The whole stored value ("{SSHA}..." and so on) of the UTF-8 password in
// the scheme with that salt; empty for a scheme without a stored form, a
// salted scheme without a salt, or a failed crypt.
std::string MakePasswordHashWithSalt(const std::string& password, int scheme, const std::string& salt);

// The stored value of the password (up to its first NUL, as UTF-8) in the
// scheme, with a fresh salt; empty when none can be made.
std::wstring MakePasswordHash(const std::wstring& password, int scheme);

// Whether the UTF-8 password matches the stored value read in the scheme:
// the body after the first "}" (all of it without one) against the same
// computation; a body too short to hold its salt, a body that does not
// decode, a failed crypt and any scheme without a stored form never match.
bool CheckPasswordHash(const std::string& password, int scheme, const std::string& stored);
bool CheckPasswordHash(const std::wstring& password, int scheme, const std::wstring& stored);
