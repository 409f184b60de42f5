#include "dialogcore/ExportPaths.h"

#include <cstdlib>

#include "base/TextFunctions.h"
#include "base/Utf8.h"
#include "platform/DocumentsFolder.h"
#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"

const std::wstring g_strLdifExportPathValue = L"LDIFExportFilePath";
const std::wstring g_strReportWizardPathValue = L"ReportWizardFilePath";

namespace {

const wchar_t* const kMonths[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                  L"July",    L"August",   L"September", L"October", L"November", L"December"};

} // namespace

std::wstring LoadExportFolder(const std::wstring& valueName)
{
    std::wstring folder;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    if (!key.Open(g_strSettingsKey) || !key.Read(valueName, folder))
        folder.clear();
    if (folder.empty()) {
        std::string documents = platform::GetMyDocumentsPath();
        // Without one the home folder, never the program's working folder.
        if (documents.empty() && std::getenv("HOME"))
            documents = std::getenv("HOME");
        if (!documents.empty())
            folder = Utf8ToWideString(documents) + L"/";
    }
    if (!folder.empty() && folder.back() != L'/')
        folder += L'/';
    return folder;
}

void StoreExportFolder(const std::wstring& valueName, const std::wstring& path)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (key.CreateKey(g_strSettingsKey))
        key.Write(valueName, FolderOfPath(path));
}

std::wstring FolderOfPath(const std::wstring& path)
{
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ReportDefaultName(const std::wstring& baseDN, const std::tm& localDate)
{
    const std::wstring dn = baseDN.empty() ? L"RootDSE" : baseDN;
    const std::wstring firstRdn = dn.substr(0, dn.find(L','));
    wchar_t date[64];
    const int month = localDate.tm_mon >= 0 && localDate.tm_mon < 12 ? localDate.tm_mon : 0;
    std::swprintf(date, 64, L"%ls-%02d-%04d", kMonths[month], localDate.tm_mday, localDate.tm_year + 1900);
    return MakeSafeFileName(std::wstring(date) + L"(" + firstRdn + L")");
}

std::wstring ReplaceExtension(const std::wstring& path, const std::wstring& extension)
{
    const size_t slash = path.rfind(L'/');
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const size_t dot = path.rfind(L'.');
    std::wstring result = dot != std::wstring::npos && dot >= nameStart ? path.substr(0, dot) : path;
    return result + extension;
}
