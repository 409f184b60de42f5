// How values are shown, recognised and turned into links and file names.
#include <gtest/gtest.h>

#include <string>

#include "ldap/LDAPDN.h"
#include "model/profiles/CFavoriteList.h"
#include "model/values/FormatDN.h"
#include "model/values/PasswordScheme.h"
#include "model/values/ValueLinks.h"
#include "model/values/ValueMagic.h"
#include "model/values/ValueText.h"

TEST(PasswordScheme, PrefixesInOrderIgnoringCase)
{
    const struct {
        const wchar_t* value;
        int scheme;
    } cases[] = {
        {L"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=", kSchemeSHA},
        {L"{ssha}abc", kSchemeSSHA},
        {L"{Md5}abc", kSchemeMD5},
        {L"{SMD5}abc", kSchemeSMD5},
        {L"{crypt}ab01234567890", kSchemeCrypt},
        {L"{x-pbkdf2}abc", kSchemePrivate},
        {L"{X-", kSchemePrivate},
        {L"secret", kSchemeNone},
        {L"", kSchemeNone},
        {L"{SHA", kSchemeNone},        // shorter than the prefix
        {L" {SHA}abc", kSchemeNone},   // only at the start
        {L"{SHA256}abc", kSchemeNone}, // not a prefix of the list
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetPasswordScheme(c.value), c.scheme) << std::wstring(c.value).c_str();
        EXPECT_EQ(HasPasswordScheme(c.value), c.scheme != kSchemeNone);
    }
}

TEST(ValueText, BinaryValueShowsItsFirstSixteenBytesInHex)
{
    std::string twenty;
    for (int i = 0; i < 20; ++i) twenty += static_cast<char>(0xF0 + i % 16);
    std::wstring text = FormatBinaryValueText(twenty);
    EXPECT_EQ(text, L"F0  F1  F2  F3  F4  F5  F6  F7  F8  F9  FA  FB  FC  FD  FE  FF  ");
    EXPECT_EQ(FormatBinaryValueText(std::string("\x00\x0A", 2)), L"00  0A  ");
    EXPECT_EQ(FormatBinaryValueText(""), L"");
}

TEST(ValueText, GeneralizedTimeIsReadOnlyAsFarAsItGoes)
{
    const struct {
        const char* value;
        const wchar_t* shown;
    } cases[] = {
        {"20040115093012Z", L"2004-01-15 09:30:12"},
        {"20040115093012.123+0100", L"2004-01-15 09:30:12"},
        {"20040115093012", L"2004-01-15 09:30:12"},
        {"", L"N/A"},
        // Too short or not digits: shown as they are, never read past the end.
        {"2004", L"2004"},
        {"2004011509Z", L"2004011509Z"},
        {"2004-01-15 09:30", L"2004-01-15 09:30"},
        {"yesterday morning", L"yesterday morning"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGeneralizedTime(c.value), c.shown) << c.value;
}

TEST(ValueMagic, ExtensionsByFirstBytesOfLongerValues)
{
    const struct {
        std::string value;
        const char* image;
        const char* sound;
    } cases[] = {
        {std::string("MM\x00\x2A\x01", 5), "tiff", ""},
        {std::string("II\x2A\x00\x01", 5), "tiff", ""},
        {std::string("\x89PNG\r\n", 6), "png", ""},
        {"GIF87a", "gif", ""},
        {"GIF89a", "gif", ""},
        {"BMxx", "bmp", ""},
        {"\xFF\xD8\xFF", "jpg", ""},
        {"\x0A\x05", "pcx", ""},
        {"RIFF....WAVE", "", "wav"},
        {".RMF\x01", "", "rm"},
        {"FORM....AIFF", "", "aif"},
        {"MThd\x01", "", "mid"},
        // The value must be longer than the signature.
        {"BM", "", ""},
        {std::string("II\x2A\x00", 4), "", ""},
        {"RIFF", "", ""},
        {"", "", ""},
        {"GIF88a", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectImageExtension(c.value), c.image) << c.value;
        EXPECT_EQ(DetectSoundExtension(c.value), c.sound) << c.value;
    }
}

TEST(ValueLinks, MailAddressesCannotAddToTheLink)
{
    EXPECT_EQ(MakeMailtoLink("alice@example.org"), "mailto:alice@example.org");
    EXPECT_EQ(MakeMailtoLink("a+b.c-d_e@example.org"), "mailto:a+b.c-d_e@example.org");
    // Header fields, further recipients, a body, a fragment: all escaped.
    EXPECT_EQ(MakeMailtoLink("x@y.org?bcc=eve@z.org&body=hi"), "mailto:x@y.org%3Fbcc%3Deve@z.org%26body%3Dhi");
    EXPECT_EQ(MakeMailtoLink("x@y.org,eve@z.org"), "mailto:x@y.org%2Ceve@z.org");
    EXPECT_EQ(MakeMailtoLink("x@y.org#f"), "mailto:x@y.org%23f");
    EXPECT_EQ(MakeMailtoLink("a b@y.org\n"), "mailto:a%20b@y.org%0A");
    EXPECT_EQ(MakeMailtoLink("100%@y.org"), "mailto:100%25@y.org");
    EXPECT_EQ(MakeMailtoLink("m\xC3\xBCller@y.org"), "mailto:m%C3%BCller@y.org");
}

TEST(ValueLinks, LabeledUriOpensOnlyItsLink)
{
    EXPECT_EQ(GetLabeledUriLink("http://example.org/ Home page"), "http://example.org/");
    EXPECT_EQ(GetLabeledUriLink("http://example.org/"), "http://example.org/");
    EXPECT_EQ(GetLabeledUriLink(""), "");
}

TEST(FormatDN, JoinsTheRdnsWithoutBlanks)
{
    EXPECT_EQ(FormatDN(arbldap::LDAPDN("cn=a, o=b")), "cn=a,o=b");
    EXPECT_EQ(FormatDN(arbldap::LDAPDN("")), "");
}

// A favourite stored from the formatted text must find the entry again.
TEST(FormatDN, TextParsesBackToTheSameDN)
{
    const char* dns[] = {
        "cn=Smith\\, John,ou=people,o=lab",
        "cn=Smith\\2C John,ou=people,o=lab",
        "cn=a\\+b,o=lab",
        "cn=a+sn=b,o=lab",
        "cn=\\#1,o=lab",
        "cn=\\ lead and trail\\ ,o=lab",
        "cn=x\\=y\\;z\\<\\>,o=lab",
        "cn=back\\\\slash,o=lab",
        "cn=\"quoted, value\",o=lab",
        "cn=M\xC3\xBCller,ou=people,o=lab",
        "uid=#04024869,o=lab",
    };
    for (const char* text : dns) {
        arbldap::LDAPDN dn(text);
        ASSERT_GT(dn.GetPartCount(), 0u) << text;
        std::string formatted = FormatDN(dn);
        EXPECT_EQ(arbldap::LDAPDN(formatted), dn) << text << " -> " << formatted;

        CFavoriteList favorites;
        favorites.Add(CFavorite("fav", formatted));
        std::string name;
        EXPECT_TRUE(favorites.FindByValue(dn, name)) << text;
        EXPECT_EQ(name, "fav");
    }
}

// An RDN made from its type and value alone is escaped when formatted.
TEST(FormatDN, ComposesRdnsThatHaveNoText)
{
    arbldap::LDAPDN dn;
    arbldap::LDAPRDN rdn;
    rdn.SetType("cn");
    rdn.SetValue("Smith, John");
    dn.GetParts().push_back(rdn);
    dn.GetParts().push_back(arbldap::LDAPRDN("o=lab", "o", "lab"));
    EXPECT_EQ(FormatDN(dn), "cn=Smith\\, John,o=lab");
    arbldap::LDAPDN back(FormatDN(dn));
    ASSERT_EQ(back.GetPartCount(), 2u);
    EXPECT_EQ(back.GetPart(0).GetValue(), "Smith, John");
}
