#pragma once
// Setup programs the package carries in its Binary table.

#include <string>

#include "installer/msi/Msi.h"

namespace setrune {

bool BinaryHasRecord(MSIHANDLE hInstall, const std::string& name);

// Copies the record's Data into a new temporary file, runs it with
// "/r:n /q:a" (and, for MDAC, /c:"setup.exe /qnt"), waits for its end and
// deletes the file. After a program that ran, the reboot is requested unless
// OlvaneMDACSuppressReboot holds a non-zero number: the result is then the
// reboot request's. Everything else ends with 0.
UINT RunStoredSetup(MSIHANDLE hInstall, const std::string& name, bool mdac);

} // namespace setrune
