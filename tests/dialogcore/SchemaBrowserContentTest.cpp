// What the schema browser shows of a schema, without a window: offered
// kinds, the General summary, element labels and detail lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/SchemaBrowserContent.h"

namespace {

std::vector<std::string> Texts(const std::vector<SchemaTreeItem>& items)
{
    std::vector<std::string> out;
    for (const SchemaTreeItem& i : items) out.push_back(WideToUtf8Text(i.text));
    return out;
}

const SchemaTreeItem* Find(const std::vector<SchemaTreeItem>& items, const std::string& text)
{
    for (const SchemaTreeItem& i : items)
        if (WideToUtf8Text(i.text) == text) return &i;
    return nullptr;
}

CSchemaContent MakeContent()
{
    CSchemaContent c;
    const char* const attributes[] = {
        "( 2.5.4.41 NAME 'name' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )",
        "( 2.5.4.3 NAME ( 'cn' 'commonName' ) DESC 'common name' SUP name X-ORIGIN ( 'RFC 4519' 'RFC 2256' ) X-A 'b' )",
        "( 1.2.3.4 SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 SINGLE-VALUE NO-USER-MODIFICATION USAGE distributedOperation )",
        "( 1.2.3.5 NAME 'Zeta' OBSOLETE COLLECTIVE SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )",
    };
    for (const char* a : attributes) EXPECT_TRUE(c.AddDefinition(SchemaElementKind::AttributeType, a)) << a;
    EXPECT_TRUE(c.AddDefinition(SchemaElementKind::ObjectClass,
                                "( 9.9.1 NAME 'both' SUP ( top $ person ) AUXILIARY MAY ( a $ b ) )"));
    EXPECT_TRUE(c.AddDefinition(SchemaElementKind::ObjectClass, "( 2.5.6.6 NAME 'person' SUP top MUST ( sn $ cn ) )"));
    EXPECT_TRUE(c.AddDefinition(SchemaElementKind::MatchingRuleUse, "( 2.5.13.2 APPLIES ( cn $ sn ) )"));
    c.RootInfo().subschemaDN = "cn=Subschema";
    return c;
}

TEST(SchemaBrowserContent, OnlyKindsWithElementsAreOffered)
{
    CSchemaContent c = MakeContent();
    std::vector<std::string> names;
    for (const SchemaKindChoice& k : SchemaKindChoices(c, true)) names.push_back(WideToUtf8Text(k.name));
    EXPECT_EQ(names, (std::vector<std::string>{"General", "Attribute Types", "Object Classes", "Matching Rule Use"}));
    EXPECT_EQ(SchemaKindChoices(c, false).size(), 1u);
}

TEST(SchemaBrowserContent, GeneralSummaryByLoadState)
{
    CSchemaContent c = MakeContent();
    const std::wstring title = L"Schema Information";
    struct Case {
        int state;
        const char* status;
        bool group;
    };
    const Case cases[] = {
        {kSchemaFetchInProgress, "Schema fetch in progress...", false},
        {kSchemaFetchFailed, "Schema fetch failed", true},
        {kSchemaDefaultUsed, "Default schema was used", true},
        {kSchemaLoaded, "Schema loaded", true},
        {7, "Unknown status", true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.status);
        std::vector<SchemaTreeItem> items = SchemaGeneralItems(k.state, c, 20261210184734, title);
        ASSERT_EQ(items.size(), k.group ? 3u : 2u);
        EXPECT_EQ(Texts(items)[0], "Schema DN: cn=Subschema");
        EXPECT_EQ(Texts(items)[1], std::string("Schema status: ") + k.status);
        if (!k.group) continue;
        EXPECT_TRUE(items[2].IsGroup());
        EXPECT_EQ(Texts(items[2].children),
                  (std::vector<std::string>{"Timestamp: Thursday, December 10, 2026 18:47:34", "AttributeTypes: 4",
                                            "ObjectClasses: 2", "MatchingRuleUses: 1"}));
    }
    // A stamp that does not read as a time shows the number.
    EXPECT_EQ(SchemaTimestampText(0), L"0");
    EXPECT_EQ(SchemaTimestampText(12345), L"12345");
}

TEST(SchemaBrowserContent, LabelsByNameOrOidSortedIgnoringCase)
{
    CSchemaContent c = MakeContent();
    std::vector<std::string> byName, byOid;
    for (const auto& l : SchemaElementLabels(c, kBrowseAttributeTypes, true)) byName.push_back(WideToUtf8Text(l.label));
    for (const auto& l : SchemaElementLabels(c, kBrowseAttributeTypes, false)) byOid.push_back(WideToUtf8Text(l.label));
    // Without a NAME the OID stands in, even in names mode.
    EXPECT_EQ(byName, (std::vector<std::string>{"1.2.3.4", "cn", "name", "Zeta"}));
    EXPECT_EQ(byOid, (std::vector<std::string>{"1.2.3.4", "1.2.3.5", "2.5.4.3", "2.5.4.41"}));
    EXPECT_TRUE(SchemaElementLabels(c, kBrowseGeneral, true).empty());
}

TEST(SchemaBrowserContent, DetailLinesOfEachKind)
{
    CSchemaContent c = MakeContent();
    auto details = [&](int kind, const char* oid, bool namesMode = true) {
        return SchemaElementDetails(c, kind, oid, namesMode, L"Yes", L"No");
    };

    std::vector<SchemaTreeItem> cn = details(kBrowseAttributeTypes, "2.5.4.3");
    EXPECT_EQ(Texts(cn), (std::vector<std::string>{"Names", "OID: 2.5.4.3", "Description: common name", "Extentions",
                                                   "Obsolete: No", "Superior: name", "Single value: No",
                                                   "Collective: No", "Read only: No", "Usage: User Application"}));
    EXPECT_EQ(Texts(cn[0].children), (std::vector<std::string>{"cn", "commonName"}));
    // Extensions in name order, each a group of its values.
    ASSERT_EQ(cn[3].children.size(), 2u);
    EXPECT_EQ(Texts(cn[3].children), (std::vector<std::string>{"X-A", "X-ORIGIN"}));
    EXPECT_EQ(Texts(cn[3].children[1].children), (std::vector<std::string>{"RFC 4519", "RFC 2256"}));
    // By OID: no OID line.
    EXPECT_EQ(Find(details(kBrowseAttributeTypes, "2.5.4.3", false), "OID: 2.5.4.3"), nullptr);

    std::vector<SchemaTreeItem> unnamed = details(kBrowseAttributeTypes, "1.2.3.4");
    EXPECT_EQ(Texts(unnamed), (std::vector<std::string>{"OID: 1.2.3.4", "Description: ", "Obsolete: No",
                                                        "Syntax OID: 1.3.6.1.4.1.1466.115.121.1.27",
                                                        "Single value: Yes", "Collective: No", "Read only: Yes",
                                                        "Usage: Distributed Operation"}));
    EXPECT_NE(Find(details(kBrowseAttributeTypes, "2.5.4.41"), "Max. attribute value length: 32768"), nullptr);
    std::vector<SchemaTreeItem> zeta = details(kBrowseAttributeTypes, "1.2.3.5");
    EXPECT_NE(Find(zeta, "Name: Zeta"), nullptr);
    EXPECT_NE(Find(zeta, "Obsolete: Yes"), nullptr);
    EXPECT_NE(Find(zeta, "Collective: Yes"), nullptr);

    std::vector<SchemaTreeItem> both = details(kBrowseObjectClasses, "9.9.1");
    EXPECT_EQ(Texts(both), (std::vector<std::string>{"Name: both", "OID: 9.9.1", "Description: ", "Obsolete: No",
                                                     "Superiors", "Kind: Auxiliary", "May"}));
    EXPECT_EQ(Texts(both[4].children), (std::vector<std::string>{"top", "person"}));
    std::vector<SchemaTreeItem> person = details(kBrowseObjectClasses, "2.5.6.6");
    EXPECT_NE(Find(person, "Superior: top"), nullptr);
    EXPECT_NE(Find(person, "Kind: Structural"), nullptr);
    EXPECT_NE(Find(person, "Must"), nullptr);
    EXPECT_EQ(Find(person, "May"), nullptr);

    std::vector<SchemaTreeItem> use = details(kBrowseMatchingRuleUse, "2.5.13.2");
    EXPECT_EQ(Texts(use), (std::vector<std::string>{"OID: 2.5.13.2", "Description: ", "Obsolete: No", "Applies OIDs"}));
    EXPECT_EQ(Texts(use[3].children), (std::vector<std::string>{"cn", "sn"}));

    EXPECT_TRUE(details(kBrowseAttributeTypes, "9.9.9").empty());
    EXPECT_TRUE(details(kBrowseGeneral, "2.5.4.3").empty());
}

} // namespace
