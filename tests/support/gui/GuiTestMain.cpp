#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "platform/BrokenPipe.h"

// The toolkit is up for every test; each test runs its own event loops.
int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    wxInitializer toolkit(argc, argv);
    if (!toolkit.IsOk()) return 2;
    wxInitAllImageHandlers();
    return RUN_ALL_TESTS();
}
