#pragma once
// The user's documents folder, where exports are proposed when the user has
// chosen no folder yet.

#include <string>

namespace platform {

// XDG_DOCUMENTS_DIR (from the environment, else from user-dirs.dirs), else
// ~/Documents when it exists; without '/' at the end. Empty when unknown.
std::string GetMyDocumentsPath();

} // namespace platform
