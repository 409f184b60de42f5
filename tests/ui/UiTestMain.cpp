// The window tests run inside one wx application on the main thread.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "platform/ResourceLibrary.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/UiResources.h"

namespace uitest {

void Pump()
{
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        while (wxEventLoopBase::GetActive() && wxEventLoopBase::GetActive()->Pending())
            wxEventLoopBase::GetActive()->Dispatch();
        wxYield();
    }
}

void PumpFor(std::chrono::milliseconds time)
{
    auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
        Pump();
        wxMilliSleep(5);
    }
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Pump();
        wxMilliSleep(5);
    }
    return true;
}

std::string Screenshot(wxWindow* window, const std::string& name)
{
    std::filesystem::create_directories(ARB_TEST_OUTPUT_DIR);
    window->Raise();
    window->Refresh();
    window->Update();
    // Mapping and painting happen in their own time.
    PumpFor(std::chrono::milliseconds(400));
    wxRect r = window->GetScreenRect();
    wxBitmap bitmap(r.width, r.height, 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
    }
    std::string path = std::string(ARB_TEST_OUTPUT_DIR) + "/" + name + ".png";
    return bitmap.SaveFile(path, wxBITMAP_TYPE_PNG) ? path : std::string();
}

size_t DistinctColours(const std::string& path)
{
    wxImage image(path, wxBITMAP_TYPE_PNG);
    if (!image.IsOk())
        return 0;
    std::set<unsigned long> colours;
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3)
        colours.insert((unsigned long)p[0] << 16 | p[1] << 8 | p[2]);
    return colours.size();
}

} // namespace uitest

namespace {
// A toolkit assertion is a failed test, never a message box waiting for a click.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "toolkit assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " " << msg.utf8_string();
}
} // namespace

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp());
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "no display: the window tests run under Xvfb (xvfb-run)\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    wxTheApp->CallOnInit();
    // The tests close their windows themselves.
    wxTheApp->SetExitOnFrameDelete(false);
    platform::ResourceLibrary::Current().LoadDefault();
    ui::InitUiResources();
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
