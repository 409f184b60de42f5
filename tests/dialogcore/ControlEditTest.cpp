#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogcore/AttributeNameRows.h"
#include "dialogcore/ControlListEdit.h"
#include "dialogcore/ControlOid.h"

using arbldap::LDAPControl;
using arbldap::LDAPControlList;
using dialogcore::OidCheck;

TEST(ControlOid, ValidationTable)
{
    const struct {
        std::string oid;
        OidCheck check;
    } cases[] = {
        {"1.2.840.113556.1.4.319", OidCheck::Ok},
        {"2.16.840.1.113730.3.4.2", OidCheck::Ok},
        {"1", OidCheck::Ok},
        {"", OidCheck::Empty},
        {".", OidCheck::EmptyArc},
        {"..", OidCheck::EmptyArc},
        {"1..2", OidCheck::EmptyArc},
        {".1.2", OidCheck::EmptyArc},
        {"1.2.", OidCheck::EmptyArc},
        {"1.2a", OidCheck::BadChar},
        {"1.2 .3", OidCheck::BadChar},
        {" 1.2", OidCheck::BadChar},
        {"1,2", OidCheck::BadChar},
        {"pagedResults", OidCheck::BadChar},
        {"1.\xC2\xB2", OidCheck::BadChar},  // a superscript two is no digit
        {"-1.2", OidCheck::BadChar},
    };
    for (const auto& c : cases) EXPECT_EQ(dialogcore::CheckOid(c.oid), c.check) << '"' << c.oid << '"';
}

TEST(ControlOid, AllowedCharactersCountCodePoints)
{
    using dialogcore::FindDisallowedChar;
    EXPECT_EQ(FindDisallowedChar("", "123"), std::string::npos);
    EXPECT_EQ(FindDisallowedChar("3.21", "123."), std::string::npos);
    EXPECT_EQ(FindDisallowedChar("12x", "123"), 2u);
    // Position in characters, not bytes; a character of the allowed set may be beyond ASCII.
    EXPECT_EQ(FindDisallowedChar("\xC3\xA9\xC3\xA9z", "\xC3\xA9"), 2u);
    // A broken byte is refused, not skipped.
    EXPECT_EQ(FindDisallowedChar("1\xFF", "1"), 1u);
}

TEST(ControlList, ValuePreviewShowsAtMostEightBytes)
{
    using dialogcore::ControlValuePreview;
    EXPECT_EQ(ControlValuePreview(""), "");
    EXPECT_EQ(ControlValuePreview(std::string("\x00\xAB", 2)), "00 AB ");
    EXPECT_EQ(ControlValuePreview("0123456789"), "30 31 32 33 34 35 36 37 ");
}

TEST(ControlList, AddingAListedOidOverwritesItInPlace)
{
    LDAPControlList list;
    list.Add(LDAPControl("1.2.3", false, std::string(), false));
    list.Add(LDAPControl("1.2.4", false, std::string(), true));

    auto r = dialogcore::MergeControl(list, LDAPControl("1.2.3", true, std::string("\x30\x00", 2), true));
    EXPECT_FALSE(r.added);
    EXPECT_EQ(r.index, 0u);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.GetAt(0), LDAPControl("1.2.3", true, std::string("\x30\x00", 2), true));

    // Exact comparison: a longer OID with the same start is another control.
    r = dialogcore::MergeControl(list, LDAPControl("1.2.30", false, std::string(), true));
    EXPECT_TRUE(r.added);
    EXPECT_EQ(r.index, 2u);
    EXPECT_EQ(list.GetAt(2).GetOID(), "1.2.30");
}

TEST(AttributeNameRows, BlankRowsAreDroppedAndTheRestTrimmed)
{
    StringList names = dialogcore::AttributeNamesFromRows({" cn ", "", "   ", "\tmail", "objectClass"});
    std::vector<std::string> got(names.Begin(), names.End());
    EXPECT_EQ(got, (std::vector<std::string>{"cn", "mail", "objectClass"}));
    EXPECT_FALSE(dialogcore::KeepEditedLabel(L"<new attribute>", L"<new attribute>"));
    EXPECT_TRUE(dialogcore::KeepEditedLabel(L"sn", L"<new attribute>"));
}
