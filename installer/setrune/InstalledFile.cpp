#include "installer/setrune/InstalledFile.h"

#include <vector>

#include "installer/setrune/MsiHandle.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/Wide.h"

namespace setrune {
namespace {

// The text columns of the one row a keyed query gives.
bool LookUp(MSIHANDLE db, const char* query, const std::string& key, std::vector<std::string>* columns)
{
    MsiHandle view, params(MsiCreateRecord(1)), record;
    if (MsiDatabaseOpenViewA(db, query, view.Put()) != ERROR_SUCCESS ||
        MsiRecordSetStringA(params, 1, key.c_str()) != ERROR_SUCCESS ||
        MsiViewExecute(view, params) != ERROR_SUCCESS)
        return false;
    bool found = MsiViewFetch(view, record.Put()) == ERROR_SUCCESS;
    for (UINT i = 1; found && i <= columns->size(); ++i)
        found = GetFieldText(record, i, 256, &(*columns)[i - 1]);
    MsiViewClose(view);
    return found;
}

} // namespace

bool InstalledFilePath(MSIHANDLE hInstall, MSIHANDLE db, const std::string& fileKey, std::wstring* path)
{
    std::vector<std::string> file(2), component(1);
    if (!LookUp(db, "SELECT `Component_`,`FileName` FROM `File` WHERE `File`=?", fileKey, &file) ||
        !LookUp(db, "SELECT `Directory_` FROM `Component` WHERE `Component`=?", file[0], &component))
        return false;

    std::wstring directory = Widen(component[0]);
    DWORD count = 0;
    wchar_t empty = 0;
    UINT r = MsiGetTargetPathW(hInstall, directory.c_str(), &empty, &count);
    if (r != ERROR_MORE_DATA && r != ERROR_SUCCESS) return false;
    std::vector<wchar_t> folder(count + 1, 0);
    count = static_cast<DWORD>(folder.size());
    if (MsiGetTargetPathW(hInstall, directory.c_str(), folder.data(), &count) != ERROR_SUCCESS) return false;

    const std::string& fileName = file[1];
    std::string name = fileName;
    size_t bar = fileName.find('|');
    if (bar != std::string::npos)
        name = MsiGetMode(hInstall, MSIRUNMODE_TARGETSHORTNAMES) ? fileName.substr(0, bar) : fileName.substr(bar + 1);

    *path = std::wstring(folder.data(), count);
    if (path->empty() || path->back() != L'\\') *path += L'\\';
    *path += Widen(name);
    return true;
}

} // namespace setrune
