#include <gtest/gtest.h>

#include <cctype>
#include <clocale>

#include "base/CharClasses.h"

namespace {

TEST(CharClasses, SampleUnits)
{
    struct Case {
        char16_t unit;
        uint8_t flags;
    } cases[] = {
        {u'\0', kCharControl},
        {u'\t', kCharControl | kCharSpace | kCharBlank},
        {u'\n', kCharControl | kCharSpace},
        {u'\r', kCharControl | kCharSpace},
        {u' ', kCharPrintable | kCharSpace | kCharBlank},
        {u'!', kCharPrintable},
        {u'7', kCharPrintable | kCharLetterOrDigit},
        {u'Q', kCharPrintable | kCharUpper | kCharLetter | kCharLetterOrDigit},
        {u'q', kCharPrintable | kCharLower | kCharLetter | kCharLetterOrDigit},
        {0x007F, kCharControl},
        {0x0085, kCharControl | kCharSpace},  // next line
        {0x009F, kCharControl},
        {0x00A0, kCharPrintable | kCharSpace},  // no-break space is not a blank
        {0x00C4, kCharPrintable | kCharUpper | kCharLetter | kCharLetterOrDigit},
        {0x00E4, kCharPrintable | kCharLower | kCharLetter | kCharLetterOrDigit},
        {0x00AD, kCharPrintable},  // soft hyphen appears in real names
        {0x0661, kCharPrintable | kCharLetterOrDigit},  // Arabic-Indic one
        {0x05D0, kCharPrintable | kCharLetter | kCharLetterOrDigit},
        {0x2003, kCharPrintable | kCharSpace | kCharBlank},
        {0x2028, kCharSpace},  // line separator
        {0x200D, kCharPrintable},  // zero width joiner
        {0x3000, kCharPrintable | kCharSpace | kCharBlank},
        {0x4E2D, kCharPrintable | kCharLetter | kCharLetterOrDigit},
        {0xAC00, kCharPrintable | kCharLetter | kCharLetterOrDigit},
        {0xD800, 0},
        {0xDFFF, 0},
        {0xE000, kCharPrintable},
        {0xFFFD, kCharPrintable},
        {0x0378, 0},  // unassigned
        {0xFFFE, 0},
        {0xFFFF, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetCharClass(c.unit), c.flags) << std::hex << unsigned(c.unit);
        EXPECT_EQ(IsPrintableChar(c.unit), (c.flags & kCharPrintable) != 0) << std::hex << unsigned(c.unit);
        EXPECT_EQ(IsSpaceChar(c.unit), (c.flags & kCharSpace) != 0) << std::hex << unsigned(c.unit);
    }
}

TEST(CharClasses, AsciiAgreesWithTheCLocale)
{
    const char* old = std::setlocale(LC_CTYPE, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_CTYPE, "C");
    for (int c = 0; c < 128; ++c) {
        uint8_t f = GetCharClass(static_cast<char16_t>(c));
        EXPECT_EQ((f & kCharUpper) != 0, std::isupper(c) != 0) << c;
        EXPECT_EQ((f & kCharLower) != 0, std::islower(c) != 0) << c;
        EXPECT_EQ((f & kCharLetter) != 0, std::isalpha(c) != 0) << c;
        EXPECT_EQ((f & kCharLetterOrDigit) != 0, std::isalnum(c) != 0) << c;
        EXPECT_EQ((f & kCharSpace) != 0, std::isspace(c) != 0) << c;
        EXPECT_EQ((f & kCharPrintable) != 0, std::isprint(c) != 0) << c;
        EXPECT_EQ((f & kCharBlank) != 0, std::isblank(c) != 0) << c;
        EXPECT_EQ((f & kCharControl) != 0, std::iscntrl(c) != 0) << c;
    }
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(CharClasses, FlagsAreConsistentOverEveryUnit)
{
    for (uint32_t u = 0; u <= 0xFFFF; ++u) {
        uint8_t f = GetCharClass(static_cast<char16_t>(u));
        SCOPED_TRACE(u);
        ASSERT_FALSE((f & kCharUpper) && (f & kCharLower));
        ASSERT_TRUE(!(f & (kCharUpper | kCharLower)) || (f & kCharLetter));
        ASSERT_TRUE(!(f & kCharLetter) || (f & kCharLetterOrDigit));
        ASSERT_TRUE(!(f & kCharLetterOrDigit) || (f & kCharPrintable));
        ASSERT_TRUE(!(f & kCharBlank) || (f & kCharSpace));
        ASSERT_FALSE((f & kCharControl) && (f & kCharPrintable));
    }
}

TEST(CharClasses, CodePointsAboveTheBmp)
{
    struct Case {
        char32_t cp;
        uint8_t flags;
    } cases[] = {
        {U'a', kCharPrintable | kCharLower | kCharLetter | kCharLetterOrDigit},
        {0x1F600, kCharPrintable},   // emoji
        {0x20000, kCharPrintable},   // CJK extension B
        {0xE0041, kCharPrintable},   // tag letter
        {0x100000, kCharPrintable},  // private use
        {0x1FFFE, 0},
        {0x10FFFF, 0},
        {0x50000, 0},
        {0x110000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCodePointClass(c.cp), c.flags) << std::hex << unsigned(c.cp);
}

} // namespace
