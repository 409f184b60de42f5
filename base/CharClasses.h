#pragma once
// Character classes of UTF-16 code units from a fixed table, so the printable
// test of attribute values gives the same answer whatever the process locale.

#include <cstdint>

enum CharClassFlag : uint8_t {
    kCharUpper = 0x01,
    kCharLower = 0x02,
    kCharLetter = 0x04,
    kCharLetterOrDigit = 0x08,
    kCharSpace = 0x10,      // tab, line feed, carriage return, blank and the like
    kCharPrintable = 0x20,  // graphic characters and the blank
    kCharBlank = 0x40,      // tab and blank
    kCharControl = 0x80,
};

// The flags of one UTF-16 code unit (surrogate halves have none).
uint8_t GetCharClass(char16_t unit);
// The flags of a code point: the table for the BMP; above it, code points of
// the planes in use are printable and everything else (planes 4 to 13,
// noncharacters, beyond U+10FFFF) has no flags.
uint8_t GetCodePointClass(char32_t cp);

inline bool IsPrintableChar(char16_t unit) { return (GetCharClass(unit) & kCharPrintable) != 0; }
inline bool IsSpaceChar(char16_t unit) { return (GetCharClass(unit) & kCharSpace) != 0; }
