#include <gtest/gtest.h>

#include <ldap.h>

#include <sstream>
#include <vector>

#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPModificationList.h"
#include "base/Archive.h"

using namespace arbldap;

namespace {

typedef std::vector<std::string> Values;

// The bytes of a literal, embedded zeros included.
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}


Values Items(const StringList& l) { return {l.begin(), l.end()}; }

LDAPAttribute Attr(const std::string& name, const Values& values)
{
    StringList l;
    for (const auto& s : values) l.Add(s);
    return LDAPAttribute(name, l);
}

struct ModView {
    int op;
    std::string type;
    Values values;
    bool operator==(const ModView& o) const { return op == o.op && type == o.type && values == o.values; }
};

std::ostream& operator<<(std::ostream& os, const ModView& m)
{
    os << "{0x" << std::hex << m.op << std::dec << ", " << m.type << ", " << m.values.size() << " values}";
    return os;
}

// What the library would read from a NULL-terminated LDAPMod array.
std::vector<ModView> View(LDAPMod** array)
{
    std::vector<ModView> out;
    for (LDAPMod** p = array; *p; ++p) {
        ModView m{(*p)->mod_op, (*p)->mod_type, {}};
        for (berval** b = (*p)->mod_bvalues; b && *b; ++b)
            m.values.emplace_back((*b)->bv_val, (*b)->bv_len);
        out.push_back(m);
    }
    return out;
}

TEST(LDAPAttributeList, AddValueMatchesNamesExactly)
{
    LDAPAttributeList l;
    l.AddValue("cn", "a");
    l.AddValue("CN", "b");
    l.AddValue("cn", "c");
    l.AddValue("cn;lang-en", "d");
    ASSERT_EQ(l.GetCount(), 3u);
    auto it = l.Begin();
    EXPECT_EQ(it->GetName(), "cn");
    EXPECT_EQ(Items(it->GetValues()), (Values{"a", "c"}));
    ++it;
    EXPECT_EQ(it->GetName(), "CN");
    EXPECT_EQ(Items(it->GetValues()), Values{"b"});
    ++it;
    EXPECT_EQ(it->GetName(), "cn;lang-en");
}

TEST(LDAPAttributeList, CopyIsDeepAndKeepsOrder)
{
    LDAPAttributeList l;
    l.Add(Attr("sn", {"x"}));
    LDAPAttribute cn = Attr("cn", {"y"});
    l.Add(cn);
    LDAPAttributeList copy(l);
    copy.AddValue("sn", "z");
    EXPECT_EQ(l.Begin()->GetValueCount(), 1u);
    EXPECT_EQ(copy.Begin()->GetValueCount(), 2u);
    EXPECT_EQ(std::next(copy.Begin())->GetName(), "cn");
    EXPECT_NE(copy, l);
    copy.Clear();
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(LDAPAttributeList, ToLDAPModArray)
{
    LDAPMod** empty = LDAPAttributeList().ToLDAPModArray();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], nullptr);
    LDAPModificationList::FreeLDAPModArray(empty);

    LDAPAttributeList l;
    l.Add(Attr("objectClass", {"top", "person"}));
    l.Add(Attr("jpegPhoto", {std::string("\xFF\xD8\0", 3)}));
    l.Add(Attr("description", {}));
    LDAPMod** array = l.ToLDAPModArray();
    EXPECT_EQ(View(array), (std::vector<ModView>{
                               {0x80, "objectClass", {"top", "person"}},
                               {0x80, "jpegPhoto", {std::string("\xFF\xD8\0", 3)}},
                               {0x80, "description", {}},
                           }));
    LDAPModificationList::FreeLDAPModArray(array);
}

TEST(LDAPModificationList, ToLDAPModArrayInOrder)
{
    LDAPModificationList::FreeLDAPModArray(nullptr);
    LDAPModificationList l;
    LDAPMod** empty = l.ToLDAPModArray();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], nullptr);
    LDAPModificationList::FreeLDAPModArray(empty);

    l.Add(LDAPModification(Attr("mail", {"a@b", "c@d"}), LDAP_MOD_REPLACE));
    l.Add(LDAPModification(Attr("cn", {"old"}), LDAP_MOD_DELETE));
    l.Add(LDAPModification(Attr("cn", {"new"}), LDAP_MOD_ADD));
    l.Add(LDAPModification(Attr("seeAlso", {}), LDAP_MOD_DELETE));
    LDAPModificationList copy(l);
    l.Clear();
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(copy.GetCount(), 4u);

    LDAPMod** array = copy.ToLDAPModArray();
    EXPECT_EQ(View(array), (std::vector<ModView>{
                               {0x82, "mail", {"a@b", "c@d"}},
                               {0x81, "cn", {"old"}},
                               {0x80, "cn", {"new"}},
                               {0x81, "seeAlso", {}},
                           }));
    LDAPModificationList::FreeLDAPModArray(array);
}

TEST(LDAPAttributeList, Dump)
{
    LDAPAttributeList l;
    l.Add(Attr("cn", {"Ann"}));
    l.Add(Attr("photo", {std::string("\0", 1)}));
    std::wostringstream os;
    DumpAttributeList(os, l);
    EXPECT_EQ(os.str(), L"cn\n   Ann\n; photo\nNOT_PRINTABLE; ");
    std::wostringstream none;
    DumpAttributeList(none, LDAPAttributeList());
    EXPECT_EQ(none.str(), L"");
}

const std::string kTwoAttributes = Bytes("\x02\0\0\0"
                                         "\x02\0\0\0" "cn" "\x01\0\0\0" "\x03\0\0\0" "Ann"
                                         "\x01\0\0\0" "x" "\x00\0\0\0");

TEST(LDAPAttributeList, ArchiveFixedBytesAndRoundTrip)
{
    LDAPAttributeList l;
    l.Add(Attr("cn", {"Ann"}));
    l.Add(Attr("x", {}));
    CArchive out;
    WriteAttributeList(out, l);
    EXPECT_EQ(out.GetBuffer(), kTwoAttributes);

    CArchive in(kTwoAttributes);
    LDAPAttributeList back;
    back.Add(Attr("old", {"v"}));  // reading replaces the contents
    ReadAttributeList(in, back);
    EXPECT_EQ(back, l);
    EXPECT_EQ(in.Remaining(), 0u);

    CArchive emptyOut;
    WriteAttributeList(emptyOut, LDAPAttributeList());
    EXPECT_EQ(emptyOut.GetBuffer(), Bytes("\0\0\0\0"));
}

TEST(LDAPAttributeList, DamagedArchivesFailCleanly)
{
    std::vector<std::string> damaged = {
        Bytes("\xFF\xFF\xFF\xFF"),                                // huge count, nothing behind
        Bytes("\xFF\xFF\xFF\x0F") + std::string(64, '\0'),        // huge count, some bytes behind
        Bytes("\x01\0\0\0" "\xFF\xFF\xFF\xFF" "\0\0\0\0"),      // name longer than the archive
        Bytes("\x01\0\0\0" "\x01\0\0\0" "x" "\xFF\xFF\xFF\xFF"),  // huge value count
    };
    for (size_t n = 0; n < kTwoAttributes.size(); ++n)
        damaged.push_back(kTwoAttributes.substr(0, n));  // every truncation
    for (const std::string& bytes : damaged) {
        CArchive in(bytes);
        LDAPAttributeList l;
        EXPECT_THROW(ReadAttributeList(in, l), CArchiveException) << bytes.size();
        EXPECT_LE(l.GetCount(), 1u);
    }
}

} // namespace
