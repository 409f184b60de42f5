// The entry reader against the real server: every attribute and value the
// server sends reaches the caller byte for byte and in the server's order,
// through the result queue and through LDAPSyncConnection::Search alike; and
// the attributes of one entry, which share one buffer, stay apart when one of
// them or a copy changes.

#include <gtest/gtest.h>

#include <ldap.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <utility>

#include "ldap/LDAPException.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

typedef std::vector<std::string> Values;
// Names with their values, in order: what a reader must hand on unchanged.
typedef std::vector<std::pair<std::string, Values>> Snapshot;

const char* const kFixture = "cn=reader fixture,ou=scratch,o=lab";

Values ValuesOf(const LDAPAttribute& attribute)
{
    Values values;
    for (std::string_view value : attribute.GetValues())
        values.emplace_back(value);
    return values;
}

Snapshot SnapshotOf(const LDAPEntry& entry)
{
    Snapshot snapshot;
    for (const LDAPAttribute& attribute : entry.GetAttributes())
        snapshot.emplace_back(attribute.GetName(), ValuesOf(attribute));
    return snapshot;
}

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

// Every byte value, twice over, starting with zeros.
std::string AllBytes()
{
    std::string bytes(2, '\0');
    for (int round = 0; round < 2; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
    return bytes;
}

// The server's certificate in DER: real binary data for an attribute with the
// ";binary" option.
std::string CertificateDer()
{
    std::string der = MainServer().Folder() + "/reader-cert.der";
    testsupport::Run("openssl x509 -in '" + MainServer().CertFolder() + "cacerts.pem' -outform der -out '" + der +
                     "'");
    std::ifstream in(der, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Many values, among them lengths on both sides of each step of the packed
// length (127/128, 16383/16384) and one of 100,000 bytes.
Values Descriptions()
{
    Values values;
    for (int i = 0; i < 3000; ++i)
        values.push_back("value " + std::to_string(i));
    for (size_t length : {127u, 128u, 16383u, 16384u, 100000u})
        values.push_back(std::string(length, static_cast<char>('a' + length % 26)));
    return values;
}

LDAPAttribute Attr(const std::string& name, const Values& values)
{
    StringList list;
    for (const std::string& value : values) list.Add(value);
    return LDAPAttribute(name, list);
}

// What the fixture entry is given, in the order it is given.
const Snapshot& FixtureContent()
{
    static const Snapshot content = {
        {"objectClass", {"inetOrgPerson"}},
        {"cn", {"reader fixture"}},
        {"sn", {"Reader"}},
        {"audio", {Bytes("\0", 1), Bytes("\0\x01\0", 3), AllBytes(), "no zero"}},
        {"userCertificate;binary", {CertificateDer()}},
        {"userPassword", {""}},
        {"description", Descriptions()},
        {"telephoneNumber", {"+1 555 0199", "+1 555 0198"}},
    };
    return content;
}

void AddFixture()
{
    static bool added = [] {
        LDAPEntry entry(kFixture);
        for (const auto& [name, values] : FixtureContent())
            entry.GetAttributes().Add(Attr(name, values));
        OpenAdmin()->Add(entry);
        return true;
    }();
    (void)added;
}

struct Read {
    const char* what;
    Values attributes;  // none: all user attributes
    bool attributesOnly;
};

StringList List(const Values& names)
{
    StringList list;
    for (const std::string& name : names) list.Add(name);
    return list;
}

// The fixture as the library's own calls read it, one lookup per attribute
// name: the reference the layer must match.
Snapshot ReadByLibrary(const Read& read)
{
    LDAP* ld = nullptr;
    std::string url = "ldap://127.0.0.1:" + std::to_string(MainServer().Port()) + "/";
    if (ldap_initialize(&ld, url.c_str()) != LDAP_SUCCESS)
        throw std::runtime_error("ldap_initialize failed");
    std::unique_ptr<LDAP, void (*)(LDAP*)> session(ld, [](LDAP* l) { ldap_unbind_ext_s(l, nullptr, nullptr); });
    int version = LDAP_VERSION3;
    ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);

    std::vector<char*> names;
    for (const std::string& name : read.attributes) names.push_back(const_cast<char*>(name.c_str()));
    names.push_back(nullptr);
    LDAPMessage* result = nullptr;
    int rc = ldap_search_ext_s(ld, kFixture, LDAP_SCOPE_BASE, "(objectClass=*)",
                               read.attributes.empty() ? nullptr : names.data(), read.attributesOnly, nullptr,
                               nullptr, nullptr, 0, &result);
    std::unique_ptr<LDAPMessage, int (*)(LDAPMessage*)> owned(result, ldap_msgfree);
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);
    LDAPMessage* entry = ldap_first_entry(ld, result);
    if (!entry)
        throw std::runtime_error("no fixture entry");

    Snapshot snapshot;
    BerElement* ber = nullptr;
    for (char* name = ldap_first_attribute(ld, entry, &ber); name; name = ldap_next_attribute(ld, entry, ber)) {
        Values values;
        berval** bv = ldap_get_values_len(ld, entry, name);
        for (berval** p = bv; p && *p; ++p)
            values.emplace_back((*p)->bv_val, (*p)->bv_len);
        ldap_value_free_len(bv);
        snapshot.emplace_back(name, values);
        ldap_memfree(name);
    }
    ber_free(ber, 0);
    return snapshot;
}

LDAPEntry ReadSync(const Read& read)
{
    std::unique_ptr<LDAPSearchResults> results =
        OpenSync(MainServer().Port())->Search(kFixture, 0, "", List(read.attributes), read.attributesOnly);
    if (results->GetEntries().GetCount() != 1)
        throw std::runtime_error("not one fixture entry");
    return *results->GetEntries().begin();
}

LDAPEntry ReadQueue(const Read& read)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search(kFixture, 0, "", List(read.attributes), read.attributesOnly);
    std::vector<LDAPEntry> entries = Entries(*queue);  // the messages are gone when this returns
    if (entries.size() != 1)
        throw std::runtime_error("not one fixture entry");
    return entries.front();
}

const Snapshot::value_type* Find(const Snapshot& snapshot, const std::string& name)
{
    for (const auto& attribute : snapshot)
        if (attribute.first == name) return &attribute;
    return nullptr;
}

TEST(EntryReader, BothPathsHandOnWhatTheServerSentInItsOrder)
{
    AddFixture();
    const Read reads[] = {
        {"all user attributes", {}, false},
        {"names only", {}, true},
        {"asked for out of the server's order", {"telephoneNumber", "userCertificate;binary", "audio", "sn"}, false},
    };
    for (const Read& read : reads) {
        SCOPED_TRACE(read.what);
        Snapshot expected = ReadByLibrary(read);
        EXPECT_EQ(SnapshotOf(ReadSync(read)), expected);
        EXPECT_EQ(SnapshotOf(ReadQueue(read)), expected);
        EXPECT_EQ(ReadSync(read).GetDN(), kFixture);
    }

    // The reference itself holds what the fixture was given, so the checks
    // above did see zero bytes, an empty value, the option and many values.
    Snapshot all = ReadByLibrary(reads[0]);
    for (const auto& [name, values] : FixtureContent()) {
        const auto* got = Find(all, name);
        ASSERT_NE(got, nullptr) << name;
        if (name == "objectClass") continue;  // the server adds the superclasses
        EXPECT_EQ(got->second, values) << name;
    }
    Values given, sent;
    for (const auto& attribute : FixtureContent()) given.push_back(attribute.first);
    for (const auto& attribute : all) sent.push_back(attribute.first);
    EXPECT_EQ(sent, given);  // the order given, not sorted

    for (const auto& [name, values] : ReadByLibrary(reads[1])) EXPECT_TRUE(values.empty()) << name;
}

TEST(EntryReader, AttributesOfOneEntryStayApartWhenOneChanges)
{
    AddFixture();
    const LDAPEntry original = ReadSync({"all", {}, false});
    const Snapshot before = SnapshotOf(original);
    std::string nonsense = "\x01\x02";
    berval bv{nonsense.size(), &nonsense[0]};
    berval* bvs[] = {&bv, nullptr};
    const char* texts[] = {"from text", nullptr};

    struct Change {
        const char* what;
        std::function<void(LDAPAttribute&)> apply;
        std::string name;  // of the changed attribute afterwards
        Values values;
    } changes[] = {
        {"AddValue", [](LDAPAttribute& a) { a.AddValue("added"); }, "sn", {"Reader", "added"}},
        {"AddBerValue", [&](LDAPAttribute& a) { a.AddBerValue(&bv); }, "sn", {"Reader", nonsense}},
        {"SetName", [](LDAPAttribute& a) { a.SetName("sn;lang-en"); }, "sn;lang-en", {"Reader"}},
        {"SetValues", [](LDAPAttribute& a) { a.SetValues(List({"p", "q"})); }, "sn", {"p", "q"}},
        {"SetValues from texts", [&](LDAPAttribute& a) { a.SetValues(const_cast<char**>(texts)); }, "sn",
         {"from text"}},
        {"SetBerValues", [&](LDAPAttribute& a) { a.SetBerValues(bvs); }, "sn", {nonsense}},
        {"many additions", [](LDAPAttribute& a) { for (int i = 0; i < 2000; ++i) a.AddValue(std::to_string(i)); },
         "sn", [] { Values v{"Reader"}; for (int i = 0; i < 2000; ++i) v.push_back(std::to_string(i)); return v; }()},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        // A copy of the entry shares every attribute's buffer with the
        // original; its other attributes share the changed one's buffer.
        LDAPEntry copy = original;
        LDAPAttribute detached;
        for (LDAPAttribute& attribute : copy.GetAttributes()) {
            if (attribute.GetName() == "sn") {
                detached = attribute;
                change.apply(attribute);
            }
        }
        Snapshot expected = before;
        for (auto& attribute : expected)
            if (attribute.first == "sn") attribute = {change.name, change.values};
        EXPECT_EQ(SnapshotOf(copy), expected);
        EXPECT_EQ(SnapshotOf(original), before);

        // And a copy of a single attribute changed on its own.
        change.apply(detached);
        EXPECT_EQ(detached.GetName(), change.name);
        EXPECT_EQ(ValuesOf(detached), change.values);
        EXPECT_EQ(SnapshotOf(original), before);
        EXPECT_EQ(SnapshotOf(copy), expected);
    }
}

TEST(EntryReader, CopiesOfOneEntryAcrossThreads)
{
    AddFixture();
    const LDAPEntry original = ReadQueue({"all", {}, false});
    const Snapshot before = SnapshotOf(original);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                LDAPEntry copy = original;
                LDAPAttributeList& attributes = copy.GetAttributes();
                LDAPAttribute kept = *attributes.begin();
                attributes.Clear();  // drops references while other threads take theirs
                kept.AddValue("mine");
                if (kept.GetValueCount() != before.front().second.size() + 1) ++wrong;
                if (i % 50 == 0 && SnapshotOf(original) != before) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(SnapshotOf(original), before);
}

}  // namespace
}  // namespace live
