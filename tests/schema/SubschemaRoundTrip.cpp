#include "tests/schema/SubschemaRoundTrip.h"

#include <ldap.h>

#include <ldap_schema.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "schema/SchemaDescriptions.h"
#include "tests/schema/SchemaTestHelpers.h"

namespace schematest {

namespace {

void ExpectAll(Kind kind, const std::vector<std::string>& texts, const std::string& origin)
{
    for (const std::string& t : texts)
        EXPECT_EQ(RoundTripFailure(kind, t.c_str()), "") << KindName(kind) << " from " << origin << ": " << t;
}

// The library keeps \27 and \5C in quoted strings as written; we read them
// as a quote and a backslash.
std::string Decoded(const char* s)
{
    std::string out;
    for (; *s; ++s) {
        if (s[0] == '\\' && s[1] == '2' && s[2] == '7') {
            out += '\'';
            s += 2;
        } else if (s[0] == '\\' && s[1] == '5' && (s[2] == 'C' || s[2] == 'c')) {
            out += '\\';
            s += 2;
        } else {
            out += *s;
        }
    }
    return out;
}

// MUST and MAY items are bare words, which keep every backslash.
SchemaStrings Strings(char** array, bool decode = true)
{
    SchemaStrings out;
    for (char** p = array; p && *p; ++p)
        out.push_back(decode ? Decoded(*p) : std::string(*p));
    return out;
}

std::optional<std::string> Text(const char* s)
{
    if (!s)
        return std::nullopt;
    return Decoded(s);
}

SchemaExtensionItems Extensions(LDAPSchemaExtensionItem** items)
{
    SchemaExtensionItems out;
    for (LDAPSchemaExtensionItem** p = items; p && *p; ++p)
        out.push_back({(*p)->lsei_name, Strings((*p)->lsei_values)});
    return out;
}

// Ours against the library's, field by field; SCOPED_TRACE names the text.
void CompareBase(const SchemaDescriptionBase& ours, const char* oid, char** names, const char* desc,
                 LDAPSchemaExtensionItem** extensions)
{
    EXPECT_EQ(ours.oid, Text(oid));
    EXPECT_EQ(ours.names, Strings(names));
    EXPECT_EQ(ours.desc, Text(desc));
    EXPECT_EQ(ours.extensions, Extensions(extensions));
}

void CompareAttributeType(const std::string& text, const std::string& origin)
{
    SCOPED_TRACE("attribute type from " + origin + ": " + text);
    int code = 0;
    const char* err = nullptr;
    LDAPAttributeType* lib = ldap_str2attributetype(text.c_str(), &code, &err, LDAP_SCHEMA_ALLOW_ALL);
    auto ours = ParseAttributeTypeDescription(text.c_str(), &code, &err, kSchemaAllowAll);
    ASSERT_TRUE(ours);
    ASSERT_TRUE(lib);
    CompareBase(*ours, lib->at_oid, lib->at_names, lib->at_desc, lib->at_extensions);
    EXPECT_EQ(ours->obsolete, lib->at_obsolete != 0);
    EXPECT_EQ(ours->sup, Text(lib->at_sup_oid));
    EXPECT_EQ(ours->equality, Text(lib->at_equality_oid));
    EXPECT_EQ(ours->ordering, Text(lib->at_ordering_oid));
    EXPECT_EQ(ours->substr, Text(lib->at_substr_oid));
    EXPECT_EQ(ours->syntax, Text(lib->at_syntax_oid));
    EXPECT_EQ(ours->syntaxLength, lib->at_syntax_len);
    EXPECT_EQ(ours->singleValue, lib->at_single_value != 0);
    EXPECT_EQ(ours->collective, lib->at_collective != 0);
    EXPECT_EQ(ours->noUserModification, lib->at_no_user_mod != 0);
    EXPECT_EQ(ours->usage, lib->at_usage);
    ldap_attributetype_free(lib);
}

void CompareObjectClass(const std::string& text, const std::string& origin)
{
    SCOPED_TRACE("object class from " + origin + ": " + text);
    int code = 0;
    const char* err = nullptr;
    LDAPObjectClass* lib = ldap_str2objectclass(text.c_str(), &code, &err, LDAP_SCHEMA_ALLOW_ALL);
    auto ours = ParseObjectClassDescription(text.c_str(), &code, &err, kSchemaAllowAll);
    ASSERT_TRUE(ours);
    ASSERT_TRUE(lib);
    CompareBase(*ours, lib->oc_oid, lib->oc_names, lib->oc_desc, lib->oc_extensions);
    EXPECT_EQ(ours->obsolete, lib->oc_obsolete != 0);
    EXPECT_EQ(ours->sup, Strings(lib->oc_sup_oids));
    EXPECT_EQ(ours->kind, lib->oc_kind);
    EXPECT_EQ(ours->must, Strings(lib->oc_at_oids_must, false));
    EXPECT_EQ(ours->may, Strings(lib->oc_at_oids_may, false));
    ldap_objectclass_free(lib);
}

void CompareMatchingRule(const std::string& text, const std::string& origin)
{
    SCOPED_TRACE("matching rule from " + origin + ": " + text);
    int code = 0;
    const char* err = nullptr;
    LDAPMatchingRule* lib = ldap_str2matchingrule(text.c_str(), &code, &err, LDAP_SCHEMA_ALLOW_ALL);
    auto ours = ParseMatchingRuleDescription(text.c_str(), &code, &err, kSchemaAllowAll);
    ASSERT_TRUE(ours);
    ASSERT_TRUE(lib);
    CompareBase(*ours, lib->mr_oid, lib->mr_names, lib->mr_desc, lib->mr_extensions);
    EXPECT_EQ(ours->obsolete, lib->mr_obsolete != 0);
    EXPECT_EQ(ours->syntax, Text(lib->mr_syntax_oid));
    ldap_matchingrule_free(lib);
}

void CompareMatchingRuleUse(const std::string& text, const std::string& origin)
{
    SCOPED_TRACE("matching rule use from " + origin + ": " + text);
    int code = 0;
    const char* err = nullptr;
    LDAPMatchingRuleUse* lib = ldap_str2matchingruleuse(text.c_str(), &code, &err, LDAP_SCHEMA_ALLOW_ALL);
    auto ours = ParseMatchingRuleUseDescription(text.c_str(), &code, &err, kSchemaAllowAll);
    ASSERT_TRUE(ours);
    ASSERT_TRUE(lib);
    CompareBase(*ours, lib->mru_oid, lib->mru_names, lib->mru_desc, lib->mru_extensions);
    EXPECT_EQ(ours->obsolete, lib->mru_obsolete != 0);
    EXPECT_EQ(ours->applies, Strings(lib->mru_applies_oids));
    ldap_matchingruleuse_free(lib);
}

void CompareSyntax(const std::string& text, const std::string& origin)
{
    SCOPED_TRACE("syntax from " + origin + ": " + text);
    int code = 0;
    const char* err = nullptr;
    LDAPSyntax* lib = ldap_str2syntax(text.c_str(), &code, &err, LDAP_SCHEMA_ALLOW_ALL);
    auto ours = ParseSyntaxDescription(text.c_str(), &code, &err);
    ASSERT_TRUE(ours);
    ASSERT_TRUE(lib);
    CompareBase(*ours, lib->syn_oid, lib->syn_names, lib->syn_desc, lib->syn_extensions);
    ldap_syntax_free(lib);
}

} // namespace

void ExpectSubschemaRoundTrips(const testsupport::SubschemaDefinitions& defs)
{
    ExpectAll(Kind::AttributeType, defs.attributeTypes, defs.origin);
    ExpectAll(Kind::ObjectClass, defs.objectClasses, defs.origin);
    ExpectAll(Kind::MatchingRule, defs.matchingRules, defs.origin);
    ExpectAll(Kind::MatchingRuleUse, defs.matchingRuleUse, defs.origin);
    ExpectAll(Kind::Syntax, defs.ldapSyntaxes, defs.origin);
}

void ExpectAgreementWithClientLibrary(const testsupport::SubschemaDefinitions& defs)
{
    for (const std::string& t : defs.attributeTypes)
        CompareAttributeType(t, defs.origin);
    for (const std::string& t : defs.objectClasses)
        CompareObjectClass(t, defs.origin);
    for (const std::string& t : defs.matchingRules)
        CompareMatchingRule(t, defs.origin);
    for (const std::string& t : defs.matchingRuleUse)
        CompareMatchingRuleUse(t, defs.origin);
    for (const std::string& t : defs.ldapSyntaxes)
        CompareSyntax(t, defs.origin);
}

} // namespace schematest
