// What the entry, value and multiple-selection property pages show, read
// from headless nodes that carry the built-in schema; and the rules of the
// binary value file dialog.

#include <gtest/gtest.h>

#include <memory>

#include "dialogcore/BinFileRules.h"
#include "dialogcore/NodePageTexts.h"
#include "dialogcore/SelectionSummary.h"
#include "tests/model/entries/NodeTestSupport.h"

namespace {

using nodetest::NodeTest;

std::wstring Text(unsigned id)
{
    return modeltest::Text(id);
}

// A node of a chosen kind and size (the summary reads nothing else).
class SizedNode : public modeltest::TestNode {
public:
    SizedNode(int type, uint32_t size) : TestNode(type), m_size(size) {}
    uint32_t GetSize() const override { return m_size; }

private:
    uint32_t m_size;
};

class NodePages : public NodeTest {
protected:
    void SetUp() override
    {
        NodeTest::SetUp();
        m_server = AddServer();
        m_server->SetSchema(GetBuiltInSchema());
    }

    CEntryObject* Entry(const std::string& dn, bool loaded)
    {
        CEntryObject* entry = AddEntry(*m_server, dn, m_server);
        entry->CreateAttributeNodes(Attributes({{"objectClass", "person"}, {"cn", "Ada"}, {"sn", "Lovelace"}}), false);
        entry->CreateAttributeNodes(Attributes({{"creatorsName", "cn=admin,o=lab"},
                                                {"createTimestamp", "20240102030405Z"}}),
                                    true);
        entry->SetChildrenLoaded(loaded);
        return entry;
    }

    CServerObject* m_server = nullptr;
};

TEST_F(NodePages, TheEntryPageShowsWhatTheNodeKnows)
{
    CEntryObject* loaded = Entry("cn=Ada,o=lab", true);
    AddEntry(*loaded, "cn=child,cn=Ada,o=lab", m_server);
    EntryPageTexts texts = ReadEntryPage(*loaded);
    EXPECT_EQ(texts.iconId, 270u);
    EXPECT_EQ(texts.dn, L"cn=Ada,o=lab");
    EXPECT_EQ(texts.size, std::to_wstring(loaded->GetSize()) + L" byte(s)");
    EXPECT_EQ(texts.childEntries, L"1");
    EXPECT_EQ(texts.attributes, L"5") << "three values and the two operational ones the profile shows";
    EXPECT_EQ(texts.url, loaded->GetURL());
    EXPECT_EQ(texts.createdBy, L"cn=admin,o=lab");
    EXPECT_EQ(texts.createdAt, loaded->GetCreateTimestampText());
    EXPECT_EQ(texts.modifiedBy, L"N/A");

    EntryPageTexts unloaded = ReadEntryPage(*Entry("cn=Bob,o=lab", false));
    EXPECT_EQ(unloaded.iconId, 294u);
    EXPECT_EQ(unloaded.size, L"N/A");

    EXPECT_EQ(ReadEntryPage(*Entry("", true)).dn, L"RootDSE");
}

TEST_F(NodePages, TheValuePageAsksTheServersSchemaByTheBaseName)
{
    CEntryObject* entry = Entry("cn=Ada,o=lab", true);
    entry->CreateAttributeNodes(Attributes({{"userCertificate;binary", std::string("\x30\x03\x02\x01\x00", 5)},
                                            {"x-not-in-schema", "?"}}),
                                false);
    struct Case {
        const char* name;
        bool operational;
        unsigned icon;
        const wchar_t* syntaxOid;
        unsigned usage;
        bool flags[kAttributeFlagCount];  // single, user-modifiable, obsolete, collective
    } const cases[] = {
        {"cn", false, 432, L"1.3.6.1.4.1.1466.115.121.1.15", 637, {false, true, false, false}},
        {"userCertificate;binary", false, 436, L"1.3.6.1.4.1.1466.115.121.1.8", 637, {false, true, false, false}},
        // The built-in schema leaves the operational types to the server's.
        {"createTimestamp", true, 434, L"N/A", 636, {false, true, false, false}},
        {"x-not-in-schema", false, 432, L"N/A", 636, {false, true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CAttrObject*> values = Values(*entry, c.name, c.operational);
        ASSERT_EQ(values.size(), 1u);
        AttributePageTexts texts = ReadAttributePage(*values[0]);
        EXPECT_EQ(texts.iconId, c.icon);
        EXPECT_EQ(texts.dn, L"cn=Ada,o=lab");
        EXPECT_EQ(texts.name, Utf8ToWideString(c.name));
        EXPECT_EQ(texts.syntaxOid, c.syntaxOid);
        EXPECT_EQ(texts.syntaxName == L"N/A", std::wstring(c.syntaxOid) == L"N/A");
        EXPECT_EQ(texts.usage, Text(c.usage));
        EXPECT_EQ(texts.size, std::to_wstring(values[0]->GetValue().size()) + L" byte(s)");
        EXPECT_EQ(texts.value, values[0]->GetValueText());
        EXPECT_EQ(texts.type, values[0]->GetTypeName());
        for (int flag = 0; flag < kAttributeFlagCount; ++flag)
            EXPECT_EQ(texts.flags[flag], c.flags[flag]) << "flag " << flag;
    }
    AttributePageTexts rootValue = ReadAttributePage(*Values(*Entry("", true), "cn")[0]);
    EXPECT_EQ(rootValue.dn, L"RootDSE");
}

TEST_F(NodePages, TheSelectionSummaryCountsAndFindsWhatIsCommon)
{
    CEntryObject* top = Entry("o=lab", true);
    CEntryObject* second = Entry("o=other", true);
    CEntryObject* deep = Entry("cn=Ada,ou=people,o=lab", true);
    CEntryObject* unknown = Entry("cn=Bob,ou=people,o=lab", false);
    CServerObject* closed = AddServer();
    CServerObject* opened = AddServer();
    opened->SetChildrenLoaded(true);
    std::vector<CDataObject*> deepValues = {Values(*deep, "cn")[0], Values(*deep, "sn")[0]};

    const std::wstring all = Text(297);
    struct Case {
        const char* what;
        std::vector<CDataObject*> nodes;
        int servers, entries, attributes;
        uint64_t size;
        std::wstring kind;
        std::wstring location;  // empty: no location block
        std::wstring server;
        int opened;
    } const cases[] = {
        {"entries right below the root DSE", {top, second}, 0, 2, 0, uint64_t(top->GetSize()) + second->GetSize(),
         all + Text(301), L"RootDSE", L"ldap : 389", 0},
        {"entries lower down, one of unknown size", {deep, unknown}, 0, 2, 0, deep->GetSize(), all + Text(301),
         L"ou=people,o=lab", L"ldap : 389", 0},
        {"values only", deepValues, 0, 0, 2, 3 + 8, all + Text(299), L"cn=Ada,ou=people,o=lab", L"ldap : 389", 0},
        {"servers only", {m_server, closed, opened}, 3, 0, 0, 0, all + Text(303), L"", L"", 1},
        {"a mix", {top, deepValues[0]}, 0, 1, 1, uint64_t(top->GetSize()) + 3, Text(305), L"", L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SelectionSummary summary(c.nodes);
        EXPECT_EQ(summary.Servers(), c.servers);
        EXPECT_EQ(summary.Entries(), c.entries);
        EXPECT_EQ(summary.Attributes(), c.attributes);
        EXPECT_EQ(summary.TotalSize(), c.size);
        EXPECT_EQ(summary.SizeText(), std::to_wstring(c.size) + L" byte(s)");
        EXPECT_EQ(summary.KindText(), c.kind);
        EXPECT_EQ(summary.OpenedServers(), c.opened);
        if (!c.location.empty()) {
            EXPECT_EQ(summary.LocationText(), c.location);
            EXPECT_EQ(summary.ServerText(), c.server);
        }
        std::wstring counts = Text(295);
        for (int n : {c.servers, c.entries, c.attributes})
            counts.replace(counts.find(L"%d"), 2, std::to_wstring(n));
        EXPECT_EQ(summary.SummaryText(), counts);
    }
}

TEST_F(NodePages, TenThousandRowsAddUpInSixtyFourBits)
{
    std::vector<std::unique_ptr<SizedNode>> owned;
    std::vector<CDataObject*> nodes;
    uint64_t expected = 0;
    for (int i = 0; i < 10000; ++i) {
        const int type = i % 3 == 0 ? kNodeEntry : kNodeAttribute;
        const uint32_t size = i % 7 == 0 ? kSizeUnknown : 3000000000u - static_cast<uint32_t>(i);
        if (size != kSizeUnknown)
            expected += size;
        owned.push_back(std::make_unique<SizedNode>(type, size));
        nodes.push_back(owned.back().get());
    }
    SelectionSummary summary(nodes);
    EXPECT_EQ(summary.Entries(), 3334);
    EXPECT_EQ(summary.Attributes(), 6666);
    EXPECT_EQ(summary.TotalSize(), expected);
    EXPECT_GT(expected, uint64_t(UINT32_MAX));
    EXPECT_EQ(summary.KindText(), Text(305));
}

TEST(BinFileRules, TheLimitControlsFollowFormAndFormat)
{
    using binfile::Form;
    struct Case {
        Form form;
        int format;
        bool checked;
        bool checkEnabled;
        bool limitOn;
    } const cases[] = {
        {Form::Save, binfile::kBase64Text, true, true, true},
        {Form::Save, binfile::kBase64Text, false, true, false},
        {Form::Save, binfile::kRawBytes, true, false, false},
        {Form::Save, binfile::kRawBytes, false, false, false},
        {Form::Load, binfile::kBase64Text, true, false, false},
        {Form::Load, binfile::kRawBytes, true, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(binfile::IsLimitCheckEnabled(c.form, c.format), c.checkEnabled);
        EXPECT_EQ(binfile::IsLimitOn(c.form, c.format, c.checked), c.limitOn);
    }
}

TEST(BinFileRules, OnlyALimitFromOneTo32767IsTaken)
{
    struct Case {
        const wchar_t* text;
        bool taken;
        int limit;
    } const cases[] = {
        {L"76", true, 76}, {L"1", true, 1}, {L"32767", true, 32767}, {L" 64 ", true, 64}, {L"0076", true, 76},
        {L"0", false, 0}, {L"-1", false, 0}, {L"", false, 0}, {L"  ", false, 0}, {L"abc", false, 0},
        {L"7a", false, 0}, {L"32768", false, 0}, {L"99999999999999999999", false, 0}, {L"+5", false, 0},
        {L"1.5", false, 0},
    };
    for (const Case& c : cases) {
        int limit = -7;
        EXPECT_EQ(binfile::ParseLimit(c.text, limit), c.taken) << '"' << std::wstring(c.text).size() << '"';
        EXPECT_EQ(limit, c.taken ? c.limit : -7);
    }
    EXPECT_NE(binfile::LimitRangeMessage().find(L"32767"), std::wstring::npos);
}

} // namespace
