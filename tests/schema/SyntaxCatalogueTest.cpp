#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "schema/SyntaxCatalogue.h"

namespace {

const std::string kRfc = "1.3.6.1.4.1.1466.115.121.1.";

class SyntaxCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitSchemaTables(); }
};

TEST_F(SyntaxCatalogue, HoldsEverySyntaxOnce)
{
    EXPECT_EQ(GetSyntaxTable().size(), 70u);
    for (int n = 1; n <= 58; ++n)
        EXPECT_NE(FindSyntaxInfo(kRfc + std::to_string(n)), nullptr) << n;
}

TEST_F(SyntaxCatalogue, NamesAndFlagsOfSampleRows)
{
    struct Row {
        std::string oid;
        const char* name;
        bool humanReadable;
    };
    const Row rows[] = {
        {kRfc + "1", "ACI Item", false},
        {kRfc + "2", "Access Point", true},
        {kRfc + "12", "DN", true},
        {kRfc + "15", "Directory String", true},
        {kRfc + "28", "JPEG", false},
        {kRfc + "40", "Octet String", true},
        {kRfc + "58", "Substring Assertion", true},
        {"1.3.6.1.1.1.0.0", "RFC2307 NIS Netgroup Triple", true},
        {"1.3.6.1.1.1.0.1", "RFC2307 Boot Parameter", true},
        {"1.3.6.1.4.1.4203.666.2.1", "OpenLDAP Experimental ACI", true},
        {"1.3.6.1.4.1.4203.666.2.2", "OpenLDAP authPassword", true},
        {"1.3.6.1.4.1.4203.1.1.1", "OpenLDAP void", true},
        {"1.2.840.113556.1.4.906", "Large integer (a.k.a. INTEGER8)", true},
        {"1.2.840.113556.1.4.905", "Case-ignore string (teletex)", true},
        {"1.2.840.113556.1.4.1362", "Case-sensitive string (a.k.a. case-exact string)", true},
        {"1.2.840.113556.1.4.907", "Windows NT security descriptor", false},
        {"1.2.840.113556.1.4.903", "DN with binary (a.k.a. DN with octet string)", true},
        {"1.2.840.113556.1.4.904", "DN with Unicode string", true},
        {"1.2.840.113556.1.4.1221", "OR name", true},
    };
    for (const Row& r : rows) {
        const SyntaxInfo* info = FindSyntaxInfo(r.oid);
        ASSERT_NE(info, nullptr) << r.oid;
        EXPECT_EQ(info->GetName(), r.name) << r.oid;
        EXPECT_EQ(info->IsHumanReadable(), r.humanReadable) << r.oid;
    }
}

TEST_F(SyntaxCatalogue, ExactlyTenSyntaxesAreBinary)
{
    std::set<std::string> binary;
    for (const auto& row : GetSyntaxTable())
        if (!row.second.IsHumanReadable())
            binary.insert(row.second.GetName());
    EXPECT_EQ(binary, (std::set<std::string>{"ACI Item", "Audio", "Binary", "Certificate", "Certificate List",
                                             "Certificate Pair", "Fax", "JPEG", "Supported Algorithm",
                                             "Windows NT security descriptor"}));
}

TEST_F(SyntaxCatalogue, LookupIsByExactOidText)
{
    for (const std::string& oid : {kRfc + "15{64}", kRfc + "15 ", kRfc + "0", kRfc + "59", std::string(""),
                                   std::string("1.3.6.1.4.1.1466.115.121.1"), std::string("DirectoryString")})
        EXPECT_EQ(FindSyntaxInfo(oid), nullptr) << oid;
}

TEST_F(SyntaxCatalogue, DefaultEntryIsTextWithoutName)
{
    SyntaxInfo info;
    EXPECT_TRUE(info.IsHumanReadable());
    EXPECT_EQ(info.GetName(), "");
}

TEST_F(SyntaxCatalogue, OperationalAttributesInAnyCase)
{
    EXPECT_EQ(GetOperationalSyntaxTable().size(), 34u);
    for (const char* name : {"createTimestamp", "CREATETIMESTAMP", "createtimestamp", "cReAtEtImEsTaMp",
                             "objectClass", "krb5Key", "name", "distinguishedName"})
        EXPECT_TRUE(IsOperationalAttribute(name)) << name;
    for (const char* name : {"cn", "", "createTimestamp ", "+", "createTimestamps"})
        EXPECT_FALSE(IsOperationalAttribute(name)) << name;
}

TEST_F(SyntaxCatalogue, OperationalAttributeSyntaxes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"modifyTimestamp", "Generalized Time"},
        {"MODIFIERSNAME", "DN"},
        {"attributeTypes", "Attribute Type Description"},
        {"objectclasses", "Object Class Description"},
        {"matchingRules", "Matching Rule Description"},
        {"matchingRuleUse", "Matching Rule Use Description"},
        {"altServer", "IA5 String"},
        {"supportedControl", "OID"},
        {"supportedSASLMechanisms", "Directory String"},
        {"supportedLDAPVersion", "INTEGER"},
        {"ldapSyntaxes", "LDAP Syntax Description"},
        {"dITStructureRules", "DIT Structure Rule Description"},
        {"nameForms", "Name Form Description"},
        {"userPKCS12", "Binary"},
        {"cACertificate", "Certificate"},
        {"deltaRevocationList", "Certificate List"},
        {"crossCertificatePair", "Certificate Pair"},
        {"personalSignature", "Fax"},
        {"jpegphoto", "JPEG"},
        {"supportedAlgorithms", "Supported Algorithm"},
    };
    for (const auto& c : cases) {
        const SyntaxInfo* info = GetOperationalAttributeSyntax(c.first);
        ASSERT_NE(info, nullptr) << c.first;
        EXPECT_EQ(info->GetName(), c.second) << c.first;
    }
    EXPECT_EQ(GetOperationalAttributeSyntax("cn"), nullptr);
    // Every syntax the table names is in the catalogue.
    for (const auto& row : GetOperationalSyntaxTable())
        EXPECT_NE(FindSyntaxInfo(row.second), nullptr) << row.first;
}

TEST_F(SyntaxCatalogue, OperationalAttributeNamesInOrder)
{
    const std::vector<std::string> expected = {
        "+", "createTimestamp", "modifyTimestamp", "creatorsName", "modifiersName", "subschemaSubentry",
        "attributeTypes", "objectClasses", "matchingRules", "matchingRuleUse", "namingContexts", "altServer",
        "supportedExtension", "supportedControl", "supportedSASLMechanisms", "supportedLDAPVersion"};
    const StringList& names = GetOperationalAttributeNames();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()), expected);
}

TEST_F(SyntaxCatalogue, InitialisingAgainChangesNothing)
{
    InitSchemaTables();
    std::thread other([] { InitSchemaTables(); });
    other.join();
    EXPECT_EQ(GetOperationalAttributeNames().GetCount(), 16u);
    EXPECT_EQ(GetSyntaxTable().size(), 70u);
    // The fill steps replace rows rather than add them.
    FillSyntaxTable();
    FillOperationalSyntaxes();
    EXPECT_EQ(GetSyntaxTable().size(), 70u);
    EXPECT_EQ(GetOperationalSyntaxTable().size(), 34u);
}

} // namespace
