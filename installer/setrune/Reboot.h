#pragma once
// The reboot the package asks for unless OLVANEREBOOT says otherwise.

#include "installer/msi/Msi.h"

namespace setrune {

// 0 when OLVANEREBOOT holds a value; else the installer's "ForceReboot"
// action runs, the reboot is set to happen now and the result is
// ERROR_INSTALL_SUSPEND.
UINT RequestReboot(MSIHANDLE hInstall);

} // namespace setrune
