// Our parser and printer on every definition of the real slapd's subschema
// (core, cosine, inetOrgPerson and nis loaded).

#include <gtest/gtest.h>

#include "tests/schema/SubschemaRoundTrip.h"
#include "tests/schema/live/LiveSchemaSupport.h"

using namespace arbldap;

namespace {

using namespace liveschema;

std::vector<std::string> Values(LDAPSyncConnection& connection, const char* attribute)
{
    StringList values = ReadValues(connection, "cn=Subschema", "(objectClass=subschema)", attribute);
    return std::vector<std::string>(values.begin(), values.end());
}

testsupport::SubschemaDefinitions FetchSubschema()
{
    RefPtr<LDAPSyncConnection> connection = Connect(testsupport::SlapdServer::Main().Port());
    testsupport::SubschemaDefinitions defs;
    defs.origin = "the subschema entry of the test server";
    defs.attributeTypes = Values(*connection, "attributeTypes");
    defs.objectClasses = Values(*connection, "objectClasses");
    defs.matchingRules = Values(*connection, "matchingRules");
    defs.matchingRuleUse = Values(*connection, "matchingRuleUse");
    defs.ldapSyntaxes = Values(*connection, "ldapSyntaxes");
    return defs;
}

TEST(LiveSubschema, EveryDefinitionRoundTrips)
{
    testsupport::SubschemaDefinitions defs = FetchSubschema();
    // Not vacuous: the four schema files and slapd's own definitions are there.
    EXPECT_GT(defs.attributeTypes.size(), 100u);
    EXPECT_GT(defs.objectClasses.size(), 30u);
    EXPECT_GT(defs.matchingRules.size(), 20u);
    EXPECT_GT(defs.matchingRuleUse.size(), 20u);
    EXPECT_GT(defs.ldapSyntaxes.size(), 20u);
    auto has = [](const std::vector<std::string>& texts, const char* part) {
        for (const std::string& t : texts)
            if (t.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has(defs.objectClasses, "NAME 'inetOrgPerson'"));
    EXPECT_TRUE(has(defs.objectClasses, "NAME 'posixAccount'"));
    EXPECT_TRUE(has(defs.attributeTypes, "NAME ( 'cn' 'commonName' )"));

    schematest::ExpectSubschemaRoundTrips(defs);
}

TEST(LiveSubschema, OurParserAgreesWithTheClientLibrary)
{
    schematest::ExpectAgreementWithClientLibrary(FetchSubschema());
}

} // namespace
