#pragma once
// UTF-8 <-> wide text. Malformed input never fails: a bad byte becomes U+FFFD.

#include <cstddef>
#include <string>

namespace platform {

constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one character at p (n > 0 bytes available) and returns the bytes
// used. Malformed, overlong and surrogate sequences give U+FFFD for one byte.
size_t DecodeUtf8(const unsigned char* p, size_t n, char32_t& cp);
// Encodes cp (U+FFFD for a surrogate or out of range) into out; 1 to 4 bytes.
size_t EncodeUtf8(char32_t cp, char* out);

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

} // namespace platform
