#include "ldap/TextHelpers.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "platform/ResourceLibrary.h"
#include "platform/Utf8.h"

using platform::DecodeUtf8;
using platform::EncodeUtf8;

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

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

std::wstring Utf8ToWideString(const std::string& text)
{
    return platform::Utf8ToWide(text);
}

std::string WideToUtf8Text(const std::wstring& text)
{
    return platform::WideToUtf8(text);
}

char* Base64Encode(const unsigned char* data, size_t n, size_t* outLength)
{
    size_t groups = (n + 2) / 3;
    char* out = static_cast<char*>(std::malloc(groups * 4 + 1));
    if (!out) return nullptr;
    size_t o = 0, i = 0;
    for (; i + 3 <= n; i += 3) {
        unsigned v = unsigned(data[i]) << 16 | unsigned(data[i + 1]) << 8 | data[i + 2];
        out[o++] = kAlphabet[(v >> 18) & 63];
        out[o++] = kAlphabet[(v >> 12) & 63];
        out[o++] = kAlphabet[(v >> 6) & 63];
        out[o++] = kAlphabet[v & 63];
    }
    if (n - i == 1) {
        out[o++] = kAlphabet[data[i] >> 2];
        out[o++] = kAlphabet[(data[i] & 3) << 4];
        out[o++] = '=';
        out[o++] = '=';
    } else if (n - i == 2) {
        out[o++] = kAlphabet[data[i] >> 2];
        out[o++] = kAlphabet[((data[i] & 3) << 4) | (data[i + 1] >> 4)];
        out[o++] = kAlphabet[(data[i + 1] & 15) << 2];
        out[o++] = '=';
    }
    out[o] = '\0';
    if (outLength) *outLength = o;
    return out;
}

unsigned char* Base64Decode(const char* text, size_t length, size_t* outLength)
{
    static const auto table = [] {
        struct T { signed char v[256]; } t;
        std::memset(t.v, -1, sizeof t.v);
        for (int k = 0; k < 64; ++k)
            t.v[static_cast<unsigned char>(kAlphabet[k])] = static_cast<signed char>(k);
        return t;
    }();
    unsigned char* out = static_cast<unsigned char*>(std::calloc(length + 1, 1));
    if (!out) return nullptr;
    if (!text) {
        if (outLength) *outLength = 0;
        return out;
    }
    size_t valid = 0, o = 0;
    bool padded = false;
    for (size_t i = 0; i < length && text[i]; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '=') { padded = true; break; }
        if (c == ' ') c = '+';
        int v = table.v[c];
        if (v < 0) continue;
        switch (valid % 4) {
        case 0: out[o] = static_cast<unsigned char>(v << 2); break;
        case 1: out[o++] |= static_cast<unsigned char>(v >> 4); out[o] = static_cast<unsigned char>((v & 15) << 4); break;
        case 2: out[o++] |= static_cast<unsigned char>(v >> 2); out[o] = static_cast<unsigned char>((v & 3) << 6); break;
        case 3: out[o++] |= static_cast<unsigned char>(v); break;
        }
        ++valid;
    }
    if (padded && valid % 4 <= 1) {
        std::free(out);
        return nullptr;
    }
    // Clear the started, incomplete byte: the length marks the end of the data.
    std::memset(out + o, 0, length + 1 - o);
    if (outLength) *outLength = o;
    return out;
}

void ReadStdString(CArchive& ar, std::string& s)
{
    uint32_t n = ar.ReadUInt32();
    ar.ReadBytes(s, n);
}

void WriteStdString(CArchive& ar, const std::string& s)
{
    ar.WriteUInt32(static_cast<uint32_t>(s.size()));
    ar.Write(s.data(), s.size());
}

void ReadGuid(CArchive& ar, GUID& guid)
{
    unsigned char b[16];
    ar.Read(b, 16);
    guid = platform::GuidFromBytes(b);
}

void WriteGuid(CArchive& ar, const GUID& guid)
{
    unsigned char b[16];
    platform::GuidToBytes(guid, b);
    ar.Write(b, 16);
}

std::wostream& WriteGuidText(std::wostream& os, const GUID& guid)
{
    return os << platform::GuidToString(guid);
}

void FormatString(std::string& out, const char* format, ...)
{
    if (!format) {
        out.clear();
        return;
    }
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (n < 0) {
        va_end(again);
        out.clear();
        return;
    }
    out.assign(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, again);
    va_end(again);
    out.resize(std::strlen(out.c_str()));
}

bool LoadStringResource(unsigned int id, std::string& out)
{
    if (!platform::ResourceLibrary::Current().LoadString(id, out)) {
        out.clear();
        return false;
    }
    return true;
}

unsigned long StringStreamInCallback(std::string* cookie, unsigned char* buffer, long count, long* written)
{
    size_t n = 0;
    if (cookie && buffer && count > 0) {
        n = std::min(static_cast<size_t>(count), cookie->size());
        std::memcpy(buffer, cookie->data(), n);
        cookie->erase(0, n);
    }
    if (written) *written = static_cast<long>(n);
    return 0;
}

int StrICmp(const char* a, const char* b)
{
    auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    for (;; ++a, ++b) {
        int x = fold(static_cast<unsigned char>(*a)), y = fold(static_cast<unsigned char>(*b));
        if (x != y || x == 0) return x - y;
    }
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}
