#pragma once
// Helpers of the window tests: running the toolkit's loop for a while, and
// screenshots into the test's output folder.

#include <functional>
#include <string>

#include <wx/gdicmn.h>
#include <wx/image.h>

class wxWindow;

namespace uitest {

// Runs the event loop until done() holds or the time is up; done()'s last value.
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for a while.
void RunFor(int ms);
// Saves the window's picture as <build>/test-output/ui/<name>.png; the path.
std::string Screenshot(wxWindow& window, const std::string& name);
// The pixels of part of the window's client area as they are on the screen.
wxImage Pixels(wxWindow& window, const wxRect& area);
// How many of the image's pixels are dark (ink rather than background).
int DarkPixels(const wxImage& image);

} // namespace uitest
