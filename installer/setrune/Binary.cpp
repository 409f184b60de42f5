#include "installer/setrune/Binary.h"

#include <memory>

#include "installer/msi/Host.h"
#include "installer/setrune/MsiHandle.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/Reboot.h"

namespace setrune {
namespace {

const char kBinaryQuery[] = "SELECT `Data` FROM `Binary` WHERE `Name` = ?";

// The Data field of a Binary row, in *record; false when there is none.
bool FetchBinary(MSIHANDLE hInstall, const std::string& name, MsiHandle* view, MsiHandle* record)
{
    MsiHandle db(MsiGetActiveDatabase(hInstall));
    if (!db || MsiDatabaseOpenViewA(db, kBinaryQuery, view->Put()) != ERROR_SUCCESS) return false;
    MsiHandle params(MsiCreateRecord(1));
    if (MsiRecordSetStringA(params, 1, name.c_str()) != ERROR_SUCCESS) return false;
    if (MsiViewExecute(*view, params) != ERROR_SUCCESS) return false;
    return MsiViewFetch(*view, record->Put()) == ERROR_SUCCESS;
}

// Deletes the file when it goes out of scope, whatever happened.
class TempFile {
public:
    TempFile(msi::Host& host, std::string path) : host_(host), path_(std::move(path)) {}
    ~TempFile() { host_.DeleteFile(path_); }
    const std::string& Path() const { return path_; }

private:
    msi::Host& host_;
    std::string path_;
};

bool CopyStream(MSIHANDLE record, msi::HostFile& file)
{
    char buffer[1024];
    for (;;) {
        DWORD count = sizeof buffer;
        if (MsiRecordReadStream(record, 1, buffer, &count) != ERROR_SUCCESS) return false;
        if (count && !file.Write(buffer, count)) return false;
        if (count < sizeof buffer) return true;
    }
}

} // namespace

bool BinaryHasRecord(MSIHANDLE hInstall, const std::string& name)
{
    MsiHandle view, record;
    bool found = FetchBinary(hInstall, name, &view, &record);
    if (view) MsiViewClose(view);
    return found;
}

UINT RunStoredSetup(MSIHANDLE hInstall, const std::string& name, bool mdac)
{
    MsiHandle view, record;
    if (!FetchBinary(hInstall, name, &view, &record)) return ERROR_SUCCESS;

    msi::Host& host = TheHost();
    const std::string folder = host.TempFolder();
    std::string path;
    auto file = folder.empty() ? nullptr : host.CreateTempFile(folder, "OVM", ".EXE", &path);
    if (!file) return ERROR_SUCCESS;
    TempFile temp(host, path);
    bool copied = CopyStream(record, *file);
    file.reset();
    MsiViewClose(view);
    // A program cut short is not run.
    if (!copied) return ERROR_SUCCESS;

    std::string command = "\"" + temp.Path() + "\" /r:n /q:a";
    if (mdac) command += " /c:\"setup.exe /qnt\"";
    if (!host.RunAndWait(command)) return ERROR_SUCCESS;

    std::string suppress;
    if (!GetProperty(hInstall, "OlvaneMDACSuppressReboot", 255, &suppress) || ToLong(suppress) == 0)
        return RequestReboot(hInstall);
    return ERROR_SUCCESS;
}

} // namespace setrune
