#pragma once
// Byte strings written as text, for tests of stored layouts.

#include <cctype>
#include <cstdint>
#include <string>

namespace testsupport {

// "0a 00 ff" or "0a00ff" to bytes.
inline std::string Hex(const std::string& text)
{
    std::string out, digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) digits.push_back(c);
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

// Bytes as "0a 00 ff".
inline std::string ToHex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

// A 32-bit number, little-endian.
inline std::string U32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

// The text after its 32-bit length.
inline std::string Counted(const std::string& s)
{
    return U32(static_cast<uint32_t>(s.size())) + s;
}

} // namespace testsupport
