#pragma once
// Starting a desktop helper program without a shell: the program is looked
// up along PATH, started with the arguments as given, and reaped on a thread
// of its own; nobody waits for it.

#include <string>
#include <vector>

namespace platform {

// arguments[0] is the program. False when it could not be started.
bool StartProgram(const std::vector<std::string>& arguments);

} // namespace platform
