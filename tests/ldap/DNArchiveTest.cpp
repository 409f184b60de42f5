#include <gtest/gtest.h>

#include <string>

#include "ldap/LDAPDN.h"
#include "base/Archive.h"

using namespace arbldap;

namespace {

std::string U32(uint32_t n) { return std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)}; }
std::string Str(const std::string& s) { return U32(static_cast<uint32_t>(s.size())) + s; }

void ExpectSame(const LDAPDN& a, const LDAPDN& b)
{
    EXPECT_EQ(a.GetText(), b.GetText());
    ASSERT_EQ(a.GetPartCount(), b.GetPartCount());
    for (size_t i = 0; i < a.GetPartCount(); ++i) {
        EXPECT_EQ(a.GetPart(i).GetText(), b.GetPart(i).GetText()) << i;
        EXPECT_EQ(a.GetPart(i).GetType(), b.GetPart(i).GetType()) << i;
        EXPECT_EQ(a.GetPart(i).GetValue(), b.GetPart(i).GetValue()) << i;
    }
}

TEST(DNArchive, FixedLayout)
{
    const struct { const char* dn; std::string bytes; } cases[] = {
        {"cn=a\\,b,o=x",
         Str("cn=a\\,b,o=x") + U32(2) + Str("cn=a\\,b") + Str("cn") + Str("a,b") + Str("o=x") + Str("o") + Str("x")},
        {"", Str("") + U32(0)},
    };
    for (const auto& c : cases) {
        const LDAPDN dn(c.dn);
        CArchive out;
        WriteDN(out, dn);
        EXPECT_EQ(out.GetBuffer(), c.bytes) << c.dn;

        CArchive in(c.bytes);
        LDAPDN back("ou=overwritten,ou=also,o=this");
        ReadDN(in, back);
        ExpectSame(back, dn);
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(DNArchive, PartsAreStoredNotReparsed)
{
    // Whatever the parts hold comes back byte for byte, zero bytes included.
    LDAPDN dn;
    dn.GetParts().emplace_back("cn=a\\00b", "cn", std::string("a\0b", 3));
    dn.GetParts().emplace_back("CN=odd", "cn", "not from the text");
    dn.ComposeText();
    CArchive out;
    WriteDN(out, dn);
    CArchive in(out.GetBuffer());
    LDAPDN back;
    ReadDN(in, back);
    ExpectSame(back, dn);
}

TEST(DNArchive, RoundTripOfParsedDNs)
{
    for (const char* text : {"cn=printer,ou=devices,o=lab", "cn=J\xC3\xBCrgen+sn=\\#1;o=\"a,b\"",
                             "cn=#41,dc=example", "cn=\\ a\\ "}) {
        const LDAPDN dn(text);
        CArchive out;
        WriteDN(out, dn);
        CArchive in(out.GetBuffer());
        LDAPDN back;
        ReadDN(in, back);
        ExpectSame(back, dn);
    }
}

TEST(DNArchive, DamagedInputFailsAndLeavesTheDN)
{
    const std::string good = Str("cn=a") + U32(1) + Str("cn=a") + Str("cn") + Str("a");
    const struct { const char* why; std::string bytes; } cases[] = {
        {"nothing", ""},
        {"short length field", std::string("\x04\0", 2)},
        {"text longer than the data", U32(100) + "cn=a"},
        {"no part count", Str("cn=a")},
        {"hostile part count", Str("cn=a") + U32(0xFFFFFFFFu)},
        {"count beyond the parts' length fields", Str("cn=a") + U32(3) + std::string(24, '\0')},
        {"two parts announced, one stored", Str("cn=a,o=b") + U32(2) + Str("cn=a") + Str("cn") + Str("a")},
        {"part cut inside its value", good.substr(0, good.size() - 1)},
        {"part without its value", Str("cn=a") + U32(1) + Str("cn=a") + Str("cn") + std::string(2, '\0')},
        {"value length beyond the data", Str("cn=a") + U32(1) + Str("cn=a") + Str("cn") + U32(0x7FFFFFFF) + "a"},
    };
    for (const auto& c : cases) {
        CArchive in(c.bytes);
        LDAPDN dn("cn=kept,o=lab");
        EXPECT_THROW(ReadDN(in, dn), CArchiveException) << c.why;
        EXPECT_EQ(dn.GetText(), "cn=kept,o=lab") << c.why;
        EXPECT_EQ(dn.GetPartCount(), 2u) << c.why;
    }
    // the well-formed stream these were cut from reads fine
    CArchive in(good);
    LDAPDN dn;
    ReadDN(in, dn);
    EXPECT_EQ(dn.GetFirstPart().GetValue(), "a");
}

} // namespace
