// DetectMDAC and InstallMDAC: the data access components, when msado15.dll
// is older than the package needs.

#include <array>
#include <string>
#include <vector>

#include "installer/msi/Host.h"
#include "installer/setrune/Actions.h"
#include "installer/setrune/Binary.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/RegKey.h"
#include "installer/setrune/VersionParts.h"

namespace {

const char* const kInstallProperties[] = {
    "INSTALLMDAC.2D733AE4_F6A6_11D3_B2CC_0080ADC9AB90",
    "INSTALLMDAC.96FDBB7D_43AB_4028_B133_1B3C8EA8F4B8",
    "INSTALLMDAC.EF93DD86_437F_424B_BD56_26CB2921998C",
    "INSTALLMDAC.4F7040AC_65D2_4AF4_917D_8884F3F1CCAD",
};

const char* const kSetups[] = {
    "MDAC_EXE.2D733AE4_F6A6_11D3_B2CC_0080ADC9AB90",
    "MDAC_EXE.96FDBB7D_43AB_4028_B133_1B3C8EA8F4B8",
    "MDAC_EXE.EF93DD86_437F_424B_BD56_26CB2921998C",
    "MDAC_EXE.4F7040AC_65D2_4AF4_917D_8884F3F1CCAD",
};

void SetInstallProperties(MSIHANDLE hInstall, const char* value)
{
    for (const char* name : kInstallProperties) MsiSetPropertyA(hInstall, name, value);
}

} // namespace

SETRUNE_ACTION DetectMDAC(MSIHANDLE hInstall)
{
    if (setrune::IsDeferred(hInstall)) return ERROR_SUCCESS;
    SetInstallProperties(hInstall, "");
    std::string common;
    if (!setrune::CommonFilesDir(260, &common)) return ERROR_SUCCESS;
    if (common.empty() || common.back() != '\\') common += '\\';
    const std::string dll = common + "System\\ADO\\msado15.dll";
    SetInstallProperties(hInstall, "1");

    std::vector<unsigned char> block;
    std::array<long, 4> installed{};
    if (!setrune::TheHost().FileVersionBlock(dll, &block) || !setrune::FileVersionOfBlock(block, &installed))
        return ERROR_SUCCESS;

    std::vector<long> required = {2, 50, 4403, 9};
    if (setrune::BinaryHasRecord(hInstall, kSetups[2])) required = {2, 61, 7326, 0};
    else if (setrune::BinaryHasRecord(hInstall, kSetups[3])) required = {2, 70, 7713, 0};
    if (setrune::CompareParts({installed.begin(), installed.end()}, required) >= 0)
        SetInstallProperties(hInstall, "");
    return ERROR_SUCCESS;
}

SETRUNE_ACTION InstallMDAC(MSIHANDLE hInstall)
{
    if (setrune::IsDeferred(hInstall)) return ERROR_SUCCESS;
    std::string flag;
    if (!setrune::GetProperty(hInstall, kInstallProperties[0], 260, &flag) || flag.empty() || flag[0] != '1')
        return ERROR_SUCCESS;
    for (const char* setup : kSetups) {
        UINT r = setrune::RunStoredSetup(hInstall, setup, true);
        if (r != ERROR_SUCCESS) return r;
    }
    return ERROR_SUCCESS;
}
