#pragma once
// Helpers of the window tests: running the toolkit's loop for a while, and
// screenshots into the test's output folder.

#include <functional>
#include <string>

class wxWindow;

namespace uitest {

// Runs the event loop until done() holds or the time is up; done()'s last value.
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for a while.
void RunFor(int ms);
// Saves the window's picture as <build>/test-output/ui/<name>.png; the path.
std::string Screenshot(wxWindow& window, const std::string& name);

} // namespace uitest
