#pragma once
// Text helpers shared by the directory layers: UTF-8 <-> wide conversion,
// base64 on byte buffers, the archive form of strings and GUIDs, printf-style
// formatting into std::string and string-resource loading.
//
// Wide text is std::wstring (one wchar_t per code point on Linux). Lengths that
// the callers use to size UTF-16 buffers are counted in UTF-16 units.

#include <cstddef>
#include <iosfwd>
#include <string>

#include "platform/Archive.h"
#include "platform/Guid.h"

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

// Whole-string forms (embedded zeros kept); invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWideString(const std::string& text);
std::string WideToUtf8Text(const std::wstring& text);

// Base64 of n bytes in a malloc'ed, zero-terminated buffer (caller frees).
char* Base64Encode(const unsigned char* data, size_t n, size_t* outLength = nullptr);
// Bytes of a base64 text in a malloc'ed buffer (caller frees); null on bad
// padding or allocation failure. Decoding stops at a zero byte, at '=' or at
// length, whichever comes first.
unsigned char* Base64Decode(const char* text, size_t length, size_t* outLength = nullptr);

void ReadStdString(CArchive& ar, std::string& s);
void WriteStdString(CArchive& ar, const std::string& s);
void ReadGuid(CArchive& ar, GUID& guid);
void WriteGuid(CArchive& ar, const GUID& guid);
std::wostream& WriteGuidText(std::wostream& os, const GUID& guid);

// printf-style formatting into out; never overflows, whatever the arguments.
// The result is cut at its first zero byte.
void FormatString(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The string resource id as UTF-8; false, with out emptied, when missing.
bool LoadStringResource(unsigned int id, std::string& out);

// Stream-in callback over a std::string: moves up to count bytes from the
// front of *cookie into buffer. Always returns 0.
unsigned long StringStreamInCallback(std::string* cookie, unsigned char* buffer, long count, long* written);

// Compares zero-terminated texts ignoring ASCII letter case only; <0, 0, >0.
int StrICmp(const char* a, const char* b);
// Whole strings, zero bytes included, equal ignoring ASCII letter case only.
bool EqualNoCase(const std::string& a, const std::string& b);
