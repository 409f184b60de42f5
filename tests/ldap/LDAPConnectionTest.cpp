#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include <ldap.h>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPRequest.h"
#include "ldap/LDAPResponse.h"

using namespace arbldap;

// Nothing here reaches a server: opening a session sends nothing.
namespace {

int g_destroyed = 0;

class CountedConnection : public LDAPConnection {
public:
    CountedConnection() : LDAPConnection("127.0.0.1", 389) {}

protected:
    ~CountedConnection() override { ++g_destroyed; }
};

TEST(LDAPConnection, LastReleaseDestroysExactlyOnce)
{
    g_destroyed = 0;
    LDAPConnection* connection = new CountedConnection;
    EXPECT_EQ(connection->AddRef(), 1);
    EXPECT_EQ(connection->AddRef(), 2);
    EXPECT_EQ(connection->Release(), 1);
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(connection->Release(), 0);
    EXPECT_EQ(g_destroyed, 1);
}

TEST(LDAPConnection, ReferencesFromManyThreads)
{
    g_destroyed = 0;
    LDAPConnection* connection = new CountedConnection;
    connection->AddRef();
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([connection] {
            for (int i = 0; i < 10000; ++i) {
                connection->AddRef();
                connection->Release();
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_EQ(connection->Release(), 0);
    EXPECT_EQ(g_destroyed, 1);
}

TEST(RefPtr, HoldsOneReferenceEach)
{
    g_destroyed = 0;
    {
        RefPtr<LDAPConnection> first(new CountedConnection);
        {
            RefPtr<LDAPConnection> copy = first;
            RefPtr<LDAPConnection> moved = std::move(copy);
            EXPECT_EQ(copy, nullptr);
            EXPECT_EQ(moved, first);
        }
        EXPECT_EQ(g_destroyed, 0);
        // Detach hands the reference out; Adopt takes one back in.
        LDAPConnection* raw = first.Detach();
        EXPECT_EQ(first, nullptr);
        RefPtr<LDAPConnection> adopted = RefPtr<LDAPConnection>::Adopt(raw);
        EXPECT_EQ(g_destroyed, 0);
        adopted = nullptr;
        EXPECT_EQ(g_destroyed, 1);
    }
    EXPECT_EQ(g_destroyed, 1);
}

TEST(LDAPConnection, NewSessionSettings)
{
    struct Case { const char* host; bool opens; };
    const Case cases[] = {{"127.0.0.1", true}, {"localhost", true}, {"::1", true}, {"[::1]", true},
                          {"no such host.invalid", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        LDAPConnectionPtr connection = LDAPConnection::Create(c.host, 389);
        EXPECT_EQ(connection->GetHost(), c.host);
        EXPECT_EQ(connection->GetPort(), 389);
        EXPECT_EQ(connection->GetProtocolVersion(), 2);
        EXPECT_EQ(connection->GetOptions(), nullptr);
        EXPECT_FALSE(connection->IsSSL());
        ASSERT_EQ(connection->GetSession() != nullptr, c.opens);
        if (!c.opens) {
            // Operations on a connection without a session fail when sent.
            EXPECT_THROW(connection->Bind("", ""), LDAPException);
            continue;
        }
        LDAP* session = connection->GetSession();
        int version = 0;
        ldap_get_option(session, LDAP_OPT_PROTOCOL_VERSION, &version);
        EXPECT_EQ(version, 2);
        int referrals = -1;
        ldap_get_option(session, LDAP_OPT_REFERRALS, &referrals);
        EXPECT_EQ(referrals, 0);  // followed by the result queue, not the library
        timeval* timeout = nullptr;
        ldap_get_option(session, LDAP_OPT_NETWORK_TIMEOUT, &timeout);
        ASSERT_NE(timeout, nullptr);
        EXPECT_EQ(timeout->tv_sec, kLDAPNetworkTimeoutSeconds);
        ldap_memfree(timeout);

        connection->SetProtocolVersion(3);
        ldap_get_option(session, LDAP_OPT_PROTOCOL_VERSION, &version);
        EXPECT_EQ(version, 3);
    }
}

TEST(LDAPConnection, ApplyOptionsSetsTheSessionAndNullOnlyForgets)
{
    LDAPConnectionPtr connection = LDAPConnection::Create("127.0.0.1", 389);
    LDAPOperationOptions options;
    options.SetSizeLimit(25);
    options.SetTimeLimit(9);
    options.SetDeref(3);
    connection->ApplyOptions(&options);
    EXPECT_EQ(connection->GetOptions(), &options);
    auto read = [&](int option) {
        int value = -1;
        ldap_get_option(connection->GetSession(), option, &value);
        return value;
    };
    EXPECT_EQ(read(LDAP_OPT_SIZELIMIT), 25);
    EXPECT_EQ(read(LDAP_OPT_TIMELIMIT), 9);
    EXPECT_EQ(read(LDAP_OPT_DEREF), 3);
    EXPECT_EQ(read(LDAP_OPT_REFERRALS), 0);

    connection->ApplyOptions(nullptr);
    EXPECT_EQ(connection->GetOptions(), nullptr);
    EXPECT_EQ(read(LDAP_OPT_SIZELIMIT), 25);
    EXPECT_EQ(read(LDAP_OPT_DEREF), 3);
}

TEST(LDAPConnection, SendFailuresCarryTheLibrarysCode)
{
    LDAPConnectionPtr connection = LDAPConnection::Create("127.0.0.1", 389);
    // A filter the library cannot encode fails before anything is sent.
    try {
        connection->Search("o=lab", 2, "(((", StringList(), false);
        FAIL() << "sent";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 87);  // filter error, from -7
        EXPECT_EQ(e.GetMessage(), "");
    }
    // The session's error state says the same, for callers that have nothing better.
    LDAPException fromSession(*connection);
    EXPECT_EQ(fromSession.GetResultCode(), 87);
    EXPECT_EQ(fromSession.GetResultText(), "Bad search filter");

    // A fresh session has no error: code 0, no additional text, none dumped.
    LDAPConnectionPtr fresh = LDAPConnection::Create("127.0.0.1", 389);
    LDAPException clean(*fresh);
    EXPECT_EQ(clean.GetResultCode(), 0);
    EXPECT_EQ(clean.GetMessage(), "");
    std::wostringstream dump;
    LDAPException::Dump(dump, clean);
    EXPECT_EQ(dump.str(), L"Error 0 : Success");
    // Without a session there is nothing to read.
    fresh->Unbind();
    EXPECT_EQ(LDAPException(*fresh).GetResultCode(), 0);
}

TEST(LDAPRequest, TakesTheOptionsItIsGivenOrTheConnections)
{
    LDAPConnectionPtr connection = LDAPConnection::Create("127.0.0.1", 389);
    LDAPOperationOptions given;
    given.SetSizeLimit(5);
    LDAPOperationOptions connections;
    connections.SetSizeLimit(6);

    LDAPDeleteRequest defaults("cn=x", connection.get(), nullptr);
    EXPECT_EQ(defaults.GetOptions().GetSizeLimit(), 0);
    EXPECT_EQ(defaults.GetOptions().GetHopLimit(), 7);
    connection->ApplyOptions(&connections);
    LDAPDeleteRequest fromConnection("cn=x", connection.get(), nullptr);
    EXPECT_EQ(fromConnection.GetOptions().GetSizeLimit(), 6);
    LDAPDeleteRequest fromCaller("cn=x", connection.get(), &given);
    EXPECT_EQ(fromCaller.GetOptions().GetSizeLimit(), 5);
    // A copy, not the caller's object.
    given.SetSizeLimit(50);
    EXPECT_EQ(fromCaller.GetOptions().GetSizeLimit(), 5);
    connection->ApplyOptions(nullptr);

    EXPECT_FALSE(fromCaller.IsReferred());
    EXPECT_EQ(fromCaller.GetParent(), nullptr);
    EXPECT_EQ(fromCaller.GetHopCount(), 0);
    EXPECT_EQ(fromCaller.GetConnection(), connection.get());
    EXPECT_EQ(fromCaller.GetMessageID(), -1);

    struct Case { const LDAPRequest& request; int operation; };
    LDAPEntry entry("cn=x");
    const LDAPAddRequest add(entry, connection.get(), nullptr);
    const LDAPBindRequest bind("", "", connection.get(), nullptr);
    const LDAPCompareRequest compare("cn=x", LDAPAttribute("cn", "x"), connection.get(), nullptr);
    const LDAPExtendedRequest extended("1.2.3", "", connection.get(), nullptr);
    const LDAPRenameRequest rename("cn=x", "cn=y", "", true, connection.get(), nullptr);
    const LDAPModifyRequest modify("cn=x", LDAPModificationList(), connection.get(), nullptr);
    const LDAPSearchRequest search("o=lab", 2, "", StringList(), false, connection.get(), nullptr);
    for (const Case& c : {Case{add, 8}, Case{bind, 0}, Case{compare, 14}, Case{defaults, 10}, Case{extended, 23},
                          Case{rename, 12}, Case{modify, 6}, Case{search, 3}})
        EXPECT_EQ(c.request.GetOperation(), c.operation);
    EXPECT_EQ(search.GetFilter(), "(objectClass=*)");
}

TEST(LDAPRequest, ARequestHoldsItsConnection)
{
    g_destroyed = 0;
    auto request = [] {
        RefPtr<LDAPConnection> connection(new CountedConnection);
        return std::make_unique<LDAPDeleteRequest>("cn=x", connection.get(), nullptr);
    }();
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_NE(request->GetConnection(), nullptr);
    request->ReleaseConnection();
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(request->GetConnection(), nullptr);
    // The loop test still knows where it was sent.
    EXPECT_EQ(request->GetHost(), "127.0.0.1");
    EXPECT_EQ(request->GetPort(), 389);
}

TEST(LDAPRequest, SameAndLoop)
{
    LDAPConnectionPtr here = LDAPConnection::Create("127.0.0.1", 389);
    LDAPConnectionPtr sameAgain = LDAPConnection::Create("127.0.0.1", 389);
    LDAPConnectionPtr otherPort = LDAPConnection::Create("127.0.0.1", 1389);
    LDAPConnectionPtr otherName = LDAPConnection::Create("localhost", 389);
    StringList none;

    LDAPSearchRequest first("o=lab", 2, "(cn=a)", none, false, here.get(), nullptr);
    struct Case { const char* what; LDAPConnection* connection; const char* base; int scope; bool same; };
    const Case cases[] = {
        {"other filter only", sameAgain.get(), "o=lab", 2, true},
        {"other port", otherPort.get(), "o=lab", 2, false},
        {"other host text", otherName.get(), "o=lab", 2, false},
        {"other base", here.get(), "ou=x,o=lab", 2, false},
        {"base compared exactly", here.get(), "O=LAB", 2, false},
        {"other scope", here.get(), "o=lab", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LDAPSearchRequest other(c.base, c.scope, "(sn=b)", none, true, c.connection, nullptr);
        EXPECT_EQ(first.IsSame(other), c.same);
        EXPECT_EQ(other.IsSame(first), c.same);
        LDAPSearchRequest child(c.base, c.scope, "(sn=b)", none, false, c.connection, nullptr, true, &first);
        EXPECT_EQ(child.GetHopCount(), 1);
        EXPECT_EQ(child.IsInLoop(), c.same);
        // Deeper down the chain too.
        LDAPSearchRequest between("ou=between", 2, "", none, false, otherPort.get(), nullptr, true, &first);
        LDAPSearchRequest grandchild(c.base, c.scope, "", none, false, c.connection, nullptr, true, &between);
        EXPECT_EQ(grandchild.GetHopCount(), 2);
        EXPECT_EQ(grandchild.IsInLoop(), c.same);
    }
    EXPECT_FALSE(first.IsInLoop());
}

// A referral chain may come back to a server it has visited for another DN:
// only the same operation on the same DN there is a loop.
TEST(LDAPRequest, OtherOperationsLoopOnTheSameDNOnly)
{
    LDAPConnectionPtr here = LDAPConnection::Create("127.0.0.1", 389);
    LDAPConnectionPtr sameAgain = LDAPConnection::Create("127.0.0.1", 389);
    LDAPConnectionPtr there = LDAPConnection::Create("127.0.0.1", 1389);
    typedef std::function<std::unique_ptr<LDAPRequest>(const std::string&, LDAPConnection*, LDAPRequest*)> Make;
    struct Kind { const char* name; Make make; };
    const Kind kinds[] = {
        {"add", [](const std::string& dn, LDAPConnection* c, LDAPRequest* parent) {
             return std::make_unique<LDAPAddRequest>(LDAPEntry(dn), c, nullptr, parent != nullptr, parent);
         }},
        {"compare", [](const std::string& dn, LDAPConnection* c, LDAPRequest* parent) {
             return std::make_unique<LDAPCompareRequest>(dn, LDAPAttribute("cn", "a"), c, nullptr, parent != nullptr,
                                                         parent);
         }},
        {"delete", [](const std::string& dn, LDAPConnection* c, LDAPRequest* parent) {
             return std::make_unique<LDAPDeleteRequest>(dn, c, nullptr, parent != nullptr, parent);
         }},
        {"modify", [](const std::string& dn, LDAPConnection* c, LDAPRequest* parent) {
             return std::make_unique<LDAPModifyRequest>(dn, LDAPModificationList(), c, nullptr, parent != nullptr,
                                                        parent);
         }},
        {"rename", [](const std::string& dn, LDAPConnection* c, LDAPRequest* parent) {
             return std::make_unique<LDAPRenameRequest>(dn, "cn=new", "", true, c, nullptr, parent != nullptr, parent);
         }},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        std::unique_ptr<LDAPRequest> first = k.make("cn=a,o=lab", here.get(), nullptr);
        EXPECT_TRUE(first->IsSame(*k.make("cn=a,o=lab", sameAgain.get(), nullptr)));
        EXPECT_FALSE(first->IsSame(*k.make("cn=b,o=lab", sameAgain.get(), nullptr)));
        EXPECT_FALSE(first->IsSame(*k.make("cn=a,o=lab", there.get(), nullptr)));

        std::unique_ptr<LDAPRequest> away = k.make("cn=b,o=lab", there.get(), first.get());
        EXPECT_FALSE(away->IsInLoop());
        EXPECT_FALSE(k.make("cn=c,o=lab", here.get(), away.get())->IsInLoop());
        EXPECT_TRUE(k.make("cn=a,o=lab", here.get(), away.get())->IsInLoop());
    }

    // Another operation on the same DN is not the same request.
    LDAPDeleteRequest remove("cn=a,o=lab", here.get(), nullptr);
    EXPECT_FALSE(remove.IsSame(LDAPCompareRequest("cn=a,o=lab", LDAPAttribute("cn", "a"), here.get(), nullptr)));
    EXPECT_FALSE(remove.IsSame(LDAPSearchRequest("cn=a,o=lab", 0, "", StringList(), false, here.get(), nullptr)));

    // An extended operation names no DN: back at a server, it is a loop.
    LDAPExtendedRequest whoAmI("1.3.6.1.4.1.4203.1.11.3", "", here.get(), nullptr);
    LDAPExtendedRequest whoAmIThere("1.3.6.1.4.1.4203.1.11.3", "", there.get(), nullptr, true, &whoAmI);
    EXPECT_TRUE(LDAPExtendedRequest("1.3.6.1.4.1.4203.1.11.3", "", here.get(), nullptr, true, &whoAmIThere).IsInLoop());
}

TEST(LDAPResponse, MadeByTheLayer)
{
    LDAPUrlList urls;
    urls.Add(LDAPUrl("ldap://srv/o=lab"));
    LDAPResultResponse result(0x6F, 10, "o=lab", "see there", urls);
    EXPECT_EQ(result.GetMessageType(), 0x6F);
    EXPECT_EQ(result.GetResultCode(), 10);
    EXPECT_EQ(result.GetResultText(), "Referral");
    EXPECT_EQ(result.GetMatchedDN(), "o=lab");
    EXPECT_EQ(result.GetErrorMessage(), "see there");
    EXPECT_EQ(result.GetReferrals().GetCount(), 1u);
    EXPECT_FALSE(result.HasControls());
    std::wostringstream dump;
    result.Dump(dump);
    EXPECT_EQ(dump.str(), L"Result: 10: ReferralMatched: o=labErrMsg: see there");

    LDAPReferenceResponse reference(urls, 32);
    EXPECT_EQ(reference.GetMessageType(), 0x73);
    EXPECT_EQ(reference.GetFollowError(), 32);
    EXPECT_EQ(reference.GetURLs().begin()->GetDN(), "o=lab");
}

}  // namespace
