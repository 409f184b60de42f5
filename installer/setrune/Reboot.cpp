// ForceReboot and the reboot request the setup programs share.

#include <string>

#include "installer/setrune/Actions.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/Reboot.h"

namespace setrune {

UINT RequestReboot(MSIHANDLE hInstall)
{
    std::string suppress;
    if (GetProperty(hInstall, "OLVANEREBOOT", 260, &suppress) && !suppress.empty()) return ERROR_SUCCESS;
    MsiDoActionA(hInstall, "ForceReboot");
    MsiSetMode(hInstall, MSIRUNMODE_REBOOTNOW, TRUE);
    return ERROR_INSTALL_SUSPEND;
}

} // namespace setrune

SETRUNE_ACTION ForceReboot(MSIHANDLE hInstall)
{
    return setrune::RequestReboot(hInstall);
}
