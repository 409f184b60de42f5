#pragma once
// Helpers of the window tests: running the toolkit's loop for a while, and
// screenshots into the test's output folder.

#include <functional>
#include <string>

#include <wx/gdicmn.h>
#include <wx/image.h>

class wxDialog;
class wxTextCtrl;
class wxWindow;

namespace uitest {

// Runs the event loop until done() holds or the time is up; done()'s last value.
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for a while.
void RunFor(int ms);
// Waits until the display server has done all that was asked of it so far,
// then lets the toolkit read its answers (a window's map, say).
void SyncWithDisplay();
// True once a window manager has taken the display (it names itself on the
// root window).
bool WindowManagerRuns();
// Saves the window's picture as <build>/test-output/ui/<name>.png; the path.
std::string Screenshot(wxWindow& window, const std::string& name);
// The same into <build>/test-output/<folder>/<name>.png.
std::string Screenshot(wxWindow& window, const std::string& name, const std::string& folder);
// A desktop box (a file box), which the toolkit does not draw itself, as
// the screen shows it, into <build>/test-output/<folder>/<name>.png.
std::string DesktopBoxScreenshot(wxWindow& box, const std::string& name, const std::string& folder);
// The pixels of part of the window's client area as they are on the screen.
wxImage Pixels(wxWindow& window, const wxRect& area);
// How many of the image's pixels are dark (ink rather than background).
int DarkPixels(const wxImage& image);
// The top-level dialog of that name (an XRC dialog's is "dialog<id>") that
// is not being destroyed, shown or hidden; null when there is none.
wxDialog* FindDialog(const wxString& name);
// The text a static text control of the window shows; "(none)" without one.
wxString LabelOf(wxWindow& window, int id);
// A click on the window's button of that id, as the button sends it;
// throws std::runtime_error when there is none.
void Click(wxWindow& window, int id);
// The window's text control of that id; throws std::runtime_error when
// there is none.
wxTextCtrl& TextOf(wxWindow& window, int id);

} // namespace uitest
