// LDIF records as text: which strings are written plain, base64 folding,
// the layout of header, version line and records.

#include <gtest/gtest.h>
#include "tests/support/ExportFiles.h"

#include <cstdlib>

#include "base/Base64.h"
#include "dialogcore/LdifRecordWriter.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"

namespace {

TEST(LdifRecordWriter, SafeStrings)
{
    struct Case {
        std::string bytes;
        bool safe;
    };
    const Case cases[] = {
        {"", true},
        {"abc", true},
        {" leading", false},
        {":colon", false},
        {"<less", false},
        {"trailing ", false},
        {"in side", true},
        {"a:b<c", true},
        {std::string("nul\0", 4), false},
        {"cr\r", false},
        {"lf\nx", false},
        {"\x0e" "first", false},
        {"later\x0e", true},
        {"\x1f" "first", false},
        {"\x01" "first", true},
        {"\x0b\x0c", true},
        {"Jos\xc3\xa9", false},
        {"\x7f", true},
        {"\x80", false},
        {"=first", true},
        {";first", true},
        {std::string(1000, 'a'), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LdifRecordWriter::IsSafeString(c.bytes), c.safe) << testsupport::Base64(c.bytes);
}

TEST(LdifRecordWriter, Base64IsFoldedAt76Characters)
{
    struct Case {
        const char* what;
        std::string value;
        std::string line;
    };
    const std::string v57 = " " + std::string(56, 'x');
    const std::string v58 = " " + std::string(57, 'y');
    const Case cases[] = {
        {"plain", "abc", "n: abc\n"},
        {"empty", "", "n: \n"},
        {"57 bytes: 76 characters on one line", v57, "n:: " + testsupport::Base64(v57) + "\n"},
        {"58 bytes: 80 characters, a second line of a space and 4", v58,
         "n:: " + testsupport::Base64(v58).substr(0, 76) + "\n " + testsupport::Base64(v58).substr(76) + "\n"},
        {"1000 plain characters on one line", std::string(1000, 'q'), "n: " + std::string(1000, 'q') + "\n"},
    };
    for (const Case& c : cases) {
        LdifRecordWriter writer(LdifLineEnd::Lf, "dn");
        writer.AppendAttribute("n", c.value);
        EXPECT_EQ(writer.Take(), c.line) << c.what;
    }
    EXPECT_EQ(testsupport::Base64(v57).size(), 76u);
    EXPECT_EQ(testsupport::Base64(v58).size(), 80u);

    const std::string long300(300, '\xff');
    LdifRecordWriter writer(LdifLineEnd::CrLf, "dn");
    writer.AppendAttribute("jpegPhoto", long300);
    const std::string text = writer.Take();
    const std::string b = testsupport::Base64(long300);
    std::string expected = "jpegPhoto:: " + b.substr(0, 76) + "\r\n";
    for (size_t at = 76; at < b.size(); at += 76) expected += " " + b.substr(at, 76) + "\r\n";
    EXPECT_EQ(text, expected);
}

TEST(LdifRecordWriter, LayoutOfHeaderVersionAndRecords)
{
    for (LdifLineEnd lineEnd : {LdifLineEnd::Lf, LdifLineEnd::CrLf}) {
        const std::string e = lineEnd == LdifLineEnd::Lf ? "\n" : "\r\n";
        LdifRecordWriter writer(lineEnd, "dn");
        writer.AppendHeader("# one\n# two\n");
        writer.AppendVersion();
        auto* first = new arbldap::LDAPAttributeList;
        first->AddValue("cn", "a");
        first->AddValue("cn", " b");
        writer.AppendEntry(arbldap::LDAPEntry("cn=a,o=lab", first));
        auto* second = new arbldap::LDAPAttributeList;
        second->AddValue("cn", "Jos\xc3\xa9");
        writer.AppendEntry(arbldap::LDAPEntry("cn=Jos\xc3\xa9,o=lab", second));
        writer.AppendEntry(arbldap::LDAPEntry("cn=line1\nline2,o=lab"));
        EXPECT_EQ(writer.Take(), "# one" + e + "# two" + e + "version: 1" + e + "dn: cn=a,o=lab" + e + "cn: a" + e +
                                     "cn:: " + testsupport::Base64(" b") + e + e + "dn:: " + testsupport::Base64("cn=Jos\xc3\xa9,o=lab") + e +
                                     "cn:: " + testsupport::Base64("Jos\xc3\xa9") + e + e + "dn:: " + testsupport::Base64("cn=line1\nline2,o=lab") +
                                     e);
        EXPECT_EQ(writer.GetRecordCount(), 3u);
    }
}

} // namespace
