#include <gtest/gtest.h>

#include <ldap.h>

#include <clocale>
#include <functional>
#include <sstream>
#include <vector>

#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPModification.h"
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

StringList Of(const Values& items)
{
    StringList l;
    for (const auto& s : items) l.Add(s);
    return l;
}

LDAPAttribute Attr(const std::string& name, const Values& values) { return LDAPAttribute(name, Of(values)); }

const std::string kBinary = Bytes("\x00\xFF\x01\x00\x7F");
const std::string kJpegHeader = Bytes("\xFF\xD8\xFF\xE0\x00\x10" "JFIF");

// Values of a NULL-terminated berval array, exactly as the library would read them.
Values BerValues(berval** array)
{
    Values out;
    for (berval** p = array; p && *p; ++p)
        out.emplace_back((*p)->bv_val, (*p)->bv_len);
    return out;
}

TEST(LDAPAttribute, GetBaseName)
{
    struct Case {
        const char* name;
        const char* base;
    } cases[] = {
        {"userCertificate;binary", "userCertificate"},
        {"cn", "cn"},
        {"cn;lang-de;phonetic", "cn"},
        {";binary", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        LDAPAttribute a(c.name, "v");
        EXPECT_EQ(a.GetBaseName(), c.base) << c.name;
        EXPECT_EQ(a.GetName(), c.name);  // options stay in the name
    }
}

TEST(LDAPAttribute, Constructors)
{
    EXPECT_EQ(LDAPAttribute().GetName(), "");
    EXPECT_EQ(LDAPAttribute().GetValueCount(), 0u);

    LDAPAttribute one("mail", kBinary);
    EXPECT_EQ(Items(one.GetValues()), Values{kBinary});

    LDAPAttribute list("cn", Of({"a", "b"}));
    EXPECT_EQ(Items(list.GetValues()), (Values{"a", "b"}));

    const char* texts[] = {"x", "", "z", nullptr};
    LDAPAttribute fromTexts("sn", const_cast<char**>(texts));
    EXPECT_EQ(Items(fromTexts.GetValues()), (Values{"x", "", "z"}));
    EXPECT_EQ(LDAPAttribute("sn", static_cast<char**>(nullptr)).GetValueCount(), 0u);
    EXPECT_EQ(LDAPAttribute("sn", static_cast<berval**>(nullptr)).GetValueCount(), 0u);

    LDAPAttribute copy(list);
    copy.AddValue("c");
    EXPECT_EQ(list.GetValueCount(), 2u);
    EXPECT_EQ(copy.GetValueCount(), 3u);
}

TEST(LDAPAttribute, BerValArrayConstructorKeepsBytesExactly)
{
    std::string jpeg = kJpegHeader;
    std::string bin = kBinary;
    berval bvJpeg{jpeg.size(), &jpeg[0]};
    berval bvBin{bin.size(), &bin[0]};
    berval bvEmpty{0, nullptr};
    berval* array[] = {&bvJpeg, &bvBin, &bvEmpty, nullptr};

    LDAPAttribute a("jpegPhoto", array);
    EXPECT_EQ(a.GetName(), "jpegPhoto");
    EXPECT_EQ(Items(a.GetValues()), (Values{kJpegHeader, kBinary, ""}));
}

TEST(LDAPAttribute, BerValueSetters)
{
    std::string v1 = kBinary, v2 = "two";
    berval b1{v1.size(), &v1[0]}, b2{v2.size(), &v2[0]};
    berval* both[] = {&b1, &b2, nullptr};

    LDAPAttribute a("x", "old");
    EXPECT_EQ(a.AddBerValue(nullptr), -1);
    EXPECT_EQ(Items(a.GetValues()), Values{"old"});
    EXPECT_EQ(a.AddBerValue(&b2), 0);
    EXPECT_EQ(Items(a.GetValues()), (Values{"old", "two"}));

    EXPECT_EQ(a.SetBerValues(nullptr), 0);  // null changes nothing
    EXPECT_EQ(a.GetValueCount(), 2u);
    EXPECT_EQ(a.SetBerValues(both), 0);
    EXPECT_EQ(Items(a.GetValues()), (Values{kBinary, "two"}));

    berval* withNull[] = {&b2, nullptr};
    berval broken{3, nullptr};  // a length without bytes is refused
    berval* withBroken[] = {&b2, &broken, nullptr};
    EXPECT_EQ(a.SetBerValues(withNull), 0);
    EXPECT_EQ(a.SetBerValues(withBroken), -1);
    EXPECT_EQ(Items(a.GetValues()), Values{"two"});
}

TEST(LDAPAttribute, TextSetters)
{
    LDAPAttribute a("x", "old");
    EXPECT_EQ(a.SetValues(static_cast<char**>(nullptr)), 0);
    EXPECT_EQ(Items(a.GetValues()), Values{"old"});
    const char* texts[] = {"p", "q", nullptr};
    EXPECT_EQ(a.SetValues(const_cast<char**>(texts)), 0);
    EXPECT_EQ(Items(a.GetValues()), (Values{"p", "q"}));
    EXPECT_EQ(a.SetValues(Of({"r"})), 0);
    EXPECT_EQ(Items(a.GetValues()), Values{"r"});
    a.SetName("cn;x");
    EXPECT_EQ(a.GetBaseName(), "cn");
}

TEST(LDAPAttribute, ToBerValArrayCopiesBytesAndAddsAZero)
{
    EXPECT_EQ(LDAPAttribute().ToBerValArray(), nullptr);
    LDAPAttribute::FreeBerValArray(nullptr);

    LDAPAttribute a = Attr("userCertificate;binary", {kBinary, "", kJpegHeader});
    berval** array = a.ToBerValArray();
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(BerValues(array), (Values{kBinary, "", kJpegHeader}));
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(array[i]->bv_val, nullptr);
        EXPECT_EQ(array[i]->bv_val[array[i]->bv_len], '\0');
    }
    EXPECT_EQ(array[3], nullptr);
    // The copies are the array's own.
    EXPECT_NE(static_cast<const void*>(array[0]->bv_val), static_cast<const void*>(a.GetValues().begin()->data()));
    LDAPAttribute::FreeBerValArray(array);
}

TEST(LDAPAttribute, ToLDAPModIsABinaryAdd)
{
    LDAPAttribute a = Attr("cn;lang-en", {"Ann", kBinary});
    LDAPMod* mod = a.ToLDAPMod();
    ASSERT_NE(mod, nullptr);
    EXPECT_EQ(mod->mod_op, 0x80);
    EXPECT_STREQ(mod->mod_type, "cn;lang-en");
    EXPECT_EQ(BerValues(mod->mod_bvalues), (Values{"Ann", kBinary}));
    LDAPAttribute::FreeLDAPMod(mod);
    LDAPAttribute::FreeLDAPMod(nullptr);

    LDAPMod* noValues = LDAPAttribute("description", Of({})).ToLDAPMod();
    EXPECT_EQ(noValues->mod_bvalues, nullptr);
    LDAPAttribute::FreeLDAPMod(noValues);
}

// A copy shares its attribute's bytes until one of them changes; whichever
// changes first or later, each keeps its own values.
TEST(LDAPAttribute, CopiesChangeApart)
{
    // Each change takes a short text, so that it fits the room left after
    // "one" and "two", where a shared buffer must not be written.
    typedef std::function<void(LDAPAttribute&, const std::string&)> Step;
    Step add = [](LDAPAttribute& a, const std::string& v) { a.AddValue(v); };
    Step set = [](LDAPAttribute& a, const std::string& v) { a.SetValues(Of({v})); };
    Step clear = [](LDAPAttribute& a, const std::string&) { a.SetValues(Of({})); };
    Step rename = [](LDAPAttribute& a, const std::string& v) { a.SetName(v); };
    struct Case {
        const char* what;
        Step first;   // on the copy, with "c"
        Step second;  // on the original afterwards, with "o"
        LDAPAttribute copy;
        LDAPAttribute original;
    } cases[] = {
        {"add, add", add, add, Attr("cn", {"one", "two", "c"}), Attr("cn", {"one", "two", "o"})},
        {"add, set", add, set, Attr("cn", {"one", "two", "c"}), Attr("cn", {"o"})},
        {"set, add", set, add, Attr("cn", {"c"}), Attr("cn", {"one", "two", "o"})},
        {"clear, add", clear, add, Attr("cn", {}), Attr("cn", {"one", "two", "o"})},
        {"rename, add", rename, add, Attr("c", {"one", "two"}), Attr("cn", {"one", "two", "o"})},
        {"add, rename", add, rename, Attr("cn", {"one", "two", "c"}), Attr("o", {"one", "two"})},
    };
    for (const Case& c : cases) {
        LDAPAttribute original("cn", Of({"one"}));
        original.AddValue("two");  // a buffer of its own, with room to grow
        LDAPAttribute copy = original;
        c.first(copy, "c");
        EXPECT_EQ(original, Attr("cn", {"one", "two"})) << c.what;
        c.second(original, "o");
        EXPECT_EQ(copy, c.copy) << c.what;
        EXPECT_EQ(original, c.original) << c.what;
    }
}

// Values are kept with their lengths: lengths that need one, two or three
// bytes, and lists whose bytes run together the same way, stay apart.
TEST(LDAPAttribute, ValuesKeepTheirBoundaries)
{
    Values lengths;
    for (size_t n : {0u, 1u, 127u, 128u, 16383u, 16384u, 70000u})
        lengths.push_back(std::string(n, static_cast<char>('a' + n % 26)));
    LDAPAttribute byList = Attr("description", lengths);
    LDAPAttribute byAdd("description", Of({}));
    for (const std::string& value : lengths) byAdd.AddValue(value);
    EXPECT_EQ(Items(byList.GetValues()), lengths);
    EXPECT_EQ(Items(byAdd.GetValues()), lengths);
    EXPECT_EQ(byList, byAdd);

    EXPECT_NE(Attr("cn", {"ab", "c"}), Attr("cn", {"a", "bc"}));
    EXPECT_NE(Attr("cn", {""}), Attr("cn", {}));
    EXPECT_NE(Attr("cn", {"a"}), Attr("sn", {"a"}));
    EXPECT_EQ(Attr("", {}), LDAPAttribute());
}

TEST(LDAPModification, OperationWords)
{
    struct Case {
        int operation;
        int word;
    } cases[] = {
        {LDAP_MOD_ADD, 0x80},
        {LDAP_MOD_DELETE, 0x81},
        {LDAP_MOD_REPLACE, 0x82},
        {3, 0x80},
        {-1, 0x80},
        {0x80, 0x80},
    };
    for (const Case& c : cases) {
        LDAPModification m(Attr("mail", {"a@b"}), c.operation);
        EXPECT_EQ(m.GetOperation(), c.operation);
        const LDAPAttribute& asAttribute = m;
        LDAPMod* mod = asAttribute.ToLDAPMod();
        EXPECT_EQ(mod->mod_op, c.word) << c.operation;
        EXPECT_STREQ(mod->mod_type, "mail");
        EXPECT_EQ(BerValues(mod->mod_bvalues), Values{"a@b"});
        LDAPAttribute::FreeLDAPMod(mod);
    }
    EXPECT_NE(LDAPModification(Attr("cn", {"x"}), LDAP_MOD_ADD), LDAPModification(Attr("cn", {"x"}), LDAP_MOD_DELETE));
    EXPECT_EQ(LDAPModification(Attr("cn", {"x"}), LDAP_MOD_ADD), LDAPModification(Attr("cn", {"x"}), LDAP_MOD_ADD));
}

TEST(LDAPAttribute, IsNotPrintable)
{
    struct Case {
        const char* what;
        Values values;
        bool notPrintable;
    } cases[] = {
        {"text", {"Ann Smith", "x"}, false},
        {"UTF-8 text", {"M\xC3\xBCller", "\xE4\xB8\xAD\xE6\x96\x87", "\xF0\x9F\x98\x80"}, false},
        {"line feed then binary", {Bytes("line\n\x01\xFF\x00")}, false},
        {"tab first", {"\t\x01"}, false},
        {"trailing line feed", {"a\n"}, false},
        {"no values", {}, false},
        {"empty value", {""}, true},
        {"control character", {"ab\x01" "cd"}, true},
        {"escape", {"\x1B[0m"}, true},
        {"embedded zero", {Bytes("ab\0cd")}, true},
        {"0xFF byte", {"ab\xFF"}, true},
        {"JPEG header", {kJpegHeader}, true},
        {"lone 0xD8", {"\xD8"}, true},
        {"truncated sequence", {"ab\xC3"}, true},
        {"overlong slash", {"\xC0\xAF"}, true},
        {"encoded surrogate", {"\xED\xA0\x80"}, true},
        {"unassigned code point", {"\xCD\xB8"}, true},
        {"line separator", {"a\xE2\x80\xA8\x01"}, false},
        {"second value binary", {"text", kBinary}, true},
        {"second value empty", {"text", ""}, true},
        {"binary after a passing value", {"line\n", std::string("\x02", 1)}, true},
    };
    // The answer must not depend on the process locale.
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    for (const char* locale : {"C", "C.UTF-8", "POSIX"}) {
        if (!std::setlocale(LC_ALL, locale))
            continue;
        for (const Case& c : cases)
            EXPECT_EQ(Attr("a", c.values).IsNotPrintable(), c.notPrintable) << c.what << " in " << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(LDAPAttribute, Dump)
{
    struct Case {
        LDAPAttribute attribute;
        std::wstring text;
    } cases[] = {
        {Attr("cn", {"Ann", "M\xC3\xBCller"}), L"cn\n   Ann\n   M\u00FCller\n"},
        {Attr("jpegPhoto", {kJpegHeader}), L"jpegPhoto\nNOT_PRINTABLE"},
        {Attr("description", {}), L"description\n"},
    };
    for (const Case& c : cases) {
        std::wostringstream os;
        DumpAttribute(os, c.attribute);
        EXPECT_EQ(os.str(), c.text);
    }
}

TEST(LDAPAttribute, ArchiveFixedBytesAndRoundTrip)
{
    LDAPAttribute a = Attr("cn;x", {Bytes("\0\xFF"), "Ann"});
    CArchive out;
    WriteAttribute(out, a);
    const std::string expected = Bytes("\x04\0\0\0" "cn;x"
                                       "\x02\0\0\0"
                                       "\x02\0\0\0" "\0\xFF"
                                       "\x03\0\0\0" "Ann");
    EXPECT_EQ(out.GetBuffer(), expected);

    CArchive in(expected);
    LDAPAttribute back = Attr("old", {"v"});
    ReadAttribute(in, back);
    EXPECT_EQ(back, a);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(LDAPAttribute, DamagedArchivesFailCleanly)
{
    const std::string good = Bytes("\x02\0\0\0" "cn" "\x01\0\0\0" "\x03\0\0\0" "Ann");
    std::vector<std::string> damaged = {
        Bytes("\xFF\xFF\xFF\xFF" "cn"),                           // name longer than the archive
        Bytes("\x02\0\0\0" "cn" "\xFF\xFF\xFF\x7F"),              // huge value count
        Bytes("\x02\0\0\0" "cn" "\x01\0\0\0" "\xF0\xFF\xFF\xFF" "A"),  // huge value length
    };
    for (size_t n = 0; n < good.size(); ++n)
        damaged.push_back(good.substr(0, n));  // every truncation
    for (const std::string& bytes : damaged) {
        CArchive in(bytes);
        LDAPAttribute a = Attr("keep", {"me"});
        EXPECT_THROW(ReadAttribute(in, a), CArchiveException) << bytes.size();
        EXPECT_EQ(a, Attr("keep", {"me"}));  // left as it was
    }
}

} // namespace
