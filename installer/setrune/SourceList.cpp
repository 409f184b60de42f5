// ModifySourceList: the installed product's network sources from
// CustomActionData, a list of paths separated by ';'.

#include <string>

#include "installer/setrune/Actions.h"
#include "installer/setrune/ProductCode.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/RegKey.h"

SETRUNE_ACTION ModifySourceList(MSIHANDLE hInstall)
{
    std::string productCode, data;
    if (!setrune::GetProperty(hInstall, "ProductCode", 256, &productCode) ||
        !setrune::GetProperty(hInstall, "CustomActionData", 4096, &data))
        return ERROR_SUCCESS;

    const std::string packed = setrune::PackProductCode(productCode);
    setrune::RegKey sourceList, net;
    if (!sourceList.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Installer\\Products\\" + packed + "\\SourceList",
                         KEY_ALL_ACCESS) &&
        !sourceList.Open(HKEY_CLASSES_ROOT, "Installer\\Products\\" + packed + "\\SourceList", KEY_ALL_ACCESS))
        return ERROR_SUCCESS;
    if (!net.Create(sourceList.Get(), "Net", KEY_ALL_ACCESS)) return ERROR_SUCCESS;

    int written = 0;
    size_t start = 0;
    while (start <= data.size()) {
        size_t end = data.find(';', start);
        if (end == std::string::npos) end = data.size();
        std::string item = data.substr(start, end - start);
        start = end + 1;
        if (item.empty()) continue;
        ++written;
        if (written == 1) sourceList.SetText("LastUsedSource", "n;1;" + item, REG_EXPAND_SZ);
        net.SetText(std::to_string(written), item, REG_EXPAND_SZ);
    }
    if (written > 0)
        for (int j = written + 1; j <= 31; ++j) RegDeleteValueA(net.Get(), std::to_string(j).c_str());
    return ERROR_SUCCESS;
}
