#pragma once
// The value files a run writes to show a value (photos, sounds): registered
// when written, deleted when the program ends.

#include <string>
#include <vector>

namespace platform {

// Keeps the path for deletion at exit. Any thread.
void RegisterTempFile(const std::string& path);
// The paths registered and not yet deleted.
std::vector<std::string> GetRegisteredTempFiles();
// Deletes every registered file (a file already gone is no failure) and
// empties the list.
void DeleteRegisteredTempFiles();

} // namespace platform
