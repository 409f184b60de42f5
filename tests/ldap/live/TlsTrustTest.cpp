#include <gtest/gtest.h>

#include <cstdlib>

#include "ldap/LDAPException.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

// A trust setting left in the environment, set before main so that the
// library finds it when it starts. Certificates must be checked all the same.
const bool kTrustAnything = setenv("LDAPTLS_REQCERT", "never", 1) == 0;

// A folder whose "cacerts.pem" holds a CA that signed nothing the servers use.
std::string StrangerCertFolder()
{
    std::string folder = MainServer().Folder() + "/stranger/";
    testsupport::Run("mkdir -p '" + folder + "' && openssl req -x509 -newkey ec -pkeyopt "
                     "ec_paramgen_curve:prime256v1 -nodes -keyout '" + folder + "key.pem' -out '" + folder +
                     "cacerts.pem' -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1");
    return folder;
}

TEST(TlsTrust, TheServersCertificateIsCheckedWhateverTheEnvironmentSays)
{
    ASSERT_TRUE(kTrustAnything);
    SlapdServer& wrongName = SlapdServer::WrongName();
    const std::wstring refused = L"[ERROR 81] Can't contact LDAP server: ";
    struct Case {
        const char* name;
        std::string certFolder;
        int port;
        int code;
        const wchar_t* reason;  // in the log line of a refused certificate
    };
    const Case cases[] = {
        {"trusted CA, right name", MainServer().CertFolder(), MainServer().SslPort(), 0, nullptr},
        {"unknown CA", StrangerCertFolder(), MainServer().SslPort(), 81, L"untrusted"},
        {"certificate for another host", wrongName.CertFolder(), wrongName.SslPort(), 81, L"does not match"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(InitSSLCertDB(c.certFolder, false));
        // Sent over a plain session and over a referred one.
        for (bool referred : {false, true}) {
            SCOPED_TRACE(referred ? "referred" : "direct");
            LogCapture log;
            int code = -1;
            if (referred) {
                LDAPUrlList urls;
                urls.Add(LDAPUrl("ldaps://127.0.0.1:" + std::to_string(c.port) + "/"));
                int used = -1;
                int error = 0;
                LDAPConnectionPtr connection = Open(MainServer().Port());
                code = connection->ConnectToReferral(urls, used, nullptr, &error) ? 0 : error;
            } else {
                LDAPConnectionPtr connection = Open(c.port);
                LDAPOperationOptions options;
                options.SetUseSSL(true);
                try {
                    code = ResultCode(*connection->Bind("", "", &options));
                } catch (const LDAPException& e) {
                    code = e.GetResultCode();
                    if (c.reason)  // the failure carries the reason too
                        EXPECT_NE(e.GetMessage().find("TLS: "), std::string::npos) << e.GetMessage();
                }
            }
            EXPECT_EQ(code, c.code);
            bool logged = false;
            for (const std::wstring& line : log.Lines())
                logged |= c.reason && line.compare(0, refused.size(), refused) == 0 &&
                          line.find(c.reason) != std::wstring::npos;
            EXPECT_EQ(logged, c.reason != nullptr);
        }
    }
}

}  // namespace
}  // namespace live
