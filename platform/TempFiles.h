#pragma once
// Temporary files that hold a value for a desktop handler to open. Each is
// made exclusively (never by name and then open), readable by its owner
// only, and deleted when the program ends.

#include <string>
#include <vector>

namespace platform {

// Creates a new file in the temporary folder named prefix, a unique part,
// "." and extension, writes bytes into it and returns its path in path.
// False when it cannot be made (errorCode: 1) or written (2); a file that
// was made but not written whole is removed again.
bool CreateTempFileWithBytes(const std::string& prefix, const std::string& extension, const std::string& bytes,
                             std::string& path, int* errorCode = nullptr);

// Keeps the path for deletion at exit. Any thread.
void RegisterTempFile(const std::string& path);
// The paths registered and not yet deleted.
std::vector<std::string> GetRegisteredTempFiles();
// Deletes every registered file (a file already gone is no failure) and
// empties the list: the program's exit; also run by a static destructor, so
// a program that forgets it leaves nothing behind.
void DeleteRegisteredTempFiles();

} // namespace platform
