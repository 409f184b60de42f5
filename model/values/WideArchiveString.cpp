#include "model/values/WideArchiveString.h"

#include <cstdint>
#include <vector>

namespace {

std::vector<uint16_t> ToUtf16(const std::wstring& text)
{
    std::vector<uint16_t> units;
    units.reserve(text.size());
    for (wchar_t wc : text) {
        auto cp = static_cast<uint32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<uint16_t>(0xD800 | (cp >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 | (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(cp));
        }
    }
    return units;
}

std::wstring FromUtf16(const std::string& bytes)
{
    std::wstring text;
    const size_t n = bytes.size() / 2;
    auto unit = [&bytes](size_t i) {
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        text.push_back(static_cast<wchar_t>(u));
    }
    return text;
}

} // namespace

void WriteWideArchiveString(CArchive& ar, const std::wstring& text)
{
    const std::vector<uint16_t> units = ToUtf16(text);
    const size_t n = units.size();
    ar.WriteByte(0xFF);
    ar.WriteUInt16(0xFFFE);
    if (n < 0xFF) {
        ar.WriteByte(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        ar.WriteByte(0xFF);
        ar.WriteUInt16(static_cast<uint16_t>(n));
    } else {
        ar.WriteByte(0xFF);
        ar.WriteUInt16(0xFFFF);
        ar.WriteUInt32(static_cast<uint32_t>(n));
    }
    for (uint16_t u : units) ar.WriteUInt16(u);
}

void ReadWideArchiveString(CArchive& ar, std::wstring& text)
{
    if (ar.ReadByte() != 0xFF || ar.ReadUInt16() != 0xFFFE)
        throw CArchiveException("archived text is not a wide string");
    uint32_t n = ar.ReadByte();
    if (n == 0xFF) {
        n = ar.ReadUInt16();
        if (n == 0xFFFF) n = ar.ReadUInt32();
    }
    if (n > ar.Remaining() / 2) throw CArchiveException("archived text runs past the end");
    std::string bytes;
    ar.ReadBytes(bytes, size_t(n) * 2);
    text = FromUtf16(bytes);
}
