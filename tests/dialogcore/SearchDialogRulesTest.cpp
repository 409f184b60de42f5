// The search dialog's rules without a window: attribute texts to columns,
// cells of found entries, the base a text names and the drop-down fills.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/CSearchDlgThread.h"
#include "dialogcore/SearchDialogRules.h"
#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"

namespace {

typedef std::vector<std::wstring> Texts;

TEST(SearchDialogRules, AttributeTextsGiveTrimmedNamesWithoutEmpties)
{
    struct Case {
        const wchar_t* text;
        Texts names;
    };
    const Case cases[] = {
        {L"", {}},
        {L" ", {}},
        {L",,", {}},
        {L"cn", {L"cn"}},
        {L" cn , mail ,", {L"cn", L"mail"}},
        {L"a,,b", {L"a", L"b"}},
        {L"\tcn\t,  sn , givenName", {L"cn", L"sn", L"givenName"}},
        {L"Müller,ö", {L"Müller", L"ö"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(SplitAttributeNames(c.text), c.names);
        StringList request = AttributeNamesToRequest(c.text);
        EXPECT_EQ(request.GetCount(), c.names.size());
    }
    StringList utf8 = AttributeNamesToRequest(L" Müller ");
    ASSERT_EQ(utf8.GetCount(), 1u);
    EXPECT_EQ(*utf8.begin(), "M\xC3\xBCller");
}

TEST(SearchDialogRules, ColumnsHeadersKeysAndWidths)
{
    struct Case {
        const wchar_t* text;
        int clientWidth;
        Texts headers;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {L"", 500, {L"DN"}, {500}},
        {L" cn , mail ,", 500, {L"DN", L"cn", L"mail"}, {166, 166, 168}},
        {L"a,,b", 301, {L"DN", L"a", L"b"}, {100, 100, 101}},
        {L"cn,sn,mail", 400, {L"DN", L"cn", L"sn", L"mail"}, {100, 100, 100, 100}},
        {L"cn", 0, {L"DN", L"cn"}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        SearchColumns columns(SplitAttributeNames(c.text));
        EXPECT_EQ(columns.GetHeaders(), c.headers);
        EXPECT_EQ(columns.Widths(c.clientWidth), c.widths);
    }

    SearchColumns columns(SplitAttributeNames(L"CN, telephoneNumber"));
    struct Lookup {
        const wchar_t* name;
        int column;
    };
    const Lookup lookups[] = {
        // "DN" is the first column's key, but names are looked up lower-case.
        {L"DN", -1}, {L"cn", 1}, {L" Cn ", 1}, {L"TELEPHONENUMBER", 2}, {L"mail", -1}, {L"", -1}, {L"dn", -1},
    };
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(l.name)));
        EXPECT_EQ(columns.Find(std::wstring(l.name)), l.column);
    }
    // Names as the server sends them (UTF-8) find the same columns.
    SearchColumns utf8Columns(SplitAttributeNames(L"cn,Müller,cn,mail"));
    struct Utf8Lookup {
        const char* name;
        int column;
    };
    const Utf8Lookup utf8Lookups[] = {
        {"CN", 3}, {" cn\t", 3}, {"c n", -1}, {"M\xC3\xBCller", 2}, {"MAIL", 4}, {"DN", -1}, {"", -1}, {"  ", -1},
    };
    for (const Utf8Lookup& l : utf8Lookups) {
        SCOPED_TRACE(l.name);
        EXPECT_EQ(utf8Columns.Find(std::string(l.name)), l.column);
        EXPECT_EQ(utf8Columns.Find(std::string(l.name)), utf8Columns.Find(Utf8ToWideString(l.name)));
    }
}

TEST(SearchDialogRules, CellsJoinValuesAndHideBytesThatAreNotText)
{
    const std::wstring notPrintable = L"<binary>";
    struct Case {
        const char* what;
        StringList values;
        std::wstring cell;
    };
    StringList several;
    several.Add("one");
    several.Add("two");
    several.Add("three");
    StringList utf8;
    utf8.Add("M\xC3\xBCller");
    utf8.Add("\xE6\x97\xA5\xE6\x9C\xAC");
    StringList bytes;
    bytes.Add("text");
    bytes.Add(std::string("\x01\x02\xFF\x00", 4));
    StringList multiLine;
    multiLine.Add("first line\nsecond line");
    const Case cases[] = {
        {"several values", several, L"one, two, three"},
        {"UTF-8", utf8, L"Müller, 日本"},
        {"bytes that are not text", bytes, notPrintable},
        {"multi-line text stays text", multiLine, L"first line\nsecond line"},
        {"no values", StringList(), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SearchCellText(arbldap::LDAPAttribute("name", c.values), notPrintable), c.cell);
    }
}

TEST(SearchDialogRules, RowsPutEachAttributeInItsColumn)
{
    auto* attributes = new arbldap::LDAPAttributeList;
    attributes->AddValue("mail", "a@example.org");
    attributes->AddValue("mail", "b@example.org");
    attributes->AddValue("objectClass", "person");
    attributes->AddValue("CN", "Smith, John");
    arbldap::LDAPEntry entry("cn=Smith\\, John, ou=people,o=lab", attributes);
    SearchColumns columns(SplitAttributeNames(L"cn,mail,sn"));
    SearchRow row = CSearchDlgThread::MakeRow(entry, columns, L"-");
    EXPECT_EQ(row.dn, "cn=Smith\\, John, ou=people,o=lab");
    EXPECT_EQ(row.cells, (Texts{L"cn=Smith\\, John,ou=people,o=lab", L"Smith, John", L"a@example.org, b@example.org",
                                L""}));
}

TEST(SearchDialogRules, RootDSEIsTheEmptyDNInExactCase)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* base;
    };
    const Case cases[] = {
        {L"RootDSE", L""}, {L"rootdse", L"rootdse"}, {L"ROOTDSE", L"ROOTDSE"}, {L" RootDSE", L" RootDSE"},
        {L"", L""},        {L"o=lab", L"o=lab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(SearchBaseFromText(c.text), c.base);
    }
    EXPECT_EQ(SearchBaseText(L""), L"RootDSE");
    EXPECT_EQ(SearchBaseText(L"o=lab"), L"o=lab");
}

TEST(SearchDialogRules, DropDownsKeepTheirTextsAndAddNewRecentOnes)
{
    struct Case {
        const char* what;
        Texts current;
        Texts recent;
        Texts filled;
    };
    const Case cases[] = {
        {"empty", {}, {}, {}},
        {"recent only", {}, {L"b", L"a"}, {L"b", L"a"}},
        {"exact match only", {L"a"}, {L"A", L"a", L"b"}, {L"a", L"A", L"b"}},
        {"duplicates in recent", {}, {L"x", L"x"}, {L"x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FillDropDownTexts(c.current, c.recent), c.filled);
    }
}

TEST(SearchDialogRules, TheSinkTellsOnlyWhenItWasEmpty)
{
    SearchRowSink sink;
    std::vector<SearchRow> first(2), second(3);
    EXPECT_TRUE(sink.Add(std::move(first)));
    EXPECT_FALSE(sink.Add(std::move(second)));
    EXPECT_EQ(sink.Take().size(), 5u);
    EXPECT_TRUE(sink.Take().empty());
    EXPECT_TRUE(sink.Add(std::vector<SearchRow>(1)));
}

} // namespace
