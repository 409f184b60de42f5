#include "tests/support/JobsLeftCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "jobs/CLDAPThread.h"
#include "jobs/HelperThreads.h"

namespace testsupport {
namespace {

using namespace std::chrono_literals;

// A job is over once it has left the registry; its thread then only
// returns, which may take a moment on a loaded machine.
constexpr auto kThreadEndGrace = 2s;
constexpr auto kCleanUp = 20s;

class JobsLeftCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        const std::string name = std::string(test.test_suite_name()) + "." + test.name();
        const int workers = GetRunningThreadCount();
        const int helpers = GetRunningHelperThreadCount();
        if (workers != 0 || helpers != 0) {
            ADD_FAILURE() << name << " left jobs running at its end: " << workers << " worker(s), " << helpers
                          << " helper thread(s)";
            if (!CancelAllThreadsAndWait(kCleanUp))
                ADD_FAILURE() << "and they did not stop when cancelled";
            return;
        }
        if (!WaitForAllThreads(kThreadEndGrace))
            ADD_FAILURE() << name << " left a worker thread that did not end after its job";
    }
};

}  // namespace

void InstallJobsLeftCheck()
{
    // Appended after the result printer, so it is asked about a test's end
    // before the printer writes the verdict.
    ::testing::UnitTest::GetInstance()->listeners().Append(new JobsLeftCheck);
}

}  // namespace testsupport
