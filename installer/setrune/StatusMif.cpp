// StatusMifInit and StatusMifCommit: the installation's status for
// software-distribution systems, "Failed" until the last action says
// "Success".

#include <string>

#include "installer/msi/Host.h"
#include "installer/setrune/Actions.h"
#include "installer/setrune/MifRecord.h"
#include "installer/setrune/MifText.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/Properties.h"

namespace {

using InstallStatusMifFn = BOOL (*)(char* mifName, char* manufacturer, char* product, char* version, char* locale,
                                    char* serial, char* description, BOOL success);

// Through the status library when it is there and takes it.
bool WriteThroughLibrary(msi::Host& host, setrune::MifRecord record, const std::string& status,
                         const std::string& description)
{
    void* library = host.LoadLibrary("ismif32.dll");
    if (!library) return false;
    bool done = false;
    if (auto fn = reinterpret_cast<InstallStatusMifFn>(host.FindFunction(library, "InstallStatusMIF"))) {
        char locale[] = "ENU";
        std::string text = description;
        done = fn(record.fields[0], record.fields[1], record.fields[2], record.fields[3], locale, record.fields[4],
                  &text[0], status.rfind('S', 0) == 0 ? TRUE : FALSE) != FALSE;
    }
    host.FreeLibrary(library);
    return done;
}

void WriteMif(const setrune::MifRecord& record, const std::string& status, const std::string& description)
{
    const std::string name = record.Get(0);
    if (name.empty()) return;
    msi::Host& host = setrune::TheHost();
    if (WriteThroughLibrary(host, record, status, description)) return;
    auto file = host.OpenFile(setrune::JoinPath(host.WindowsFolder(), name), msi::OpenMode::CreateAlways);
    if (!file) return;
    const std::string text = setrune::MifText(record, status, description, host.Now());
    file->Write(text.data(), text.size());
}

} // namespace

SETRUNE_ACTION StatusMifInit(MSIHANDLE hInstall)
{
    std::string installed, productCode;
    if (!setrune::GetProperty(hInstall, "Installed", 256, &installed) ||
        !setrune::GetProperty(hInstall, "ProductCode", 256, &productCode))
        return ERROR_SUCCESS;
    const bool removing = !installed.empty() && installed != "0";

    setrune::MifRecord record;
    const char* const properties[] = {removing ? "_OlvaneStatusMifUninstall" : "_OlvaneStatusMifInstall",
                                      "Manufacturer", "ProductName", "ProductVersion", "_OlvaneStatusMifSerial"};
    for (size_t i = 0; i < setrune::MifRecord::kFields; ++i) {
        std::string value;
        if (setrune::GetProperty(hInstall, properties[i], setrune::MifRecord::kFieldSize, &value))
            record.Set(i, value);
    }
    if (!setrune::WriteMifRecord(setrune::MifRecordPath(productCode), record)) return ERROR_SUCCESS;
    WriteMif(record, "Failed", "Initialization failed.");
    return ERROR_SUCCESS;
}

SETRUNE_ACTION StatusMifCommit(MSIHANDLE hInstall)
{
    std::string productCode;
    if (!setrune::GetProperty(hInstall, "ProductCode", 256, &productCode)) return ERROR_SUCCESS;
    const std::string path = setrune::MifRecordPath(productCode);
    setrune::MifRecord record;
    if (!setrune::ReadMifRecord(path, &record)) {
        setrune::TheHost().DeleteFile(path);
        return ERROR_SUCCESS;
    }
    WriteMif(record, "Success", "");
    return ERROR_SUCCESS;
}
