#include "base/Utf8.h"

#include <cstring>

// Decodes one UTF-8 character at p (n bytes available); returns the bytes used.
// Malformed, overlong and surrogate sequences give U+FFFD for one byte.
size_t DecodeUtf8(const unsigned char* p, size_t n, char32_t& cp)
{
    unsigned char c = p[0];
    if (c < 0x80) { cp = c; return 1; }
    size_t len;
    char32_t v, min;
    if ((c & 0xE0) == 0xC0) { len = 2; v = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; v = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; v = c & 0x07; min = 0x10000; }
    else { cp = kReplacementChar; return 1; }
    if (len > n) { cp = kReplacementChar; return 1; }
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) { cp = kReplacementChar; return 1; }
        v = (v << 6) | (p[i] & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) { cp = kReplacementChar; return 1; }
    cp = v;
    return len;
}

size_t EncodeUtf8(char32_t cp, char* out)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacementChar;
    if (cp < 0x80) { out[0] = static_cast<char>(cp); return 1; }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

std::wstring Utf8ToWideString(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        i += DecodeUtf8(p + i, text.size() - i, cp);
        out.push_back(static_cast<wchar_t>(cp));
    }
    return out;
}

std::string WideToUtf8Text(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    char tmp[4];
    for (wchar_t w : text)
        out.append(tmp, EncodeUtf8(static_cast<char32_t>(w), tmp));
    return out;
}

int Utf8ToWideLength(const char* text)
{
    if (!text) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    size_t n = std::strlen(text), units = 1;
    for (size_t i = 0; i < n;) {
        char32_t cp;
        i += DecodeUtf8(p + i, n - i, cp);
        units += cp >= 0x10000 ? 2 : 1;
    }
    return static_cast<int>(units);
}

wchar_t* Utf8ToWide(wchar_t* buffer, const char* text, int bufferLength)
{
    if (!buffer || bufferLength <= 0) return buffer;
    buffer[0] = L'\0';
    if (!text) return buffer;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    size_t n = std::strlen(text), out = 0;
    for (size_t i = 0; i < n && out + 1 < static_cast<size_t>(bufferLength);) {
        char32_t cp;
        i += DecodeUtf8(p + i, n - i, cp);
        buffer[out++] = static_cast<wchar_t>(cp);
    }
    buffer[out] = L'\0';
    return buffer;
}

int WideToUtf8Length(const wchar_t* text)
{
    if (!text) return 0;
    size_t bytes = 1;
    char tmp[4];
    for (const wchar_t* w = text; *w; ++w)
        bytes += EncodeUtf8(static_cast<char32_t>(*w), tmp);
    return static_cast<int>(bytes);
}

char* WideToUtf8(char* buffer, const wchar_t* text, int bufferLength)
{
    if (!buffer || bufferLength <= 0) return buffer;
    buffer[0] = '\0';
    if (!text) return buffer;
    size_t out = 0, cap = static_cast<size_t>(bufferLength) - 1;
    char tmp[4];
    for (const wchar_t* w = text; *w; ++w) {
        size_t k = EncodeUtf8(static_cast<char32_t>(*w), tmp);
        if (out + k > cap) break;
        std::memcpy(buffer + out, tmp, k);
        out += k;
    }
    buffer[out] = '\0';
    return buffer;
}

bool Utf8ToCString(const char* text, std::wstring& out)
{
    if (!text) return false;
    out = Utf8ToWideString(text);
    return true;
}

bool WideToUtf8String(const wchar_t* text, std::string& out)
{
    if (!text) return false;
    out = WideToUtf8Text(text);
    return true;
}
