// Fetch threads against the test servers: one entry's attributes, one level
// of entries, failures and cancels.

#include <gtest/gtest.h>

#include <ldap.h>

#include <chrono>
#include <map>
#include <thread>

#include "jobs/CLDAPFetchThread.h"
#include "ldap/LDAPOperationOptions.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

using namespace std::chrono_literals;
using jobtest::FetchJob;

const char kAlice[] = "cn=Alice Example,ou=people,o=lab";

class FetchThread : public ::testing::Test {
protected:
    // Runs a fetch job on its thread to its end.
    std::shared_ptr<FetchJob> Run(FetchJob::Work work, const LDAPOperationOptions* options = nullptr)
    {
        auto job = std::make_shared<FetchJob>(std::move(work), Open(MainServer().Port()), options);
        EXPECT_TRUE(job->CreateThread());
        EXPECT_TRUE(WaitForAllThreads(10s));
        EXPECT_EQ(job->finishes, 1);
        return job;
    }

    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(5s));
        EXPECT_EQ(GetRunningThreadCount(), 0);
    }
};

StringList List(std::initializer_list<const char*> texts)
{
    StringList list;
    for (const char* text : texts)
        list.Add(text);
    return list;
}

std::multimap<std::string, std::string> PairsOf(const LDAPEntry& entry)
{
    std::multimap<std::string, std::string> pairs;
    for (const LDAPAttribute& attribute : entry.GetAttributes())
        for (std::string_view value : attribute.GetValues())
            pairs.emplace(attribute.GetName(), value);
    return pairs;
}

TEST_F(FetchThread, ReadsTheAttributesOfOneEntry)
{
    bool found = false;
    std::shared_ptr<FetchJob> job =
        Run([&](FetchJob& j) { found = j.FetchAttributeValues(kAlice, "(objectClass=*)", StringList()); });
    EXPECT_TRUE(found);
    EXPECT_EQ(job->errors, 0);

    StringList values;
    EXPECT_TRUE(job->GetFetchedValues("MAIL", values));
    EXPECT_EQ(values, List({"alice@example.org"}));
    EXPECT_TRUE(job->GetFetchedValues("jpegphoto", values));
    ASSERT_EQ(values.GetCount(), 1u);
    EXPECT_EQ(*values.begin(), std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x00\xFF\x00\xFF\xD9", 17));
    values.Add("left over");
    EXPECT_FALSE(job->GetFetchedValues("nosuch", values));
    EXPECT_TRUE(values.IsEmpty());

    RefPtr<LDAPSyncConnection> sync = OpenSync(MainServer().Port());
    std::unique_ptr<LDAPSearchResults> expected = sync->Search(kAlice, 0, "", StringList(), false);
    ASSERT_EQ(expected->GetEntries().GetCount(), 1u);
    std::multimap<std::string, std::string> pairs{{"stale", "pair"}};
    EXPECT_TRUE(job->GetAttributeValuePairs("", pairs));
    EXPECT_EQ(pairs, PairsOf(*expected->GetEntries().begin()));

    struct Case {
        const char* name;
        std::multimap<std::string, std::string> pairs;
    };
    const Case cases[] = {
        {"CN", {{"cn", "Alice Example"}}},
        {"telephonenumber", {{"telephoneNumber", "+1 555 0100"}}},
        {"sn;lang-en", {}},
        {"nosuch", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(job->GetAttributeValuePairs(c.name, pairs), !c.pairs.empty());
        EXPECT_EQ(pairs, c.pairs);
    }
}

TEST_F(FetchThread, FetchesThatFindNoEntry)
{
    struct Case {
        const char* name;
        std::string base;
        StringList attributes;
        bool found;
        int error;
        std::multimap<std::string, std::string> pairs;
    };
    const Case cases[] = {
        {"only the attributes asked for", kAlice, List({"sn", "givenName"}), true, -1,
         {{"sn", "Example"}, {"givenName", "Alice"}}},
        {"the root DSE", "", List({"namingContexts"}), true, -1, {{"namingContexts", "o=lab"}, {"namingContexts", "o=other"}}},
        {"a missing entry", "cn=nobody,o=lab", StringList(), false, 32, {}},
        {"a referral object", "cn=good,ou=refs,o=lab", StringList(), false, 10, {}},
        {"a bad DN", "not a dn", StringList(), false, 34, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool found = false;
        std::shared_ptr<FetchJob> job =
            Run([&](FetchJob& j) { found = j.FetchAttributeValues(c.base, "(objectClass=*)", c.attributes); });
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(job->errors, c.error < 0 ? 0 : 1);
        EXPECT_EQ(job->lastError, c.error);
        std::multimap<std::string, std::string> pairs;
        EXPECT_EQ(job->GetAttributeValuePairs("", pairs), c.found);
        EXPECT_EQ(pairs, c.pairs);
    }
}

TEST_F(FetchThread, EachFetchForgetsTheEntryBefore)
{
    bool first = false;
    int secondError = 0;
    bool keptAfterFailure = true;
    Run([&](FetchJob& j) {
        first = j.FetchAttributeValues(kAlice, "(objectClass=*)", StringList());
        try {
            j.FetchAttributeValues("cn=nobody,o=lab", "(objectClass=*)", StringList());
        } catch (const LDAPException& e) {
            secondError = e.GetResultCode();
        }
        StringList values;
        keptAfterFailure = j.GetFetchedValues("mail", values);
    });
    EXPECT_TRUE(first);
    EXPECT_EQ(secondError, 32);
    EXPECT_FALSE(keptAfterFailure);
}

TEST_F(FetchThread, ReadsOneLevelOfEntries)
{
    RefPtr<LDAPSyncConnection> sync = OpenSync(MainServer().Port());
    auto dnsBelow = [&](const std::string& base) {
        StringList dns;
        std::unique_ptr<LDAPSearchResults> results = sync->Search(base, 1, "", StringList(), false);
        for (const LDAPEntry& entry : results->GetEntries())
            dns.Add(entry.GetDN());
        return dns;
    };
    struct Case {
        const char* name;
        std::string base;
        bool done;
        int error;
        StringList dns;
    };
    const Case cases[] = {
        {"people", "ou=people,o=lab", true, -1, dnsBelow("ou=people,o=lab")},
        {"references are skipped", "ou=refs,o=lab", true, -1, List({"cn=local,ou=refs,o=lab"})},
        {"a leaf", "cn=printer,ou=devices,o=lab", true, -1, StringList()},
        {"a missing base", "ou=nowhere,o=lab", false, 32, StringList()},
    };
    ASSERT_EQ(cases[0].dns.GetCount(), 3u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool done = false;
        std::shared_ptr<FetchJob> job =
            Run([&](FetchJob& j) { done = j.SearchOneLevel(c.base, "(objectClass=*)", List({"1.1"})); });
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(job->lastError, c.error);
        StringList dns;
        dns.Add("stale");
        EXPECT_TRUE(job->GetFoundDNs(dns));
        EXPECT_EQ(dns, c.dns);
    }
}

TEST_F(FetchThread, SearchesWithTheThreadsOptions)
{
    LDAPOperationOptions options;
    options.SetSizeLimit(1);
    std::shared_ptr<FetchJob> job =
        Run([](FetchJob& j) { j.SearchOneLevel("ou=people,o=lab", "(objectClass=*)", StringList()); }, &options);
    EXPECT_EQ(job->lastError, LDAP_SIZELIMIT_EXCEEDED);
}

TEST_F(FetchThread, ACancelledFetchAbandonsAndEndsQuietly)
{
    struct Case {
        const char* name;
        bool wait;
    };
    SilentServer silent;
    for (const Case& c : {Case{"cancel", true}, Case{"request", false}}) {
        SCOPED_TRACE(c.name);
        bool returned = false;
        auto job = std::make_shared<FetchJob>(
            [&](FetchJob& j) {
                j.FetchAttributeValues("", "(objectClass=*)", StringList());
                returned = true;
            },
            Open(silent.Port()), nullptr);
        ASSERT_TRUE(job->CreateThread());
        while (!job->IsDoneSignalled())
            std::this_thread::sleep_for(1ms);
        auto start = std::chrono::steady_clock::now();
        if (c.wait)
            job->Cancel();
        else
            job->RequestCancel();
        ASSERT_TRUE(WaitForAllThreads(jobtest::kHangLimit));
        EXPECT_LT(std::chrono::steady_clock::now() - start, jobtest::NoWaitBound());
        EXPECT_FALSE(returned);
        EXPECT_TRUE(job->IsCancelled());
        EXPECT_EQ(job->errors, 0);
        EXPECT_EQ(job->finishes, 1);
    }
}

}  // namespace
}  // namespace live
