// InstallDCOM: DCOM for Windows 95 when the installed one is older than
// 4.71.0.3328.

#include <string>

#include "installer/setrune/Actions.h"
#include "installer/setrune/Binary.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/RegKey.h"
#include "installer/setrune/VersionParts.h"

SETRUNE_ACTION InstallDCOM(MSIHANDLE hInstall)
{
    if (setrune::IsDeferred(hInstall)) return ERROR_SUCCESS;
    std::string version9x;
    if (!setrune::GetProperty(hInstall, "Version9X", 256, &version9x)) return ERROR_SUCCESS;
    long windows = setrune::ToLong(version9x);
    if (windows < 400 || windows > 409) return ERROR_SUCCESS;

    setrune::RegKey key;
    std::string value, installed = "0,0,0,0";
    if (key.Open(HKEY_CLASSES_ROOT, "CLSID\\{BDC67890-4FC0-11D0-A805-00AA006D2EA4}\\InstalledVersion",
                 KEY_QUERY_VALUE) &&
        key.QueryText("", 256, &value))
        installed = value + ",0,0,0,0";
    if (setrune::CompareParts(setrune::VersionParts(installed, 4), setrune::VersionParts("4,71,0,3328", 4)) < 0)
        return setrune::RunStoredSetup(hInstall, "DCOM95_EXE.B6C2C595_F68D_11D3_B2CB_0080ADC9AB90", false);
    return ERROR_SUCCESS;
}
