#pragma once
// Where the program's files live. Every folder text ends with '/'.
// ARBOLITE_HOME, when set, holds all per-user folders below it.

#include <string>

namespace platform {

// The folder of the running executable.
std::string GetProgramFolder();
// Per-user data (schema cache, message log): created on first use, mode 0700.
std::string GetUserDataFolder();
// Per-user settings (the user root of the settings store): created, mode 0700.
std::string GetUserConfigFolder();
// The read-only machine settings folder.
std::string GetMachineConfigFolder();
// The folder for temporary files.
std::string GetTempFolder();
// The user's documents folder as the desktop names it (XDG_DOCUMENTS_DIR, from
// the environment or the user-dirs file); empty when it names none or the
// folder is not there.
std::string GetMyDocumentsPath();

// mkdir -p with the given mode for folders it creates; true when the folder exists.
bool MakeFolders(const std::string& path, unsigned mode = 0700);

} // namespace platform
