#pragma once
// The wx application of the window tests and small helpers around it.

#include <chrono>
#include <functional>
#include <string>

#include <wx/app.h>
#include <wx/window.h>

namespace uitest {

// Runs the event loop until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20));
// Runs the pending events a few times over.
void Pump();
// Runs the event loop for a while (windows being mapped and painted).
void PumpFor(std::chrono::milliseconds time);

// Writes the window's screen area as a PNG into the test output folder and
// returns the path; empty when it could not be written.
std::string Screenshot(wxWindow* window, const std::string& name);
// Number of distinct colours in a PNG (a blank capture has one or two).
size_t DistinctColours(const std::string& path);

} // namespace uitest
