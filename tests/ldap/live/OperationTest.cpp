#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "ldap/LDAPException.h"
#include "ldap/LDAPModificationList.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

using Names = std::vector<std::string>;

const char* const kPeople = "ou=people,o=lab";
const char* const kAlice = "cn=Alice Example,ou=people,o=lab";
// The server's own forms of the two awkward DNs.
const char* const kSmith = "cn=Smith\\2C John,ou=people,o=lab";
const char* const kMueller = "cn=M\xC3\xBCller,ou=people,o=lab";

StringList List(const Names& names)
{
    StringList list;
    for (const std::string& name : names) list.Add(name);
    return list;
}

Names Sorted(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

Names DNs(const std::vector<LDAPEntry>& entries)
{
    Names dns;
    for (const LDAPEntry& entry : entries) dns.push_back(entry.GetDN());
    return dns;
}

Names AttributeNames(const LDAPEntry& entry)
{
    Names names;
    for (const LDAPAttribute& attribute : entry.GetAttributes()) names.push_back(attribute.GetName());
    return names;
}

const LDAPAttribute* Find(const LDAPEntry& entry, const std::string& name)
{
    for (const LDAPAttribute& attribute : entry.GetAttributes())
        if (attribute.GetName() == name) return &attribute;
    return nullptr;
}

Names Values(const LDAPEntry& entry, const std::string& name)
{
    const LDAPAttribute* attribute = Find(entry, name);
    return attribute ? Names(attribute->GetValues().begin(), attribute->GetValues().end()) : Names();
}

std::vector<LDAPEntry> Search(LDAPConnection& connection, const std::string& base, int scope,
                              const std::string& filter, const Names& attributes = {}, bool attributesOnly = false,
                              const LDAPOperationOptions* options = nullptr)
{
    std::unique_ptr<LDAPResultQueue> queue =
        connection.Search(base, scope, filter, List(attributes), attributesOnly, options);
    return Entries(*queue);
}

LDAPEntry Device(const std::string& dn, const std::string& cn)
{
    LDAPEntry entry(dn);
    entry.GetAttributes().Add(LDAPAttribute("objectClass", "device"));
    entry.GetAttributes().Add(LDAPAttribute("cn", cn));
    return entry;
}

// Deletes the entry at the end of a test, whatever happened to it.
struct Cleanup {
    explicit Cleanup(Names dns) : dns(std::move(dns)) {}
    ~Cleanup()
    {
        RefPtr<LDAPSyncConnection> admin = OpenAdmin();
        for (const std::string& dn : dns) {
            try {
                admin->Delete(dn);
            } catch (const LDAPException&) {
            }
        }
    }
    Names dns;
};

TEST(Search, Scopes)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    struct Case { int scope; Names dns; };
    const Case cases[] = {
        {0, {kPeople}},
        {1, {kAlice, kSmith, kMueller}},
        {2, {kPeople, kAlice, kSmith, kMueller}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scope);
        EXPECT_EQ(Sorted(DNs(Search(*connection, kPeople, c.scope, "(objectClass=*)"))), Sorted(c.dns));
    }
}

TEST(Search, EntriesArriveByteForByte)
{
    LDAPConnectionPtr connection = Open(MainServer().Port(), 2);
    std::vector<LDAPEntry> entries = Search(*connection, kAlice, 0, "(objectClass=*)");
    ASSERT_EQ(entries.size(), 1u);
    const LDAPEntry& alice = entries[0];
    EXPECT_EQ(alice.GetDN(), kAlice);
    // The server's order of attributes.
    EXPECT_EQ(AttributeNames(alice), (Names{"objectClass", "cn", "sn", "givenName", "mail", "telephoneNumber",
                                            "jpegPhoto", "description"}));
    const std::string photo("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x00\xFF\x00\xFF\xD9", 17);
    EXPECT_EQ(Values(alice, "jpegPhoto"), Names{photo});
    EXPECT_EQ(Values(alice, "description"), Names{"first line\nsecond line"});

    for (const char* dn : {kSmith, kMueller}) {
        SCOPED_TRACE(dn);
        std::vector<LDAPEntry> found = Search(*connection, dn, 0, "", {"cn"});
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].GetDN(), dn);
    }
    EXPECT_EQ(Values(Search(*connection, kSmith, 0, "", {"cn"})[0], "cn"), Names{"Smith, John"});
    EXPECT_EQ(Values(Search(*connection, kMueller, 0, "", {"cn"})[0], "cn"), Names{"M\xC3\xBCller"});
}

TEST(Search, FilterAndAttributeDefaults)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    // An empty filter is "(objectClass=*)".
    EXPECT_EQ(Sorted(DNs(Search(*connection, kPeople, 2, ""))),
              Sorted(DNs(Search(*connection, kPeople, 2, "(objectClass=*)"))));
    EXPECT_EQ(DNs(Search(*connection, kPeople, 2, "(sn=Example)")), Names{kAlice});

    struct Case { Names asked; bool attributesOnly; Names names; bool withValues; };
    const Case cases[] = {
        // No list: every user attribute, no operational one.
        {{}, false, {"objectClass", "cn", "sn", "givenName", "mail", "telephoneNumber", "jpegPhoto", "description"},
         true},
        {{"mail", "sn"}, false, {"sn", "mail"}, true},
        {{"1.1"}, false, {}, true},
        {{"entryUUID"}, false, {"entryUUID"}, true},
        {{"cn", "mail"}, true, {"cn", "mail"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.asked) + (c.attributesOnly ? " names only" : ""));
        std::vector<LDAPEntry> entries = Search(*connection, kAlice, 0, "", c.asked, c.attributesOnly);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(AttributeNames(entries[0]), c.names);
        for (const LDAPAttribute& attribute : entries[0].GetAttributes())
            EXPECT_EQ(attribute.GetValueCount() > 0, c.withValues) << attribute.GetName();
    }
}

TEST(Search, SizeLimitEndsWithResultFour)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions options;
    options.SetSizeLimit(2);
    std::unique_ptr<LDAPResultQueue> queue = connection->Search(kPeople, 2, "", List({"1.1"}), false, &options);
    Names seen = Drain(*queue);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].rfind("entry ", 0), 0u);
    EXPECT_EQ(seen[1].rfind("entry ", 0), 0u);
    EXPECT_EQ(seen[2], "result 4");

    // Limits from options applied to the connection serve requests without options.
    connection->ApplyOptions(&options);
    queue = connection->Search(kPeople, 2, "", List({"1.1"}), false);
    EXPECT_EQ(Drain(*queue).back(), "result 4");
    connection->ApplyOptions(nullptr);
}

TEST(Search, ControlsGoOutAndComeBack)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    // ManageDsaIT: the referral object itself, not its referral.
    LDAPOperationOptions manage;
    LDAPControlList controls;
    controls.Add(LDAPControl("2.16.840.1.113730.3.4.2", true, std::string(), true));
    manage.SetServerControls(&controls);
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search("cn=good,ou=refs,o=lab", 0, "", StringList(), false, &manage);
    EXPECT_EQ(Drain(*queue), (Names{"entry cn=good,ou=refs,o=lab", "result 0"}));
    // A disabled control is not sent.
    controls.GetAt(0).SetEnabled(false);
    manage.SetServerControls(&controls);
    queue = connection->Search("cn=good,ou=refs,o=lab", 0, "", StringList(), false, &manage);
    EXPECT_EQ(ResultCode(*queue), 10);

    // Paged results: the final result carries the server's control.
    LDAPOperationOptions paged;
    LDAPControlList pageControls;
    pageControls.Add(LDAPControl("1.2.840.113556.1.4.319", false, std::string("\x30\x05\x02\x01\x02\x04\x00", 7),
                                 true));
    paged.SetServerControls(&pageControls);
    queue = connection->Search(kPeople, 2, "", List({"1.1"}), false, &paged);
    int entries = 0;
    std::unique_ptr<LDAPResponse> response;
    while ((response = queue->GetNextResponse()) && response->GetMessageType() == 0x64) ++entries;
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(response->GetMessageType(), 0x65);
    EXPECT_EQ(dynamic_cast<LDAPResultResponse&>(*response).GetResultCode(), 0);
    ASSERT_TRUE(response->HasControls());
    ASSERT_EQ(response->GetControls().GetCount(), 1u);
    EXPECT_EQ(response->GetControls().GetAt(0).GetOID(), "1.2.840.113556.1.4.319");
    EXPECT_FALSE(response->GetControls().GetAt(0).GetValue().empty());
}

TEST(Operations, AddModifyCompareRenameDelete)
{
    RefPtr<LDAPSyncConnection> admin = OpenAdmin();
    const std::string dn = "cn=ops-one," + std::string(kScratch);
    const std::string renamed = "cn=ops-two," + std::string(kScratch);
    const std::string moved = "cn=ops-two,ou=devices,o=lab";
    Cleanup cleanup({dn, renamed, moved});

    std::unique_ptr<LDAPResultQueue> queue = admin->LDAPConnection::Add(Device(dn, "ops-one"));
    std::unique_ptr<LDAPResponse> response = queue->GetNextResponse();
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(response->GetMessageType(), 0x69);
    EXPECT_EQ(dynamic_cast<LDAPResultResponse&>(*response).GetResultCode(), 0);
    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Add(Device(dn, "ops-one"))), 68);  // already there

    LDAPModificationList changes;
    changes.Add(LDAPModification(LDAPAttribute("description", "changed"), 2));
    changes.Add(LDAPModification(LDAPAttribute("l", StringList(List({"here", "there"}))), 0));
    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Modify(dn, changes)), 0);
    std::vector<LDAPEntry> found = Search(*admin, dn, 0, "", {"description", "l"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(Values(found[0], "description"), Names{"changed"});
    EXPECT_EQ(Values(found[0], "l"), (Names{"here", "there"}));

    struct CompareCase { const char* name; const char* value; int code; };
    const CompareCase compares[] = {
        {"description", "changed", 6}, {"description", "other", 5}, {"l", "there", 6}, {"cn", "ops-one", 6},
    };
    for (const CompareCase& c : compares) {
        SCOPED_TRACE(c.value);
        queue = admin->LDAPConnection::Compare(dn, LDAPAttribute(c.name, c.value));
        response = queue->GetNextResponse();
        ASSERT_NE(response, nullptr);
        EXPECT_EQ(response->GetMessageType(), 0x6F);
        EXPECT_EQ(dynamic_cast<LDAPResultResponse&>(*response).GetResultCode(), c.code);
    }

    // Renamed in place (empty new parent), the old RDN value dropped.
    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Rename(dn, "cn=ops-two", true, "")), 0);
    EXPECT_TRUE(Search(*admin, kScratch, 1, "(cn=ops-one)").empty());
    found = Search(*admin, renamed, 0, "", {"cn"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(Values(found[0], "cn"), Names{"ops-two"});
    // Moved below another parent.
    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Rename(renamed, "cn=ops-two", false, "ou=devices,o=lab")), 0);
    EXPECT_EQ(DNs(Search(*admin, moved, 0, "", {"1.1"})), Names{moved});

    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Delete(moved)), 0);
    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Delete(moved)), 32);
}

TEST(Operations, WhoAmI)
{
    struct Case { bool admin; const char* identity; };
    for (const Case& c : {Case{false, ""}, Case{true, "dn:cn=admin,o=lab"}}) {
        SCOPED_TRACE(c.identity);
        LDAPConnectionPtr connection = Open(MainServer().Port());
        EXPECT_EQ(ResultCode(*connection->Bind(c.admin ? testsupport::kAdminDN : "",
                                               c.admin ? testsupport::kAdminPassword : "")),
                  0);
        std::unique_ptr<LDAPResultQueue> queue = connection->Extended("1.3.6.1.4.1.4203.1.11.3", "");
        std::unique_ptr<LDAPResponse> response = queue->GetNextResponse();
        ASSERT_NE(response, nullptr);
        EXPECT_EQ(response->GetMessageType(), 0x78);
        auto& extended = dynamic_cast<LDAPExtendedResponse&>(*response);
        EXPECT_EQ(extended.GetResultCode(), 0);
        EXPECT_EQ(extended.GetValue(), c.identity);
    }
    // An operation the server does not know.
    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::unique_ptr<LDAPResultQueue> queue = connection->Extended("1.2.3.4.5.6.7", "abc");
    EXPECT_EQ(ResultCode(*queue), 2);  // protocol error
}

TEST(Operations, ServerErrorMessageGoesToTheLog)
{
    RefPtr<LDAPSyncConnection> admin = OpenAdmin();
    const std::string dn = "cn=no-surname," + std::string(kScratch);
    Cleanup cleanup({dn});
    LDAPEntry person(dn);
    person.GetAttributes().Add(LDAPAttribute("objectClass", "person"));
    person.GetAttributes().Add(LDAPAttribute("cn", "no-surname"));

    LogCapture log;
    std::unique_ptr<LDAPResultQueue> queue = admin->LDAPConnection::Add(person);
    std::unique_ptr<LDAPResponse> response = queue->GetNextResponse();
    auto& result = dynamic_cast<LDAPResultResponse&>(*response);
    EXPECT_EQ(result.GetResultCode(), 65);
    EXPECT_NE(result.GetErrorMessage().find("requires attribute 'sn'"), std::string::npos)
        << result.GetErrorMessage();
    // The attribute dump of a nameless attribute holding the message.
    std::wstring expected = L"\n   " + std::wstring(result.GetErrorMessage().begin(), result.GetErrorMessage().end()) +
                            L"\n";
    EXPECT_EQ(log.Lines(), std::vector<std::wstring>{expected});

    std::wostringstream dump;
    result.Dump(dump);
    EXPECT_EQ(dump.str(), L"Result: 65: Object class violationMatched: ErrMsg: " + expected.substr(4, expected.size() - 5));

    // A result without a message logs nothing.
    LogCapture quiet;
    EXPECT_EQ(ResultCode(*admin->LDAPConnection::Compare("o=lab", LDAPAttribute("o", "lab"))), 6);
    EXPECT_TRUE(quiet.Lines().empty());
}

TEST(SyncConnection, Wrappers)
{
    RefPtr<LDAPSyncConnection> admin = OpenAdmin();
    const std::string dn = "cn=sync-one," + std::string(kScratch);
    Cleanup cleanup({dn, "cn=sync-two," + std::string(kScratch)});

    admin->Add(Device(dn, "sync-one"));
    LDAPModificationList changes;
    changes.Add(LDAPModification(LDAPAttribute("serialNumber", "7"), 0));
    admin->Modify(dn, changes);
    EXPECT_TRUE(admin->Compare(dn, LDAPAttribute("serialNumber", "7")));
    EXPECT_FALSE(admin->Compare(dn, LDAPAttribute("serialNumber", "8")));
    admin->Rename(dn, "cn=sync-two", true, "");
    std::string identity;
    EXPECT_EQ(admin->Extended("1.3.6.1.4.1.4203.1.11.3", "", nullptr, &identity), "dn:cn=admin,o=lab");
    EXPECT_EQ(identity, "");  // Who am I? answers without a response name
    admin->Delete("cn=sync-two," + std::string(kScratch));

    // Failures carry the result code and no message.
    struct Case { const char* what; std::function<void()> call; int code; };
    const Case failures[] = {
        {"bad password", [&] { OpenSync(MainServer().Port())->Bind(testsupport::kAdminDN, "nope"); }, 49},
        {"delete missing", [&] { admin->Delete(dn); }, 32},
        {"add existing", [&] { admin->Add(Device("cn=printer,ou=devices,o=lab", "printer")); }, 68},
        {"compare missing", [&] { admin->Compare(dn, LDAPAttribute("cn", "x")); }, 32},
        // Success is no answer to a compare.
        {"compare unknown attribute", [&] { admin->Compare("o=lab", LDAPAttribute("nosuchattr", "x")); }, 17},
        {"search missing base", [&] { admin->Search("ou=none,o=lab", 2, "", StringList(), false); }, 32},
        {"unknown extended", [&] { admin->Extended("1.2.3.4.5.6.7", ""); }, 2},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no exception";
        } catch (const LDAPReferralException&) {
            ADD_FAILURE() << "referral";
        } catch (const LDAPException& e) {
            EXPECT_EQ(e.GetResultCode(), c.code);
            EXPECT_EQ(e.GetMessage(), "");
        }
    }

    LDAPOperationOptions limited;
    limited.SetSizeLimit(1);
    try {
        admin->Search(kPeople, 2, "", StringList(), false, &limited);
        ADD_FAILURE() << "no exception";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 4);
    }
}

TEST(SyncConnection, ReferralsBecomeReferralExceptions)
{
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().Port());
    const std::string second = "ldap://127.0.0.1:" + std::to_string(SecondServer().Port()) + "/";
    struct Case { const char* what; std::function<void()> call; std::string url; };
    const Case cases[] = {
        {"compare", [&] { connection->Compare("cn=Dave Far,ou=people,o=elsewhere", LDAPAttribute("sn", "Far")); },
         second + "cn=Dave%20Far,ou=people,o=elsewhere"},
        {"search", [&] { connection->Search("cn=good,ou=refs,o=lab", 0, "", StringList(), false); },
         "ldap://127.0.0.1:" + std::to_string(MainServer().Port2()) + "/ou=people,o=other??base"},
        {"delete", [&] { connection->Delete("cn=Dave Far,ou=people,o=elsewhere"); },
         second + "cn=Dave%20Far,ou=people,o=elsewhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no exception";
        } catch (const LDAPReferralException& e) {
            EXPECT_EQ(e.GetResultCode(), 10);
            ASSERT_EQ(e.GetReferrals().GetCount(), 1u);
            EXPECT_EQ(e.GetReferrals().begin()->GetURL(), c.url);
        }
    }
}

TEST(SyncConnection, SearchResultsHandOutEntriesThenReferences)
{
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().Port());
    std::unique_ptr<LDAPSearchResults> results =
        connection->Search("ou=refs,o=lab", 2, "(objectClass=*)", List({"1.1"}), false);
    std::vector<LDAPEntry> entries(results->GetEntries().begin(), results->GetEntries().end());
    EXPECT_EQ(Sorted(DNs(entries)), Sorted(Names{"ou=refs,o=lab", "cn=local,ou=refs,o=lab"}));
    ASSERT_EQ(results->GetReferences().size(), 4u);

    Names handed;
    while (true) {
        try {
            std::unique_ptr<LDAPEntry> entry = results->GetNextEntry();
            if (!entry) break;
            handed.push_back("entry " + entry->GetDN());
        } catch (const LDAPReferralException& e) {
            ASSERT_EQ(e.GetReferrals().GetCount(), 1u);
            handed.push_back("ref " + e.GetReferrals().begin()->GetURL());
        }
    }
    Names expected;
    for (const LDAPEntry& entry : results->GetEntries()) expected.push_back("entry " + entry.GetDN());
    for (const LDAPUrlList& urls : results->GetReferences()) expected.push_back("ref " + urls.begin()->GetURL());
    EXPECT_EQ(handed, expected);
    EXPECT_EQ(results->GetNextEntry(), nullptr);  // stays exhausted
}

}  // namespace
}  // namespace live
