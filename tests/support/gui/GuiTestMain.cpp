#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <chrono>

#include "jobs/CLDAPThread.h"
#include "platform/BrokenPipe.h"
#include "tests/support/JobsLeftCheck.h"

// The toolkit is up for every test; each test runs its own event loops. Every
// test is checked for jobs it left running, and no worker outlives the end.
int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::InstallJobsLeftCheck();
    wxApp::SetInstance(new wxApp);
    wxInitializer toolkit(argc, argv);
    if (!toolkit.IsOk()) return 2;
    wxInitAllImageHandlers();
    // Before the toolkit goes: a worker may still wait on its event loop.
    return EndWorkersBeforeExit(RUN_ALL_TESTS(), std::chrono::seconds(5));
}
