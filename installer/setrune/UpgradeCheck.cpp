// UpgradeCheck: per-machine or per-user like the related product found
// (systems of the NT family).

#include <string>

#include "installer/msi/WinReg.h"
#include "installer/setrune/Actions.h"
#include "installer/setrune/ProductCode.h"
#include "installer/setrune/Related.h"
#include "installer/setrune/RegKey.h"

SETRUNE_ACTION UpgradeCheck(MSIHANDLE hInstall)
{
    setrune::RelatedProducts related;
    if (!related.Start(hInstall, false)) return ERROR_SUCCESS;
    setrune::MsiHandle view;
    if (MsiDatabaseOpenViewA(related.Database(),
                             "SELECT `UpgradeCode`,`VersionMin`,`VersionMax`,`Language`,`Attributes` from Upgrade",
                             view.Put()) != ERROR_SUCCESS ||
        MsiViewExecute(view, 0) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    setrune::MsiHandle record;
    while (MsiViewFetch(view, record.Put()) == ERROR_SUCCESS) {
        setrune::UpgradeRow row;
        if (!setrune::ReadUpgradeRow(record, false, &row)) continue;
        for (const auto& product : related.InRange(row)) {
            const std::string packed = setrune::PackProductCode(product);
            bool perUser = setrune::KeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Installer\\Products\\" + packed);
            bool perMachine = setrune::KeyExists(HKEY_CLASSES_ROOT, "Installer\\Products\\" + packed);
            if (perMachine && !perUser) MsiSetPropertyA(hInstall, "ALLUSERS", "1");
            else if (perUser && !perMachine) MsiSetPropertyA(hInstall, "ALLUSERS", "");
        }
    }
    MsiViewClose(view);
    return ERROR_SUCCESS;
}
