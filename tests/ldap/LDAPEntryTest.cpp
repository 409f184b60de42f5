#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "ldap/LDAPEntry.h"
#include "ldap/LDAPEntryList.h"

using namespace arbldap;

namespace {

typedef std::vector<std::string> Values;

Values Items(const StringList& l) { return {l.begin(), l.end()}; }

LDAPAttribute Attr(const std::string& name, const Values& values)
{
    StringList l;
    for (const auto& s : values) l.Add(s);
    return LDAPAttribute(name, l);
}

LDAPAttributeList* NewList(std::initializer_list<LDAPAttribute> attributes)
{
    auto l = std::make_unique<LDAPAttributeList>();
    for (const auto& a : attributes) l->Add(a);
    return l.release();
}

TEST(LDAPEntry, OwnsItsList)
{
    LDAPEntry empty("o=lab");
    EXPECT_EQ(empty.GetDN(), "o=lab");
    EXPECT_TRUE(empty.GetAttributes().IsEmpty());

    LDAPAttributeList* list = NewList({Attr("cn", {"Ann"})});
    LDAPEntry e("cn=Ann,o=lab", list);
    EXPECT_EQ(&e.GetAttributes(), list);

    e.SetAttributes(NewList({Attr("sn", {"S"})}));  // the old list goes
    EXPECT_EQ(e.GetAttributes().Begin()->GetName(), "sn");
    e.SetAttributes(&e.GetAttributes());  // its own list: nothing happens
    EXPECT_EQ(e.GetAttributes().GetCount(), 1u);
    e.SetAttributes(e.GetAttributes());  // a copy of its own list
    EXPECT_EQ(e.GetAttributes().Begin()->GetName(), "sn");
    e.SetAttributes(nullptr);
    EXPECT_TRUE(e.GetAttributes().IsEmpty());

    LDAPAttributeList outside;
    outside.AddValue("mail", "a@b");
    e.SetAttributes(outside);
    outside.AddValue("mail", "c@d");
    EXPECT_EQ(e.GetAttributes().Begin()->GetValueCount(), 1u);

    e.SetDN("cn=Bob,o=lab");
    EXPECT_EQ(e.GetDN(), "cn=Bob,o=lab");
}

TEST(LDAPEntry, CopiesAreDeep)
{
    LDAPEntry e("cn=Ann,o=lab", NewList({Attr("cn", {"Ann"})}));
    LDAPEntry copy(e);
    copy.GetAttributes().AddValue("cn", "Anna");
    EXPECT_EQ(e.GetAttributes().Begin()->GetValueCount(), 1u);
    EXPECT_NE(&copy.GetAttributes(), &e.GetAttributes());

    LDAPEntry assigned("x");
    assigned = copy;
    assigned = assigned;
    EXPECT_EQ(assigned.GetDN(), "cn=Ann,o=lab");
    EXPECT_EQ(assigned.GetAttributes(), copy.GetAttributes());
    EXPECT_NE(&assigned.GetAttributes(), &copy.GetAttributes());
}

TEST(LDAPEntry, GetObjectClasses)
{
    struct Case {
        std::string name;
        bool found;
    } cases[] = {
        {"objectClass", true},
        {"objectclass", true},
        {"OBJECTCLASS", true},
        {"objectClass;x", false},
        {"objectClasses", false},
        {"structuralObjectClass", false},
        {std::string("objectClass\0x", 13), false},
    };
    for (const Case& c : cases) {
        LDAPEntry e("o=lab", NewList({Attr("cn", {"top"}), Attr(c.name, {"top", "person"})}));
        EXPECT_EQ(Items(e.GetObjectClasses()), (c.found ? Values{"top", "person"} : Values{})) << c.name.c_str();
    }

    LDAPEntry first("o=lab", NewList({Attr("objectClass", {"a"}), Attr("OBJECTCLASS", {"b"})}));
    EXPECT_EQ(Items(first.GetObjectClasses()), Values{"a"});

    // Entries without the attribute share one empty list.
    EXPECT_EQ(&LDAPEntry("a").GetObjectClasses(), &LDAPEntry("b").GetObjectClasses());
}

TEST(LDAPEntry, GetValuesSize)
{
    EXPECT_EQ(LDAPEntry("o=lab").GetValuesSize(), 0u);
    LDAPEntry e("o=lab", NewList({Attr("cn", {"Ann", ""}), Attr("photo", {std::string("\0\xFF\0", 3)}),
                                  Attr("empty", {})}));
    EXPECT_EQ(e.GetValuesSize(), 6u);
}

TEST(LDAPEntry, Dump)
{
    LDAPEntry e("cn=M\xC3\xBCller,o=lab", NewList({Attr("cn", {"M\xC3\xBCller"}), Attr("photo", {"\xFF"})}));
    std::wostringstream os;
    e.Dump(os);
    EXPECT_EQ(os.str(), L"DN: cn=M\u00FCller,o=lab: cn\n   M\u00FCller\n; photo\nNOT_PRINTABLE; ");
    std::wostringstream bare;
    LDAPEntry("o=lab").Dump(bare);
    EXPECT_EQ(bare.str(), L"DN: o=lab: ");
}

// Search results move their entries in; what is left behind must still be
// an entry (no DN, no attributes), not a crash.
TEST(LDAPEntry, MovedFromEntryStaysUsable)
{
    LDAPEntry e("cn=a", NewList({Attr("objectClass", {"top"}), Attr("cn", {"a"})}));
    LDAPEntryList list;
    list.Add(std::move(e));
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.Begin()->GetDN(), "cn=a");
    EXPECT_EQ(Items(list.Begin()->GetObjectClasses()), Values{"top"});

    const LDAPEntry& left = e;
    EXPECT_EQ(left.GetDN(), "");
    EXPECT_TRUE(left.GetAttributes().IsEmpty());
    EXPECT_EQ(left.GetObjectClasses().GetCount(), 0u);
    EXPECT_EQ(left.GetValuesSize(), 0u);
    EXPECT_TRUE(LDAPEntry(left).GetAttributes().IsEmpty());
    std::wostringstream os;
    left.Dump(os);
    EXPECT_EQ(os.str(), L"DN: : ");
    e.GetAttributes().AddValue("sn", "b");
    EXPECT_EQ(e.GetAttributes().GetCount(), 1u);

    LDAPEntry assigned("cn=x");
    assigned = std::move(*list.Begin());
    EXPECT_EQ(assigned.GetAttributes().GetCount(), 2u);
    EXPECT_TRUE(list.Begin()->GetAttributes().IsEmpty());
}

TEST(LDAPEntryList, AddsDeepCopiesInOrder)
{
    LDAPEntryList l;
    EXPECT_TRUE(l.IsEmpty());
    LDAPEntry a("cn=a", NewList({Attr("cn", {"a"})}));
    l.Add(a);
    l.Add(LDAPEntry("cn=b"));
    a.GetAttributes().Clear();
    ASSERT_EQ(l.GetCount(), 2u);
    EXPECT_EQ(l.Begin()->GetDN(), "cn=a");
    EXPECT_EQ(l.Begin()->GetAttributes().GetCount(), 1u);
    std::vector<std::string> dns;
    for (const LDAPEntry& e : l) dns.push_back(e.GetDN());
    EXPECT_EQ(dns, (std::vector<std::string>{"cn=a", "cn=b"}));

    LDAPEntryList copy(l);
    l.Clear();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(copy.GetCount(), 2u);
    EXPECT_EQ(std::next(copy.Begin()), std::prev(copy.End()));
}

} // namespace
