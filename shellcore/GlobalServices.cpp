#include "shellcore/GlobalServices.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <unistd.h>

#include "base/LogStream.h"
#include "base/StringFormat.h"
#include "base/Utf8.h"
#include "ldap/LDAPConnection.h"
#include "model/profiles/CAppConfig.h"
#include "model/clipboard/CArbClipboard.h"
#include "model/nodes/CDataObject.h"
#include "model/values/DirectoryConstants.h"
#include "platform/Folders.h"
#include "platform/MessageLogFile.h"
#include "platform/RegistryKey.h"
#include "platform/StringResource.h"
#include "schema/LDAPSchema.h"
#include "schema/SchemaCache.h"
#include "schema/SchemaLoadThread.h"
#include "schema/SyntaxCatalogue.h"
#include "shellcore/ConfirmationTable.h"
#include "shellcore/InternetSession.h"
#include "shellcore/RegistryPaths.h"

namespace {

constexpr unsigned kNoCertificateDatabase = 575;

std::mutex g_lock;
bool g_servicesStarted = false;
std::unique_ptr<CInternetSession> g_internetSession;

bool FileExists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

} // namespace

std::string GetCertificateFolder()
{
    std::wstring folder;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    if (!key.Open(g_strSettingsKey) || !key.Read(g_strCertificatePathValue, folder)) folder.clear();
    std::string path = folder.empty() ? platform::GetProgramFolder() : WideToUtf8Text(folder);
    // The file names are appended to the folder: without the separator they
    // would name files beside it.
    if (path.back() != '/') path.push_back('/');
    return path;
}

bool InitCertificates()
{
    const std::string folder = GetCertificateFolder();
    const std::string caFile = folder + "cacerts.pem";
    if (FileExists(caFile)) return arbldap::InitSSLCertDB(folder, FileExists(folder + "client.pem"));
    std::string format, line;
    LoadStringResource(kNoCertificateDatabase, format);
    FormatString(line, format.c_str(), caFile.c_str());
    LogLine(line);
    return false;
}

void InitGlobalSettings(LogSink outputSink)
{
    std::lock_guard<std::mutex> lock(g_lock);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    OpenLogFile();
    if (outputSink) g_logStreamBuf.AddSink(outputSink);
    InitCertificates();
    InitSchemaTables();
    RegisterArbClipboardFormat();
    RegisterConfirmations();
    OpenSchemaCacheFile();
    // A host met for the first time has its schema read from the server.
    InstallSchemaLoadJobStarter();
    CDataObject::InitCommandImages();
    FillDirectoryConstants();
    g_internetSession = CInternetSession::Open(GetAppConfig());
    g_servicesStarted = true;
}

void CloseGlobalSettings()
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_servicesStarted) return;
    CloseLogFile();
    CLDAPSchema::SetLoadJobStarter(nullptr);
    g_internetSession.reset();
    g_servicesStarted = false;
}

const CInternetSession* GetInternetSession()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_internetSession.get();
}

bool AreGlobalServicesStarted()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_servicesStarted;
}
