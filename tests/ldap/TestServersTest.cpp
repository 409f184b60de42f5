#include <gtest/gtest.h>

#include "tests/support/SlapdServer.h"

using testsupport::Run;
using testsupport::SlapdServer;

namespace {

std::string Search(int port, const std::string& args)
{
    return Run("ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" + std::to_string(port) + "/ " + args);
}

// The fixture itself: if these fail, every directory test below is moot.
TEST(TestServers, ServeTheirDataOnEveryPort)
{
    SlapdServer& main = SlapdServer::Main();
    std::string alice = Search(main.Port(), "-b 'ou=people,o=lab' '(sn=Example)' jpegPhoto");
    EXPECT_NE(alice.find("jpegPhoto:: /9j/4AAQSkZJRgABAP8A/9k="), std::string::npos) << alice;
    EXPECT_NE(Search(main.Port2(), "-b o=other '(cn=Bob Remote)' cn").find("Bob Remote"), std::string::npos);
    std::string tls = testsupport::Run("env -u LDAPNOINIT LDAPRC=/nonexistent LDAPTLS_CACERT='" + main.CertFolder() + "cacerts.pem' ldapsearch -x -LLL -H ldaps://127.0.0.1:" +
                          std::to_string(main.SslPort()) + "/ -b o=lab -s base dn");
    EXPECT_NE(tls.find("dn: o=lab"), std::string::npos) << tls;
    EXPECT_NE(Search(SlapdServer::Second().Port(), "-b o=elsewhere -s one dn").find("ou=people,o=elsewhere"),
              std::string::npos);
    EXPECT_NE(Search(main.Port(), "-b cn=monitor -s base dn").find("cn=Monitor"), std::string::npos);
}

TEST(TestServers, HoldReferralEntries)
{
    std::string refs = Search(SlapdServer::Main().Port(), "-b 'ou=refs,o=lab' -s one '(objectClass=*)' dn");
    for (const char* url : {"/ou=people,o=other", "/ou=gone,o=other", "ldap://127.0.0.1:1/"})
        EXPECT_NE(refs.find(url), std::string::npos) << refs;
}

} // namespace
