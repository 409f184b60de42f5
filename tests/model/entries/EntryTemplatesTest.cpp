// Entry templates in the settings store: the order of a group, what makes a
// template unreadable, unique names, and what a save and a load keep.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Utf8.h"
#include "model/templates/CEntryTemplateGroup.h"
#include "model/profiles/ProfileKeys.h"
#include "model/templates/TemplateKeys.h"
#include "platform/CStdRegistry.h"
#include "schema/SchemaCache.h"
#include "schema/SyntaxCatalogue.h"
#include "tests/model/nodes/ModelTestSupport.h"
#include "tests/support/TempHome.h"

namespace {

using platform::RegRoot;

const std::wstring kGroup = std::wstring(kProfilesKey) + L"{00000000-1111-2222-3333-444444444444}\\Templates\\";

std::vector<std::wstring> Names(const CEntryTemplateGroup& group)
{
    std::vector<std::wstring> names;
    for (const auto& entryTemplate : group.GetTemplates())
        names.push_back(entryTemplate->GetName());
    return names;
}

std::vector<std::wstring> SubKeys(const std::wstring& path)
{
    CStdRegistry key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> names;
    if (key.Open(path))
        key.ReadSubKeys(names);
    return names;
}

// A template key written by hand: RDNType (unless empty) and attributes
// given as name, whether "Must" is written, and values.
struct StoredAttribute {
    std::wstring name;
    bool hasMust;
    std::vector<std::string> values;
};

void WriteTemplateKey(const std::wstring& keyName, const std::wstring& rdnType,
                      const std::vector<StoredAttribute>& attributes)
{
    CStdRegistry key(RegRoot::CurrentUser, false);
    const std::wstring path = kGroup + keyName;
    ASSERT_TRUE(key.CreateKey(path));
    if (!rdnType.empty())
        key.Write(L"RDNType", rdnType);
    key.Write(L"Description", std::wstring(L"stored by hand"));
    for (const StoredAttribute& attribute : attributes) {
        CStdRegistry sub(RegRoot::CurrentUser, false);
        ASSERT_TRUE(sub.CreateKey(path + L"\\" + attribute.name));
        if (attribute.hasMust)
            sub.Write(L"Must", uint32_t(1));
        for (size_t i = 0; i < attribute.values.size(); ++i)
            sub.Write(L"val" + std::to_wstring(i), attribute.values[i]);
    }
}

class EntryTemplates : public testsupport::TempHomeTest {
protected:
    modeltest::ModelUi ui;
};

TEST_F(EntryTemplates, GroupLoadsTheTemplatesInSavedOrderAndSkipsBareKeys)
{
    WriteTemplateKey(L"00001B", L"cn", {{L"cn", true, {"b"}}});
    WriteTemplateKey(L"00000A", L"ou", {{L"ou", true, {"a"}}});
    WriteTemplateKey(L"00002", L"cn", {{L"cn", true, {"no name"}}});

    CEntryTemplateGroup group(L"server", kGroup);
    EXPECT_EQ(Names(group), (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_EQ(group.GetTemplates()[0]->GetRDNType(), L"ou");
    EXPECT_EQ(group.GetTemplates()[0]->GetDescription(), L"stored by hand");
}

TEST_F(EntryTemplates, TemplatesWithoutRdnTypeOrWithoutAnyMustDoNotLoad)
{
    WriteTemplateKey(L"00000NoType", L"", {{L"cn", true, {"x"}}});
    WriteTemplateKey(L"00001NoMust", L"cn", {{L"cn", false, {"x"}}, {L"sn", false, {"y"}}});
    WriteTemplateKey(L"00002Partly", L"cn", {{L"cn", true, {"x"}}, {L"sn", false, {"y"}}});

    CEntryTemplateGroup group(L"server", kGroup);
    ASSERT_EQ(Names(group), (std::vector<std::wstring>{L"Partly"}));
    const CEntryTemplate::AttributeList& attributes = group.GetTemplates()[0]->GetAttributes();
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes.front().GetName(), "cn");
}

TEST_F(EntryTemplates, AddedNamesAreMadeUniqueIgnoringCaseAndTheUserIsTold)
{
    CEntryTemplateGroup group(L"server", kGroup);
    group.AddTemplate(std::make_unique<CEntryTemplate>(L"Person", L"cn"), true, false);
    group.AddTemplate(std::make_unique<CEntryTemplate>(L"Person1", L"cn"), true, false);
    EXPECT_TRUE(ui.Shell().MessageBox().asked.empty());

    CEntryTemplate* added = group.AddTemplate(std::make_unique<CEntryTemplate>(L"person", L"cn"), true, false);
    EXPECT_EQ(added->GetName(), L"person2");
    ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    const std::wstring& told = ui.Shell().MessageBox().asked[0].text;
    EXPECT_NE(told.find(L"person"), std::wstring::npos);
    EXPECT_NE(told.find(L"person2"), std::wstring::npos);

    group.AddTemplate(std::make_unique<CEntryTemplate>(L"PERSON", L"cn"), false, false);
    EXPECT_EQ(Names(group), (std::vector<std::wstring>{L"Person", L"Person1", L"person2", L"PERSON3"}));
    EXPECT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
}

TEST_F(EntryTemplates, SaveAndLoadKeepEveryTemplateWhateverItsName)
{
    CEntryTemplateGroup group(L"server", kGroup);
    auto person = std::make_unique<CEntryTemplate>(L"Staff\\Person", L"cn", L"people of the lab");
    person->AddAttribute("objectClass", "inetOrgPerson", true);
    person->AddAttribute("cn", true);
    StringList photo;
    photo.Add(std::string("\xFF\xD8\x00\x01", 4));
    photo.Add("second");
    person->AddAttribute("jpegPhoto;binary", photo, false);
    group.AddTemplate(std::move(person), false, false);
    auto unit = std::make_unique<CEntryTemplate>(L"Unit/Dept \\ 2", L"ou");
    unit->AddAttribute("ou", "dept", true);
    group.AddTemplate(std::move(unit), false, false);
    ASSERT_TRUE(group.SaveAll());

    // One key per template directly below the group, no nested ones.
    EXPECT_EQ(SubKeys(kGroup).size(), 2u);

    CEntryTemplateGroup loaded(L"server", kGroup);
    ASSERT_EQ(Names(loaded), Names(group));
    for (size_t i = 0; i < group.GetTemplates().size(); ++i) {
        const CEntryTemplate& saved = *group.GetTemplates()[i];
        const CEntryTemplate& read = *loaded.GetTemplates()[i];
        EXPECT_EQ(read.GetRDNType(), saved.GetRDNType());
        EXPECT_EQ(read.GetDescription(), saved.GetDescription());
        ASSERT_EQ(read.GetAttributes().size(), saved.GetAttributes().size()) << WideToUtf8Text(saved.GetName());
        for (const CEntryTemplateAttribute& attribute : saved.GetAttributes()) {
            const CEntryTemplateAttribute* found = nullptr;
            for (const CEntryTemplateAttribute& candidate : read.GetAttributes())
                if (candidate.GetName() == attribute.GetName())
                    found = &candidate;
            ASSERT_NE(found, nullptr) << attribute.GetName();
            EXPECT_EQ(found->GetMust(), attribute.GetMust());
            EXPECT_EQ(StringList(found->GetValues()), StringList(attribute.GetValues()));
        }
    }
}

TEST_F(EntryTemplates, EmptyValuesAreNotReadBackAndStaleValuesDoNotReturn)
{
    CEntryTemplateGroup group(L"server", kGroup);
    auto entryTemplate = std::make_unique<CEntryTemplate>(L"Device", L"cn");
    StringList values;
    values.Add("first");
    values.Add("");
    values.Add("third");
    entryTemplate->AddAttribute("description", values, true);
    CEntryTemplate* added = group.AddTemplate(std::move(entryTemplate), false, true);

    CEntryTemplateGroup loaded(L"server", kGroup);
    ASSERT_EQ(loaded.GetTemplates().size(), 1u);
    StringList expected;
    expected.Add("first");
    expected.Add("third");
    EXPECT_EQ(StringList(loaded.GetTemplates()[0]->GetAttributes().front().GetValues()), expected);

    // Saved again with fewer values: the old ones stay gone.
    StringList one;
    one.Add("only");
    ASSERT_TRUE(added->SetAttributeValues("DESCRIPTION", one));
    ASSERT_TRUE(added->Save(kGroup, 0));
    loaded.Load(kGroup);
    ASSERT_EQ(loaded.GetTemplates().size(), 1u);
    EXPECT_EQ(StringList(loaded.GetTemplates()[0]->GetAttributes().front().GetValues()), one);
}

TEST_F(EntryTemplates, RemovingDeletesTheKeysAskedFor)
{
    CEntryTemplateGroup group(L"server", kGroup);
    for (const wchar_t* name : {L"One", L"Two", L"Three"}) {
        auto entryTemplate = std::make_unique<CEntryTemplate>(name, L"cn");
        entryTemplate->AddAttribute("cn", true);
        group.AddTemplate(std::move(entryTemplate), false, true);
    }
    CEntryTemplate* two = group.GetTemplates()[1].get();
    CEntryTemplateAttribute* cn = two->FindAttribute("CN");
    ASSERT_NE(cn, nullptr);
    std::unique_ptr<CEntryTemplate> removed = group.RemoveTemplate(two, true);
    ASSERT_EQ(removed.get(), two);
    EXPECT_EQ(SubKeys(kGroup), (std::vector<std::wstring>{L"00000One", L"00002Three"}));
    group.SwapTemplates(1, 2);
    EXPECT_EQ(Names(group), (std::vector<std::wstring>{L"Three", L"One"}));
    group.SaveAll();
    EXPECT_EQ(SubKeys(kGroup), (std::vector<std::wstring>{L"00000Three", L"00001One"}));
    EXPECT_EQ(group.RemoveTemplate(removed.get(), true), nullptr);
}

TEST_F(EntryTemplates, TemplateFromAnEntryMarksWhatItsClassesRequire)
{
    InitSchemaTables();
    arbldap::LDAPEntry entry("cn=Ada,o=lab");
    entry.GetAttributes().AddValue("objectClass", "person");
    entry.GetAttributes().AddValue("cn", "Ada");
    entry.GetAttributes().AddValue("sn", "Lovelace");
    entry.GetAttributes().AddValue("description", "first programmer");
    RefPtr<CLDAPSchema> schema = GetBuiltInSchema();
    ASSERT_TRUE(schema);
    CEntryTemplate entryTemplate(entry, schema.get(), L"Person", L"cn", L"");
    StringList must;
    entryTemplate.GetMustAttributes(must);
    StringList expected;
    expected.Add("cn");
    expected.Add("sn");
    EXPECT_EQ(must, expected);
    EXPECT_EQ(entryTemplate.GetAttributes().size(), 4u);
}

TEST_F(EntryTemplates, TheCommonGroupLivesBelowTheProfilesKey)
{
    const std::wstring common = std::wstring(kProfilesKey) + kCommonTemplatesKey;
    {
        CEntryTemplateGroup group(L"common", common);
        auto entryTemplate = std::make_unique<CEntryTemplate>(L"Shared", L"cn");
        entryTemplate->AddAttribute("cn", true);
        group.AddTemplate(std::move(entryTemplate), false, true);
    }
    LoadGlobalTemplates();
    EXPECT_EQ(Names(GetGlobalTemplates()), (std::vector<std::wstring>{L"Shared"}));
    StringList names;
    GetGlobalTemplates().GetTemplateNames(names, true);
    ASSERT_EQ(names.GetCount(), 1u);
    EXPECT_EQ(names.Back(), "Shared" + WideToUtf8Text(LoadResourceText(614)));
    GetGlobalTemplates().Load(std::wstring());
}

}  // namespace
