#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "ldap/LDAPException.h"
#include "ldap/LDAPModificationList.h"
#include "tests/support/LiveSupport.h"

using namespace arbldap;

namespace live {
namespace {

constexpr int kRounds = 4000;
constexpr int kSearchers = 2;

// The code an operation ended with: its result, or what it threw.
int CodeOf(const std::function<int()>& operation)
{
    try {
        return operation();
    } catch (const LDAPException& e) {
        return e.GetResultCode();
    }
}

// One thread repeats an operation whose answer never changes while another
// sends searches on the same session all the while. The session's own error
// state is reset by every send of the searching thread, so a result code read
// from there instead of from the result's message comes out wrong.
TEST(SharedSession, EveryResultKeepsItsOwnCodeWhileAnotherThreadSearches)
{
    const std::string missing = std::string("cn=missing,") + kScratch;
    LDAPModificationList changes;
    changes.Add(LDAPModification(LDAPAttribute("description", "x"), 2));
    StringList none;

    // The searching thread reads each search to its end, except beside binds:
    // the server abandons a session's outstanding requests when a bind
    // arrives, so there it drops each search (which abandons it) unread.
    struct Case {
        const char* name;
        std::function<int(LDAPSyncConnection&)> run;
        int expected;
        bool readSearches;
    };
    const Case cases[] = {
        {"sync modify of a missing entry",
         [&](LDAPSyncConnection& c) { c.Modify(missing, changes); return 0; }, 32, true},
        {"queued modify of a missing entry",
         [&](LDAPSyncConnection& c) { return ResultCode(*c.LDAPConnection::Modify(missing, changes)); }, 32, true},
        {"sync compare true",
         [&](LDAPSyncConnection& c) { return c.Compare("o=lab", LDAPAttribute("o", "lab")) ? 6 : 5; }, 6, true},
        {"queued compare true",
         [&](LDAPSyncConnection& c) {
             return ResultCode(*c.LDAPConnection::Compare("o=lab", LDAPAttribute("o", "lab")));
         },
         6, true},
        {"sync unknown extended operation",
         [&](LDAPSyncConnection& c) { c.Extended("1.2.3.4.5.6.7", ""); return 0; }, 2, true},
        {"queued unknown extended operation",
         [&](LDAPSyncConnection& c) { return ResultCode(*c.LDAPConnection::Extended("1.2.3.4.5.6.7", "")); }, 2,
         true},
        {"sync bind with a wrong password",
         [&](LDAPSyncConnection& c) { c.Bind(testsupport::kAdminDN, "wrong"); return 0; }, 49, false},
        {"queued bind with a wrong password",
         [&](LDAPSyncConnection& c) { return ResultCode(*c.LDAPConnection::Bind(testsupport::kAdminDN, "wrong")); },
         49, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<LDAPSyncConnection> connection = OpenAdmin();
        std::atomic<bool> done{false};
        std::atomic<int> searches{0};
        std::atomic<int> searchFailures{0};
        auto search = [&] {
            while (!done) {
                int code = CodeOf([&] {
                    if (!c.readSearches) {
                        connection->LDAPConnection::Search("o=lab", 0, "", none, false);
                        // Unread requests pile up on the server: give it time.
                        std::this_thread::sleep_for(std::chrono::microseconds(200));
                        return 0;
                    }
                    size_t found = connection->Search("o=lab", 0, "", none, false)->GetEntries().GetCount();
                    return found == 1 ? 0 : -1;
                });
                if (code != 0) ++searchFailures;
                ++searches;
            }
        };
        std::map<int, int> wrong;  // code -> times
        {
            struct Searchers {
                std::atomic<bool>& done;
                std::vector<std::thread> threads;
                ~Searchers()
                {
                    done = true;
                    for (std::thread& thread : threads) thread.join();
                }
            } searchers{done, {}};
            for (int i = 0; i < kSearchers; ++i)
                searchers.threads.emplace_back(search);
            for (int round = 0; round < kRounds; ++round) {
                int code = CodeOf([&] { return c.run(*connection); });
                if (code != c.expected) ++wrong[code];
            }
        }
        std::string seen;
        for (const auto& [code, times] : wrong)
            seen += " " + std::to_string(code) + " x" + std::to_string(times);
        EXPECT_TRUE(wrong.empty()) << "wrong codes:" << seen;
        EXPECT_EQ(searchFailures, 0);
        EXPECT_GT(searches, 0);
    }
}

}  // namespace
}  // namespace live
