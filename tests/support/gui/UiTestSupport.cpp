#include "tests/support/gui/UiTestSupport.h"

#include <dlfcn.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <X11/Xlib.h>

namespace uitest {

bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void RunFor(int ms)
{
    RunUntil([] { return false; }, ms);
}

void SyncWithDisplay()
{
    if (Display* display = wxGetX11Display())
        XSync(display, False);
    // The answers wait in the connection's queue now.
    RunFor(20);
}

bool WindowManagerRuns()
{
    Display* display = wxGetX11Display();
    if (!display)
        return false;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, AnyPropertyType,
                                          &type, &format, &count, &after, &data);
    const bool found = status == Success && type != None && count > 0;
    if (data)
        XFree(data);
    return found;
}

std::string Screenshot(wxWindow& window, const std::string& name)
{
    return Screenshot(window, name, "ui");
}

std::string Screenshot(wxWindow& window, const std::string& name, const std::string& folderName)
{
    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/" + folderName + "/";
    wxFileName::Mkdir(folder, 0755, wxPATH_MKDIR_FULL);
    window.Update();
    RunFor(200);
    const std::string path = folder + name + ".png";
    Pixels(window, wxRect(window.GetClientSize())).SaveFile(path, wxBITMAP_TYPE_PNG);
    return path;
}

std::string DesktopBoxScreenshot(wxWindow& box, const std::string& name, const std::string& folderName)
{
    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/" + folderName + "/";
    wxFileName::Mkdir(folder, 0755, wxPATH_MKDIR_FULL);
    RunFor(300);
    SyncWithDisplay();
    // The box's place on the screen, from the desktop library.
    struct Rect {
        int x, y, width, height;
    } frame = {0, 0, 0, 0};
    auto windowOf = reinterpret_cast<void* (*)(void*)>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    auto extents = reinterpret_cast<void (*)(void*, Rect*)>(dlsym(RTLD_DEFAULT, "gdk_window_get_frame_extents"));
    if (windowOf && extents && box.GetHandle())
        if (void* window = windowOf(box.GetHandle()))
            extents(window, &frame);
    wxScreenDC screen;
    wxRect area(frame.x, frame.y, frame.width, frame.height);
    if (area.IsEmpty())
        area = wxRect(screen.GetSize());
    wxBitmap bitmap(area.width, area.height);
    wxMemoryDC target(bitmap);
    target.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    target.SelectObject(wxNullBitmap);
    const std::string path = folder + name + ".png";
    bitmap.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
    return path;
}

wxImage Pixels(wxWindow& window, const wxRect& area)
{
    wxClientDC source(&window);
    wxBitmap bitmap(area.width, area.height);
    wxMemoryDC target(bitmap);
    target.Blit(0, 0, area.width, area.height, &source, area.x, area.y);
    target.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

int DarkPixels(const wxImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 384) ++dark;
    return dark;
}

wxDialog* FindDialog(const wxString& name)
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window))
            if (dialog->GetName() == name && !dialog->IsBeingDeleted())
                return dialog;
    return nullptr;
}

wxString LabelOf(wxWindow& window, int id)
{
    auto* text = dynamic_cast<wxStaticText*>(window.FindWindow(id));
    return text ? text->GetLabelText() : wxString("(none)");
}

void Click(wxWindow& window, int id)
{
    wxWindow* button = window.FindWindow(id);
    if (!button)
        throw std::runtime_error("no button " + std::to_string(id));
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

wxTextCtrl& TextOf(wxWindow& window, int id)
{
    auto* edit = dynamic_cast<wxTextCtrl*>(window.FindWindow(id));
    if (!edit)
        throw std::runtime_error("no text control " + std::to_string(id));
    return *edit;
}

} // namespace uitest
