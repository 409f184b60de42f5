// The main of every test program. Like the program, it ignores SIGPIPE before
// anything else: a test whose server drops a connection must see the request
// fail, not the whole test program end. Every test is checked for jobs it
// left running, and no worker outlives the program's end.

#include <gtest/gtest.h>

#include <chrono>

#include "jobs/CLDAPThread.h"
#include "platform/BrokenPipe.h"
#include "tests/support/JobsLeftCheck.h"

int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    testing::InitGoogleTest(&argc, argv);
    testsupport::InstallJobsLeftCheck();
    return EndWorkersBeforeExit(RUN_ALL_TESTS(), std::chrono::seconds(5));
}
