#pragma once
// UTF-8 <-> wide text. Malformed input never fails: a bad byte becomes U+FFFD.

#include <cstddef>
#include <string>

constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one character at p (n > 0 bytes available) and returns the bytes
// used. Malformed, overlong and surrogate sequences give U+FFFD for one byte.
size_t DecodeUtf8(const unsigned char* p, size_t n, char32_t& cp);
// Encodes cp (U+FFFD for a surrogate or out of range) into out; 1 to 4 bytes.
size_t EncodeUtf8(char32_t cp, char* out);

// Whole-string forms (embedded zeros kept); invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWideString(const std::string& text);
std::string WideToUtf8Text(const std::wstring& text);

// Lengths that callers use to size UTF-16 buffers are counted in UTF-16 units.
// UTF-16 units the text needs, terminator included; 0 for a null text.
int Utf8ToWideLength(const char* text);
// Converts into buffer (length in wide units), terminator included; a text
// that does not fit is cut at a character boundary. Returns buffer.
wchar_t* Utf8ToWide(wchar_t* buffer, const char* text, int bufferLength);
// UTF-8 bytes the text needs, terminator included; 0 for a null text.
int WideToUtf8Length(const wchar_t* text);
// Converts into buffer (length in bytes), terminator included; cut at a
// character boundary when it does not fit. Returns buffer.
char* WideToUtf8(char* buffer, const wchar_t* text, int bufferLength);

// Zero-terminated UTF-8 into a wide string; false for a null text.
bool Utf8ToCString(const char* text, std::wstring& out);
// Wide text into UTF-8; the string holds the text's bytes only (no terminator
// inside it). False, with out untouched, for a null text.
bool WideToUtf8String(const wchar_t* text, std::string& out);

