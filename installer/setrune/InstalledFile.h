#pragma once
// Where the installation puts a file of its File table.

#include <string>

#include "installer/msi/Msi.h"

namespace setrune {

// The target folder of the file's component's directory and its long name
// (the short one when the installation uses short target names). False when
// a step fails.
bool InstalledFilePath(MSIHANDLE hInstall, MSIHANDLE db, const std::string& fileKey, std::wstring* path);

} // namespace setrune
