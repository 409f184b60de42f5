#include "base/Guid.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, 8) == 0;
}

bool operator<(const GUID& a, const GUID& b)
{
    unsigned char x[16], y[16];
    GuidToBytes(a, x);
    GuidToBytes(b, y);
    return std::memcmp(x, y, 16) < 0;
}

std::wstring GuidToString(const GUID& g)
{
    wchar_t buf[40];
    std::swprintf(buf, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(g.Data1), unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

static int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool GuidFromString(const std::wstring& text, GUID& guid)
{
    std::wstring t = text;
    if (t.size() == 38 && t.front() == L'{' && t.back() == L'}')
        t = t.substr(1, 36);
    if (t.size() != 36 || t[8] != L'-' || t[13] != L'-' || t[18] != L'-' || t[23] != L'-')
        return false;
    unsigned char b[16];
    size_t k = 0;
    for (size_t i = 0; i < t.size();) {
        if (t[i] == L'-') { ++i; continue; }
        int hi = HexValue(t[i]), lo = HexValue(t[i + 1]);
        if (hi < 0 || lo < 0) return false;
        b[k++] = static_cast<unsigned char>(hi << 4 | lo);
        i += 2;
    }
    GUID g;
    g.Data1 = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    g.Data2 = static_cast<uint16_t>(b[4] << 8 | b[5]);
    g.Data3 = static_cast<uint16_t>(b[6] << 8 | b[7]);
    std::memcpy(g.Data4, b + 8, 8);
    guid = g;
    return true;
}

void GuidToBytes(const GUID& g, unsigned char out[16])
{
    out[0] = g.Data1 & 0xFF; out[1] = (g.Data1 >> 8) & 0xFF;
    out[2] = (g.Data1 >> 16) & 0xFF; out[3] = (g.Data1 >> 24) & 0xFF;
    out[4] = g.Data2 & 0xFF; out[5] = g.Data2 >> 8;
    out[6] = g.Data3 & 0xFF; out[7] = g.Data3 >> 8;
    std::memcpy(out + 8, g.Data4, 8);
}

GUID GuidFromBytes(const unsigned char in[16])
{
    GUID g;
    g.Data1 = uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
    g.Data2 = static_cast<uint16_t>(in[4] | in[5] << 8);
    g.Data3 = static_cast<uint16_t>(in[6] | in[7] << 8);
    std::memcpy(g.Data4, in + 8, 8);
    return g;
}

