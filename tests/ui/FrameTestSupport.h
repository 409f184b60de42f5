#pragma once
// Helpers of the main window's and the shell dialogs' tests: the resource
// library and the toolkit's resources, assertions as failures, the event
// loop with its idle work (windows destroyed), and whole-window captures.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/window.h>

#include "jobs/CLDAPThread.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/gui/UiTestSupport.h"
#include "ui/CArbMainFrame.h"
#include "widgets/UiResources.h"

namespace frametest {

// A toolkit assertion is a failed test, never a message box waiting for a click.
inline void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                         const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "toolkit assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " " << msg.utf8_string();
}

inline void Prepare()
{
    wxSetAssertHandler(FailOnAssert);
    if (!platform::ResourceLibrary::Current().IsLoaded()) {
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault()) << "the resource library beside the tests";
    }
    ui::InitUiResources();
}

// The pending events, then the idle work (windows that were destroyed go).
inline void Pump()
{
    uitest::RunFor(20);
    wxTheApp->ProcessIdle();
}

inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Pump();
    }
    return true;
}

// Pumps until no worker runs, and still none after the messages the last
// ones posted were handled: those may start the next job (a connect's end
// starts the fetch of the server's children).
inline bool PumpUntilNoJobs(std::chrono::milliseconds limit = std::chrono::seconds(30))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    auto noJobs = [] { return GetRunningThreadCount() == 0; };
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !PumpUntil(noJobs, left))
            return false;
        Pump();
        if (noJobs())
            return true;
    }
}

// The screen within a rectangle, as <build>/test-output/ui/<name>.png; the
// path, or empty.
inline std::string ScreenAreaCapture(const wxRect& r, const std::string& name)
{
    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/ui";
    std::filesystem::create_directories(folder);
    wxBitmap bitmap(r.width, r.height, 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
    }
    std::string path = folder + "/" + name + ".png";
    return bitmap.SaveFile(path, wxBITMAP_TYPE_PNG) ? path : std::string();
}

// The window's whole area on the screen, frame, menu and status bar
// included, as <build>/test-output/ui/<name>.png; the path, or empty.
inline std::string ScreenCapture(wxWindow* window, const std::string& name)
{
    window->Raise();
    window->Refresh();
    window->Update();
    uitest::RunFor(400);
    return ScreenAreaCapture(window->GetScreenRect(), name);
}

// Shows a window and waits until it is on the screen; false when it never is.
inline bool ShowOnScreen(wxWindow* window)
{
    window->Show();
    return PumpUntil([window] { return window->IsShownOnScreen(); });
}

// A new main window, shown and on the screen; null when it cannot be made.
inline CArbMainFrame* ShowNewMainFrame()
{
    CArbMainFrame* frame = CreateMainFrame();
    if (frame)
        ShowOnScreen(frame);
    return frame;
}

// Number of distinct colours in a PNG (a blank capture has one or two).
inline size_t DistinctColours(const std::string& path)
{
    wxImage image(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
    if (!image.IsOk())
        return 0;
    std::set<unsigned long> colours;
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3)
        colours.insert(static_cast<unsigned long>(p[0]) << 16 | static_cast<unsigned long>(p[1]) << 8 | p[2]);
    return colours.size();
}

} // namespace frametest
