// RemoveSingleFileMSI: the cached copy of a single-file package, once its
// product is gone.

#include <string>

#include "installer/msi/Host.h"
#include "installer/setrune/Actions.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/ProductCode.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/RegKey.h"

namespace {

bool ProductStillInstalled(const std::string& productCode)
{
    char name[256];
    DWORD count = sizeof name;
    // A name longer than the buffer still names an installed product.
    UINT r = MsiGetProductInfoA(productCode.c_str(), "InstalledProductName", name, &count);
    return r == ERROR_SUCCESS || r == ERROR_MORE_DATA;
}

// The 9x way of deleting at the next start: a "NUL=" line under [rename].
void AddToWininit(msi::Host& host, const std::string& path)
{
    bool created = false;
    auto file = host.OpenFile(setrune::JoinPath(host.WindowsFolder(), "WININIT.INI"), msi::OpenMode::Append, &created);
    if (!file) return;
    std::string text = created ? "[rename]\r\n" : "";
    text += "NUL=" + host.ShortPath(path) + "\r\n";
    file->Write(text.data(), text.size());
}

} // namespace

SETRUNE_ACTION RemoveSingleFileMSI(MSIHANDLE hInstall)
{
    std::string productCode, common;
    if (!setrune::GetProperty(hInstall, "ProductCode", 256, &productCode) || ProductStillInstalled(productCode))
        return ERROR_SUCCESS;
    if (!setrune::CommonFilesDir(256, &common)) return ERROR_SUCCESS;
    if (!common.empty() && common.back() == '\\') common.pop_back();
    const std::string folder = common + "\\Olvane Installation Wizard";
    const std::string pattern = "OLV" + setrune::BareProductCode(productCode) + "*.MS?";

    msi::Host& host = setrune::TheHost();
    bool deletedAtOnce = false;
    for (const auto& name : host.ListFolder(folder + "\\")) {
        if (!setrune::MatchesPattern(name, pattern)) continue;
        const std::string path = folder + "\\" + name;
        if (host.DeleteFile(path)) deletedAtOnce = true;
        else if (host.PlatformId() == VER_PLATFORM_WIN32_NT) host.DeleteAtReboot(path);
        else AddToWininit(host, path);
    }
    if (deletedAtOnce) host.RemoveFolder(folder);
    return ERROR_SUCCESS;
}
