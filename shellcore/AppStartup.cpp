#include "shellcore/AppStartup.h"

#include <ctime>

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "jobs/CLDAPThread.h"
#include "model/plugins/CPluginManager.h"
#include "model/profiles/CAppConfig.h"
#include "model/ports/ResourceText.h"
#include "platform/ResourceLibrary.h"
#include "platform/ShellPorts.h"
#include "platform/StartNote.h"
#include "platform/TempFiles.h"
#include "schema/SchemaCache.h"
#include "shellcore/CStartupUpdateInfo.h"
#include "shellcore/GlobalServices.h"
#include "shellcore/SettingsVersion.h"

const wchar_t* const kNoResourceLibraryText = L"Can't load resource DLL";

CAppStartup::CAppStartup(StartupSettings settings, StartupHooks hooks)
    : m_settings(std::move(settings)), m_hooks(std::move(hooks))
{
}

CAppStartup::~CAppStartup()
{
    Stop();
}

bool CAppStartup::Start()
{
    // The options come first: everything after may read them.
    GetAppConfig().Load();
    m_optionsLoaded = true;

    platform::ResourceLibrary& resources = platform::ResourceLibrary::Current();
    const bool loaded = m_settings.resourceFolder.empty() ? resources.LoadDefault()
                                                          : resources.Load(m_settings.resourceFolder);
    if (!loaded) {
        platform::ShowMessageBox(kNoResourceLibraryText, platform::kMbOk);
        return false;
    }

    if (m_hooks.isAnotherInstanceRunning && m_hooks.isAnotherInstanceRunning()) {
        platform::ShowMessageBox(LoadResourceText(kAnotherInstanceString), platform::kMbOk);
        return false;
    }
    m_ownsInstance = true;

    m_settingsReset = CheckSettingsVersion(m_settings.buildNumber, resources.GetLanguageId());

    if (m_hooks.showSplash) m_hooks.showSplash();

    InitGlobalSettings(m_hooks.outputSink);
    const std::wstring note = platform::GetStartNote();
    if (!note.empty()) LogLine(note);

    if (!m_hooks.createMainWindow || !m_hooks.createMainWindow(LoadResourceText(kMainCaptionString)))
        return false;
    m_plugins = std::make_unique<CPluginManager>();
    SetPluginManager(m_plugins.get());
    if (m_hooks.showTipsAtStartup) m_hooks.showTipsAtStartup();
    // A note is there to be read: the output bar shows it.
    if ((GetAppConfig().m_bShowOutputBar || !note.empty()) && m_hooks.showOutputBar) m_hooks.showOutputBar();
    // When on and due; a first run only records the time.
    CheckForUpdatesAtStartup(std::time(nullptr));
    return true;
}

void CAppStartup::Stop()
{
    if (m_stopped) return;
    m_stopped = true;

    // Workers first: they may still log, write the schema cache or wait on
    // the user-interface thread. An update check still running is stopped
    // and waited for, so that no answer arrives after this.
    CancelStartupUpdateCheck();
    AbortAllThreads();
    if (m_hooks.closeDispatcher) m_hooks.closeDispatcher();
    m_workersEnded = WaitForAllThreads(m_settings.workerLimit);
    // Nodes still holding a plug-in keep its library loaded.
    SetPluginManager(nullptr);
    m_plugins.reset();

    if (m_hooks.outputSink) g_logStreamBuf.RemoveSink(m_hooks.outputSink);
    CloseGlobalSettings();
    platform::DeleteRegisteredTempFiles();

    // A second instance writes nothing back: its options may be older than
    // those the running instance saves.
    if (m_optionsLoaded && m_ownsInstance) GetAppConfig().Save();
    CloseSchemaCacheFile();
}
