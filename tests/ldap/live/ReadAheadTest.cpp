#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ldap/LDAPException.h"
#include "ldap/ReadAhead.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

const std::string kBranch = "ou=readahead," + std::string(kScratch);

std::string Bytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

LDAPEntry Person(const std::string& cn, const std::string& photo)
{
    LDAPEntry entry("cn=" + cn + "," + kBranch);
    entry.GetAttributes().Add(LDAPAttribute("objectClass", "inetOrgPerson"));
    entry.GetAttributes().Add(LDAPAttribute("cn", cn));
    entry.GetAttributes().Add(LDAPAttribute("sn", cn));
    if (!photo.empty()) entry.GetAttributes().Add(LDAPAttribute("jpegPhoto", photo));
    return entry;
}

struct Branch {
    Branch()
    {
        admin = OpenAdmin();
        LDAPEntry ou(kBranch);
        ou.GetAttributes().Add(LDAPAttribute("objectClass", "organizationalUnit"));
        ou.GetAttributes().Add(LDAPAttribute("ou", "readahead"));
        Remove();
        admin->Add(ou);
    }
    ~Branch() { Remove(); }
    void Remove()
    {
        try {
            std::unique_ptr<LDAPSearchResults> found = admin->Search(kBranch, 1, "", StringList(), false);
            for (const LDAPEntry& entry : found->GetEntries()) admin->Delete(entry.GetDN());
            admin->Delete(kBranch);
        } catch (const LDAPException&) {
        }
    }
    RefPtr<LDAPSyncConnection> admin;
};

// Answers bigger than the buffer, with many small ones behind them in the
// same reads, arrive whole and in order.
TEST(ReadAhead, LargeAndSmallAnswersArriveWhole)
{
    Branch branch;
    std::vector<std::pair<std::string, std::string>> people;  // cn, photo
    for (int i = 0; i < 60; ++i) {
        std::string photo;
        if (i == 10) photo = Bytes(100000, 1);  // several buffers' worth
        if (i == 11) photo = Bytes(16384, 2);   // about one buffer
        if (i == 40) photo = Bytes(40000, 3);
        people.emplace_back("p" + std::to_string(i), photo);
        branch.admin->Add(Person(people.back().first, photo));
    }

    LDAPConnectionPtr connection = Open(MainServer().Port());
    std::vector<LDAPEntry> entries = Entries(*connection->Search(kBranch, 1, "", StringList(), false));
    EXPECT_TRUE(SessionReadsAreBuffered(connection->GetSession()));
    ASSERT_EQ(entries.size(), people.size());
    for (const auto& [cn, photo] : people) {
        SCOPED_TRACE(cn);
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const LDAPEntry& e) { return e.GetDN() == "cn=" + cn + "," + kBranch; });
        ASSERT_NE(entry, entries.end());
        const LDAPAttribute* value = nullptr;
        for (const LDAPAttribute& attribute : entry->GetAttributes())
            if (attribute.GetName() == "jpegPhoto") value = &attribute;
        if (photo.empty()) {
            EXPECT_EQ(value, nullptr);
        } else {
            ASSERT_NE(value, nullptr);
            ASSERT_EQ(value->GetValues().GetCount(), 1u);
            EXPECT_TRUE(*value->GetValues().begin() == photo);
        }
    }
}

TEST(ReadAhead, SecureSessionsReadThroughTheBufferToo)
{
    ASSERT_TRUE(InitSSLCertDB(MainServer().CertFolder(), false));
    RefPtr<LDAPSyncConnection> connection = OpenSync(MainServer().SslPort());
    LDAPOperationOptions options;
    options.SetUseSSL(true);
    connection->Bind(testsupport::kAdminDN, testsupport::kAdminPassword, &options);
    EXPECT_TRUE(SessionReadsAreBuffered(connection->GetSession()));
    std::unique_ptr<LDAPSearchResults> results = connection->Search("o=lab", 2, "", StringList(), false);
    EXPECT_GT(results->GetEntries().GetCount(), 10u);
}

}  // namespace
}  // namespace live
