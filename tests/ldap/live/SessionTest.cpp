#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>

#include "ldap/LDAPControl.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPOperationOptions.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

TEST(Session, SimpleBinds)
{
    struct Case { int version; const char* dn; const char* password; int code; };
    const Case cases[] = {
        {2, "", "", 0},
        {3, "", "", 0},
        {2, testsupport::kAdminDN, testsupport::kAdminPassword, 0},
        {3, testsupport::kAdminDN, testsupport::kAdminPassword, 0},
        {2, testsupport::kAdminDN, "wrong", 49},
        {3, testsupport::kAdminDN, "wrong", 49},
        {3, "cn=nobody,o=lab", "secret", 49},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + c.dn + " " + c.password);
        LDAPConnectionPtr connection = Open(MainServer().Port(), c.version);
        EXPECT_EQ(connection->GetProtocolVersion(), c.version);
        std::unique_ptr<LDAPResultQueue> queue = connection->Bind(c.dn, c.password);
        std::unique_ptr<LDAPResponse> response = queue->GetNextResponse();
        ASSERT_NE(response, nullptr);
        EXPECT_EQ(response->GetMessageType(), 0x61);
        EXPECT_EQ(dynamic_cast<LDAPResultResponse&>(*response).GetResultCode(), c.code);
        EXPECT_EQ(queue->GetNextResponse(), nullptr);  // nothing after the final result
    }
}

TEST(Session, NewConnectionsSpeakVersionTwo)
{
    LDAPConnectionPtr connection = LDAPConnection::Create(kHost, MainServer().Port());
    EXPECT_EQ(connection->GetProtocolVersion(), 2);
    // Version 2 knows no extended operations: the library refuses to send one.
    connection->Bind("", "")->GetNextResponse();
    try {
        connection->Extended("1.3.6.1.4.1.4203.1.11.3", "");
        FAIL() << "sent";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 92);  // not supported
    }
}

TEST(Session, UnreachableServerFailsWhenSending)
{
    LDAPConnectionPtr connection = Open(1);
    ASSERT_NE(connection->GetSession(), nullptr);  // opening sends nothing
    try {
        connection->Bind("", "");
        FAIL() << "bound";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 81);
        EXPECT_EQ(e.GetResultText(), "Can't contact LDAP server");
    }
}

TEST(Session, UnbindClosesTheSocketOfPlainAndSecureSessions)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    for (bool secure : {false, true}) {
        SCOPED_TRACE(secure);
        LDAPConnectionPtr connection = Open(secure ? MainServer().SslPort() : MainServer().Port());
        LDAPOperationOptions options;
        options.SetUseSSL(secure);
        EXPECT_EQ(ResultCode(*connection->Bind("", "", &options)), 0);
        EXPECT_EQ(connection->IsSSL(), secure);
        int fd = SessionSocket(*connection);
        ASSERT_GE(fd, 0);
        connection->Unbind();
        EXPECT_EQ(connection->GetSession(), nullptr);
        errno = 0;
        EXPECT_EQ(fcntl(fd, F_GETFD), -1);
        EXPECT_EQ(errno, EBADF);
        connection->Unbind();  // a second time does nothing
        EXPECT_THROW(connection->Bind("", ""), LDAPException);
    }
}

TEST(Session, UnbindWithACriticalClientControlStillEndsTheSession)
{
    // The library acts on no client control and refuses any critical one;
    // the session it refuses to unbind must not stay open (nor its memory).
    LDAPConnectionPtr connection = Open(MainServer().Port());
    EXPECT_EQ(ResultCode(*connection->Bind("", "")), 0);
    int fd = SessionSocket(*connection);
    ASSERT_GE(fd, 0);
    LDAPControlList clientControls;
    clientControls.Add(LDAPControl("1.3.6.1.4.1.99999.1", true, std::string(), true));
    LDAPOperationOptions options;
    options.SetClientControls(&clientControls);
    connection->ApplyOptions(&options);
    connection->Unbind();
    EXPECT_EQ(connection->GetSession(), nullptr);
    errno = 0;
    EXPECT_EQ(fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
    connection->ApplyOptions(nullptr);
}

TEST(Session, LastReleaseEndsTheSession)
{
    int before = SettledMainServerConnections();
    LDAPConnection* connection = new LDAPConnection(kHost, MainServer().Port());
    EXPECT_EQ(connection->AddRef(), 1);
    EXPECT_EQ(ResultCode(*connection->Bind("", "")), 0);
    EXPECT_EQ(MainServerConnections(), before + 1);
    EXPECT_EQ(connection->Release(), 0);
    EXPECT_EQ(WaitForMainServerConnections(before), before);
}

TEST(Session, SslBindNeedsTheTlsClient)
{
    // A folder without certificates leaves the TLS client unusable.
    EXPECT_FALSE(InitSSLCertDB("/nonexistent/arbolite/", false));
    EXPECT_FALSE(IsSSLClientReady());
    LDAPConnectionPtr connection = Open(MainServer().SslPort());
    LDAPOperationOptions options;
    options.SetUseSSL(true);
    LogCapture log;
    try {
        connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword, &options);
        FAIL() << "bound";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 82);
        EXPECT_EQ(e.GetMessage(), "");
    }
    EXPECT_EQ(log.Lines(), (std::vector<std::wstring>{L"Initializing SSL...", L"   Error initializing SSL client..."}));
    EXPECT_FALSE(connection->IsSSL());
}

TEST(Session, LdapsBindWithTheServersCertificate)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    EXPECT_TRUE(IsSSLClientReady());
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().SslPort());
    LDAPOperationOptions options;
    options.SetUseSSL(true);
    LogCapture log;
    connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword, &options);
    EXPECT_EQ(log.Lines(), (std::vector<std::wstring>{L"Initializing SSL..."}));
    EXPECT_TRUE(connection->IsSSL());
    EXPECT_EQ(connection->Extended("1.3.6.1.4.1.4203.1.11.3", ""), "dn:cn=admin,o=lab");
    std::unique_ptr<LDAPSearchResults> results = connection->Search("o=lab", 0, "", StringList(), false);
    ASSERT_EQ(results->GetEntries().GetCount(), 1u);
    EXPECT_EQ(results->GetEntries().begin()->GetDN(), "o=lab");
}

TEST(Session, LdapsWithClientCertificate)
{
    std::string folder = MainServer().Folder() + "/client-auth/";
    testsupport::Run("mkdir -p '" + folder + "' && cp '" + MainServer().CertFolder() + "cacerts.pem' '" + folder +
                     "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout '" +
                     folder + "key.pem' -out '" + folder + "cert.pem' -days 1 -subj /CN=arbolite-client 2>&1 && cat '" +
                     folder + "cert.pem' '" + folder + "key.pem' > '" + folder + "client.pem'");
    struct Case { std::string folder; bool clientAuth; bool ready; };
    const Case cases[] = {
        {folder, true, true},
        {folder, false, true},
        {MainServer().CertFolder(), true, false},  // no client.pem there
        {MainServer().CertFolder(), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + (c.clientAuth ? " client" : ""));
        EXPECT_EQ(InitSSLCertDB(c.folder, c.clientAuth), c.ready);
        EXPECT_EQ(IsSSLClientReady(), c.ready);
        if (!c.ready) continue;
        LDAPConnectionPtr connection = Open(MainServer().SslPort());
        LDAPOperationOptions options;
        options.SetUseSSL(true);
        EXPECT_EQ(ResultCode(*connection->Bind("", "", &options)), 0);
    }
}

TEST(Session, SslCannotBeSwitchedOnOnceTheSessionHasConnected)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    LDAPConnectionPtr connection = Open(MainServer().Port());
    EXPECT_EQ(ResultCode(*connection->Bind("", "")), 0);
    LogCapture log;
    EXPECT_FALSE(connection->EnableSSL());
    EXPECT_EQ(log.Lines(), (std::vector<std::wstring>{L"Initializing SSL...", L"   Error turning SSL on..."}));
    LDAPOperationOptions options;
    options.SetUseSSL(true);
    try {
        connection->Bind("", "", &options);
        FAIL() << "bound";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 82);
    }
}

TEST(Session, SslOnAPlainPortFailsTheHandshake)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions options;
    options.SetUseSSL(true);
    try {
        connection->Bind("", "", &options)->GetNextResponse();
        FAIL() << "bound";
    } catch (const LDAPException& e) {
        EXPECT_EQ(e.GetResultCode(), 81);
    }
}

TEST(Session, BindWithOptionsKeepsTheCredentialsForReferredServers)
{
    LDAPConnectionPtr connection = Open(MainServer().Port());
    LDAPOperationOptions options;
    EXPECT_EQ(ResultCode(*connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword, &options)), 0);
    std::shared_ptr<const LDAPCredentials> first = options.GetRebindCredentials();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->GetAuth("other", 1), nullptr);
    EXPECT_EQ(first->GetAuth("other", 1)->GetDN(), testsupport::kAdminDN);
    EXPECT_EQ(first->GetAuth("other", 1)->GetPassword(), testsupport::kAdminPassword);

    // An anonymous bind keeps credentials without a simple bind in them; the
    // first ones stay whole for whoever still holds them.
    EXPECT_EQ(ResultCode(*connection->Bind("", "", &options)), 0);
    ASSERT_NE(options.GetRebindCredentials(), nullptr);
    EXPECT_NE(options.GetRebindCredentials(), first);
    EXPECT_EQ(options.GetRebindCredentials()->GetAuth("other", 1), nullptr);
    EXPECT_EQ(first->GetAuth("other", 1)->GetDN(), testsupport::kAdminDN);

    // Without options nothing is kept.
    LDAPOperationOptions untouched;
    connection->ApplyOptions(&untouched);
    EXPECT_EQ(ResultCode(*connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword)), 0);
    EXPECT_EQ(untouched.GetRebindCredentials(), nullptr);
    connection->ApplyOptions(nullptr);
}

}  // namespace
}  // namespace live
