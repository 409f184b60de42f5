#include <gtest/gtest.h>

#include <algorithm>

#include "ldap/LDAPException.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

using Names = std::vector<std::string>;

StringList NoAttributes()
{
    StringList list;
    list.Add("1.1");
    return list;
}

LDAPOperationOptions Chasing(int hopLimit = 7)
{
    LDAPOperationOptions options;
    options.SetChaseReferrals(true);
    options.SetHopLimit(hopLimit);
    return options;
}

std::string OnPort2(const std::string& rest)
{
    return "ldap://127.0.0.1:" + std::to_string(MainServer().Port2()) + "/" + rest;
}

Names EntriesOnly(const Names& seen)
{
    Names entries;
    for (const std::string& item : seen)
        if (item.rfind("entry ", 0) == 0) entries.push_back(item);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// What a search on the referred server itself returns, final result left out.
Names Referred(const std::string& base, int scope, const std::string& filter)
{
    LDAPConnectionPtr other = Open(MainServer().Port2());
    Names seen = Drain(*other->Search(base, scope, filter, NoAttributes(), false));
    seen.pop_back();
    return seen;
}

TEST(Referrals, AReferredSearchAnswersWhereItsReferenceStood)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    LDAPConnectionPtr connection = Open(MainServer().Port());
    Names plain = Drain(*connection->Search("ou=refs,o=lab", 2, "(objectClass=*)", NoAttributes(), false));
    ASSERT_EQ(plain.back(), "result 0");

    const std::string good = "ref " + OnPort2("ou=people,o=other??sub");
    const std::string stale = "ref " + OnPort2("ou=gone,o=other??sub");
    const std::string dead = "ref ldap://127.0.0.1:1/ou=people,o=other??sub";
    const std::string secure =
        "ref ldaps://127.0.0.1:" + std::to_string(MainServer().SslPort()) + "/ou=people,o=other??sub";
    Names people = Referred("ou=people,o=other", 2, "(objectClass=*)");
    ASSERT_EQ(people.size(), 3u);
    Names expected;
    for (const std::string& item : plain) {
        if (item == good || item == secure)
            expected.insert(expected.end(), people.begin(), people.end());
        else if (item == stale || item == dead)
            expected.push_back(item + (item == stale ? " [32]" : " [81]"));
        else
            expected.push_back(item);
    }
    ASSERT_EQ(std::count(plain.begin(), plain.end(), good) + std::count(plain.begin(), plain.end(), stale) +
                  std::count(plain.begin(), plain.end(), dead) + std::count(plain.begin(), plain.end(), secure),
              4);

    LogCapture log;
    LDAPOperationOptions chase = Chasing();
    Names chased = Drain(*connection->Search("ou=refs,o=lab", 2, "(objectClass=*)", NoAttributes(), false, &chase));
    // Only the first server's final result, at the very end; the failed
    // references did not cut the search short.
    EXPECT_EQ(chased, expected);
    EXPECT_TRUE(log.Contains(L"[ERROR 32] No such object: " + std::wstring(stale.begin() + 4, stale.end())));
    EXPECT_TRUE(log.Contains(L"[ERROR 81] Can't contact LDAP server: " + std::wstring(dead.begin() + 4, dead.end())));
}

TEST(Referrals, ContinuedSearchesKeepFilterScopeAndAttributes)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    LDAPConnectionPtr connection = Open(MainServer().Port());
    const std::string bob = "entry cn=Bob Remote,ou=people,o=other";
    const std::string carol = "entry cn=Carol Remote,ou=people,o=other";
    const std::string people = "entry ou=people,o=other";
    struct Case { const char* base; int scope; const char* filter; Names entries; };
    const Case cases[] = {
        // The user's filter goes on to the referred server (good and secure).
        {"ou=refs,o=lab", 2, "(sn=Remote)", {bob, bob, carol, carol}},
        // A filter in the URL takes over.
        {"ou=filtered,o=lab", 2, "(sn=Remote)", {carol}},
        {"ou=filtered,o=lab", 2, "(objectClass=*)", {carol, "entry ou=filtered,o=lab"}},
        // A reference met one level down is read as a base search.
        {"ou=refs,o=lab", 1, "(objectClass=*)", {"entry cn=local,ou=refs,o=lab", people, people}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " " + c.filter + " " + std::to_string(c.scope));
        LDAPOperationOptions chase = Chasing();
        Names seen = Drain(*connection->Search(c.base, c.scope, c.filter, NoAttributes(), false, &chase));
        Names expected = c.entries;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(EntriesOnly(seen), expected);
        EXPECT_EQ(seen.back(), "result 0");
    }

    // The attribute list and the names-only flag go along.
    LDAPOperationOptions chase = Chasing();
    StringList sn;
    sn.Add("sn");
    std::unique_ptr<LDAPResultQueue> queue = connection->Search("cn=good,ou=refs,o=lab", 2, "(cn=Bob*)", sn, true, &chase);
    std::vector<LDAPEntry> entries = Entries(*queue);
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_EQ(entries[0].GetAttributes().GetCount(), 1u);
    EXPECT_EQ(entries[0].GetAttributes().begin()->GetName(), "sn");
    EXPECT_EQ(entries[0].GetAttributes().begin()->GetValueCount(), 0u);
}

TEST(Referrals, AReferralResultIsReplacedByTheReferredRequest)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions chase = Chasing();
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search("cn=good,ou=refs,o=lab", 0, "", NoAttributes(), false, &chase);
    LDAPConnectionPtr over;
    std::unique_ptr<LDAPResponse> response = queue->GetNextResponse(&over);
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(Describe(*response), "entry ou=people,o=other");
    ASSERT_NE(over, nullptr);
    EXPECT_EQ(over->GetPort(), MainServer().Port2());
    EXPECT_EQ(over->GetProtocolVersion(), 3);
    response = queue->GetNextResponse(&over);
    EXPECT_EQ(Describe(*response), "result 0");
    EXPECT_EQ(queue->GetNextResponse(), nullptr);
    // The connection handed out stays usable for as long as it is held.
    queue.reset();
    EXPECT_EQ(Drain(*over->Search("cn=Bob Remote,ou=people,o=other", 0, "", NoAttributes(), false)),
              (Names{"entry cn=Bob Remote,ou=people,o=other", "result 0"}));
}

TEST(Referrals, WithoutChasingTheReferralComesBack)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search("cn=good,ou=refs,o=lab", 0, "", NoAttributes(), false);
    std::unique_ptr<LDAPResponse> response = queue->GetNextResponse();
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(response->GetMessageType(), 0x65);
    auto& result = dynamic_cast<LDAPResultResponse&>(*response);
    EXPECT_EQ(result.GetResultCode(), 10);
    EXPECT_EQ(result.GetMatchedDN(), "cn=good,ou=refs,o=lab");
    ASSERT_EQ(result.GetReferrals().GetCount(), 1u);
    const LDAPUrl& url = *result.GetReferrals().begin();
    EXPECT_EQ(url.GetURL(), OnPort2("ou=people,o=other??base"));
    EXPECT_EQ(url.GetHost(), "127.0.0.1");
    EXPECT_EQ(url.GetPort(), MainServer().Port2());
    EXPECT_EQ(url.GetDN(), "ou=people,o=other");
}

TEST(Referrals, ALoopIsCaught)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions chase = Chasing();
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search("cn=loop,ou=loops,o=lab", 0, "", NoAttributes(), false, &chase);
    try {
        queue->GetNextResponse();
        FAIL() << "no loop seen";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 96);
    }
    // The request whose referral looped is done with: nothing more to wait for.
    EXPECT_EQ(queue->GetNextResponse(), nullptr);

    // The same for other operations: the same DN at the same server.
    std::unique_ptr<LDAPResultQueue> compare =
        connection->Compare("cn=loop,ou=loops,o=lab", LDAPAttribute("cn", "loop"), &chase);
    try {
        compare->GetNextResponse();
        FAIL() << "no loop seen";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 96);
    }
}

// cn=hop1 leads from one port of the main server to the other and back, for
// another DN each time.
TEST(Referrals, AChainBackToAServerForAnotherDNIsNoLoop)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions chase = Chasing(12);
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Compare("cn=hop1,ou=chain,o=lab", LDAPAttribute("ou", "people"), &chase);
    LDAPConnectionPtr over;
    std::unique_ptr<LDAPResponse> response = queue->GetNextResponse(&over);
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(Describe(*response), "result 6");
    EXPECT_EQ(over->GetPort(), MainServer().Port2());
    EXPECT_EQ(queue->GetNextResponse(), nullptr);
}

TEST(Referrals, HopLimit)
{
    int before = SettledMainServerConnections();
    LDAPConnectionPtr connection = Open(MainServer().Port());
    // cn=hop1 needs nine hops to reach ou=people,o=other.
    struct Case { int limit; int code; };
    const Case cases[] = {{0, 97}, {1, 97}, {7, 97}, {8, 97}, {9, 0}, {12, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        LDAPOperationOptions chase = Chasing(c.limit);
        std::unique_ptr<LDAPResultQueue> queue =
            connection->Search("cn=hop1,ou=chain,o=lab", 0, "", NoAttributes(), false, &chase);
        try {
            EXPECT_EQ(Drain(*queue), (Names{"entry ou=people,o=other", "result 0"}));
            EXPECT_EQ(c.code, 0);
        } catch (const LDAPException& e) {
            EXPECT_EQ(e.GetResultCode(), c.code);
            EXPECT_EQ(queue->GetNextResponse(), nullptr);
        }
    }
    // Every referred connection of the chains was closed again.
    EXPECT_EQ(WaitForMainServerConnections(before + 1), before + 1);

    // In a subtree search the first reference that is followed already counts.
    LDAPOperationOptions none = Chasing(0);
    std::unique_ptr<LDAPResultQueue> queue = connection->Search("ou=chain,o=lab", 2, "", NoAttributes(), false, &none);
    try {
        Drain(*queue);
        FAIL() << "followed";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 97);
    }
}

TEST(Referrals, LdapsReferralsNeedTheTlsClient)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    {
        EXPECT_FALSE(InitSSLCertDB("/nonexistent/arbolite/", false));
        LogCapture log;
        LDAPOperationOptions chase = Chasing();
        Names seen = Drain(*connection->Search("cn=secure,ou=refs,o=lab", 0, "", NoAttributes(), false, &chase));
        EXPECT_EQ(seen, Names{"result 10"});
        EXPECT_EQ(log.Lines(), (std::vector<std::wstring>{L"Initializing SSL...", L"   Error initializing SSL client..."}));
    }
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    LDAPOperationOptions chase = Chasing();
    std::unique_ptr<LDAPResultQueue> queue =
        connection->Search("cn=secure,ou=refs,o=lab", 0, "", NoAttributes(), false, &chase);
    LDAPConnectionPtr over;
    std::unique_ptr<LDAPResponse> response = queue->GetNextResponse(&over);
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(Describe(*response), "entry ou=people,o=other");
    EXPECT_EQ(over->GetPort(), MainServer().SslPort());
    EXPECT_TRUE(over->IsSSL());
}

TEST(Referrals, OtherOperationsAreSentAgainWhereTheReferralPoints)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    struct Case { const char* dn; const char* name; const char* value; int code; int port; };
    const Case cases[] = {
        // Outside the naming contexts: the default referral, to the second server.
        {"cn=Dave Far,ou=people,o=elsewhere", "sn", "Far", 6, SecondServer().Port()},
        {"cn=Dave Far,ou=people,o=elsewhere", "sn", "Near", 5, SecondServer().Port()},
        // Below and at a referral object: the DN the referral names.
        {"cn=Bob Remote,cn=good,ou=refs,o=lab", "sn", "Remote", 6, MainServer().Port2()},
        {"cn=good,ou=refs,o=lab", "ou", "people", 6, MainServer().Port2()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dn);
        LDAPOperationOptions chase = Chasing();
        std::unique_ptr<LDAPResultQueue> queue = connection->Compare(c.dn, LDAPAttribute(c.name, c.value), &chase);
        LDAPConnectionPtr over;
        std::unique_ptr<LDAPResponse> response = queue->GetNextResponse(&over);
        ASSERT_NE(response, nullptr);
        EXPECT_EQ(response->GetMessageType(), 0x6F);
        EXPECT_EQ(dynamic_cast<LDAPResultResponse&>(*response).GetResultCode(), c.code);
        EXPECT_EQ(over->GetPort(), c.port);
        EXPECT_EQ(queue->GetNextResponse(), nullptr);
    }
}

TEST(Referrals, ReferredWritesBindWithTheCredentialsOfTheirRequest)
{
    const std::string eve = "cn=Eve Far,ou=people,o=elsewhere";
    LDAPEntry entry(eve);
    entry.GetAttributes().Add(LDAPAttribute("objectClass", "person"));
    entry.GetAttributes().Add(LDAPAttribute("cn", "Eve Far"));
    entry.GetAttributes().Add(LDAPAttribute("sn", "Far"));

    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPConnectionPtr other = Open(MainServer().Port());
    LDAPOperationOptions options = Chasing();
    options.SetRebindCredentials(std::make_shared<LDAPBindCredentials>("cn=admin,o=elsewhere", "secret"));
    std::unique_ptr<LDAPResultQueue> add = connection->Add(entry, &options);
    // Another bind gives the shared options new credentials (which the second
    // server does not know) before the add has met its referral.
    EXPECT_EQ(ResultCode(*other->Bind(testsupport::kAdminDN, testsupport::kAdminPassword, &options)), 0);
    EXPECT_EQ(ResultCode(*add), 0);
    RefPtr<LDAPSyncConnection> second = OpenSync(SecondServer().Port());
    EXPECT_EQ(second->Search(eve, 0, "", NoAttributes(), false)->GetEntries().GetCount(), 1u);

    // Credentials the second server refuses: it is asked anonymously instead,
    // and wants a bound user for writes (strongerAuthRequired).
    EXPECT_EQ(ResultCode(*connection->Delete(eve, &options)), 8);
    options.SetRebindCredentials(std::make_shared<LDAPBindCredentials>("cn=admin,o=elsewhere", "secret"));
    EXPECT_EQ(ResultCode(*connection->Delete(eve, &options)), 0);
    EXPECT_EQ(ResultCode(*connection->Delete(eve, &options)), 32);
}

TEST(Referrals, FollowingMakesTheRequestForTheNamedServer)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    const std::string second = "ldap://127.0.0.1:" + std::to_string(SecondServer().Port());
    auto urls = [](std::vector<std::string> texts) {
        LDAPUrlList list;
        for (const std::string& text : texts) list.Add(LDAPUrl(text));
        return list;
    };
    const std::string dave = "cn=Dave Far,ou=people,o=elsewhere";

    // Other operations: the URL's DN when it names one, else their own.
    struct Case { std::string url; std::string dn; };
    const Case cases[] = {{second, dave}, {second + "/", dave}, {second + "/ou=people,o=elsewhere", "ou=people,o=elsewhere"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        LDAPOperationOptions chase = Chasing();
        LDAPCompareRequest compare(dave, LDAPAttribute("sn", "Far"), connection.get(), &chase);
        LDAPResultResponse referral(0x6F, 10, "", "", urls({"ldap://127.0.0.1:1/", c.url}));
        std::unique_ptr<LDAPRequest> next = compare.FollowReferral(referral);
        ASSERT_NE(next, nullptr);
        auto& referred = dynamic_cast<LDAPCompareRequest&>(*next);
        EXPECT_EQ(referred.GetDN(), c.dn);
        EXPECT_TRUE(referred.IsReferred());
        EXPECT_EQ(referred.GetParent(), &compare);
        EXPECT_EQ(referred.GetHopCount(), 1);
        EXPECT_EQ(referred.GetPort(), SecondServer().Port());  // the dead first URL was skipped
        EXPECT_EQ(referred.GetOrigin().GetCount(), 2u);
        EXPECT_TRUE(referred.GetOptions().GetChaseReferrals());
    }

    // Searches: base from the URL, scope by the response, filter from the URL
    // only when it names one.
    struct SearchCase { int type; int scope; std::string url; std::string base; int newScope; std::string filter; };
    const SearchCase searches[] = {
        {0x73, 1, second + "/ou=people,o=elsewhere??sub", "ou=people,o=elsewhere", 0, "(sn=Far)"},
        {0x73, 2, second + "/ou=people,o=elsewhere??base", "ou=people,o=elsewhere", 2, "(sn=Far)"},
        {0x65, 1, second + "/ou=people,o=elsewhere", "ou=people,o=elsewhere", 1, "(sn=Far)"},
        {0x73, 2, second + "/o=elsewhere??sub?(cn=Dave*)", "o=elsewhere", 2, "(cn=Dave*)"},
        {0x65, 0, second, "o=lab", 0, "(sn=Far)"},
    };
    for (const SearchCase& c : searches) {
        SCOPED_TRACE(c.url);
        LDAPOperationOptions chase = Chasing();
        LDAPSearchRequest search("o=lab", c.scope, "(sn=Far)", NoAttributes(), false, connection.get(), &chase);
        std::unique_ptr<LDAPResponse> response;
        if (c.type == 0x73)
            response = std::make_unique<LDAPReferenceResponse>(urls({c.url}), 0);
        else
            response = std::make_unique<LDAPResultResponse>(0x65, 10, "", "", urls({c.url}));
        std::unique_ptr<LDAPRequest> next = search.FollowReferral(*response);
        ASSERT_NE(next, nullptr);
        auto& referred = dynamic_cast<LDAPSearchRequest&>(*next);
        EXPECT_EQ(referred.GetBase(), c.base);
        EXPECT_EQ(referred.GetScope(), c.newScope);
        EXPECT_EQ(referred.GetFilter(), c.filter);
        EXPECT_EQ(referred.GetAttributes().GetCount(), 1u);
    }

    // Binds are never followed; nothing reachable gives null and the reason.
    LDAPOperationOptions chase = Chasing();
    LDAPBindRequest bind("", "", connection.get(), &chase);
    EXPECT_EQ(bind.FollowReferral(LDAPResultResponse(0x61, 10, "", "", urls({second}))), nullptr);
    LDAPDeleteRequest unreachable(dave, connection.get(), &chase);
    EXPECT_EQ(unreachable.FollowReferral(LDAPResultResponse(0x6B, 10, "", "", urls({"ldap://127.0.0.1:1/"}))), nullptr);
    EXPECT_EQ(unreachable.GetFollowError(), 81);
    EXPECT_EQ(unreachable.FollowReferral(LDAPResultResponse(0x6B, 10, "", "", LDAPUrlList())), nullptr);
}

TEST(Referrals, ConnectToReferral)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPUrlList none;
    int used = 42;
    EXPECT_EQ(connection->ConnectToReferral(none, used, nullptr), nullptr);
    EXPECT_EQ(used, 42);

    LDAPUrlList urls;
    urls.Add(LDAPUrl("ldap://127.0.0.1:1/"));
    urls.Add(LDAPUrl("ldap://127.0.0.1:" + std::to_string(SecondServer().Port()) + "/o=elsewhere"));
    LDAPOperationOptions options;
    options.SetRebindCredentials(std::make_shared<LDAPBindCredentials>("cn=admin,o=elsewhere", "secret"));
    int error = 0;
    LDAPConnectionPtr referred = connection->ConnectToReferral(urls, used, &options, &error);
    ASSERT_NE(referred, nullptr);
    EXPECT_EQ(used, 1);
    EXPECT_EQ(referred->GetHost(), "127.0.0.1");
    EXPECT_EQ(referred->GetPort(), SecondServer().Port());
    EXPECT_EQ(referred->GetProtocolVersion(), 3);
    EXPECT_EQ(referred->GetOptions(), nullptr);
    std::unique_ptr<LDAPResultQueue> whoAmI = referred->Extended("1.3.6.1.4.1.4203.1.11.3", "");
    std::unique_ptr<LDAPResponse> response = whoAmI->GetNextResponse();
    EXPECT_EQ(dynamic_cast<LDAPExtendedResponse&>(*response).GetValue(), "dn:cn=admin,o=elsewhere");

    LDAPUrlList dead;
    dead.Add(LDAPUrl("ldap://127.0.0.1:1/"));
    used = 42;
    EXPECT_EQ(connection->ConnectToReferral(dead, used, nullptr, &error), nullptr);
    EXPECT_EQ(used, 42);
    EXPECT_EQ(error, 81);
}

// An anonymous bind is the fallback for credentials a server refused. A
// host that could not be reached refused nothing, and a dead one would make
// the anonymous try wait out a second network time-out.
TEST(Referrals, NoAnonymousBindWhereTheServerWasNotReached)
{
    SilentServer blackHole(SilentServer::Mode::NeverConnect);
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPUrlList urls;
    urls.Add(LDAPUrl("ldap://127.0.0.1:" + std::to_string(blackHole.Port()) + "/o=lab"));
    LDAPOperationOptions options;
    options.SetRebindCredentials(std::make_shared<LDAPBindCredentials>("cn=admin,o=lab", "secret"));
    int used = 42;
    int error = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(connection->ConnectToReferral(urls, used, &options, &error), nullptr);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(took.count(), kLDAPNetworkTimeoutSeconds * 1500);
    EXPECT_EQ(used, 42);
    EXPECT_EQ(error, 81);
}

}  // namespace
}  // namespace live
