#pragma once
// The order in which the program starts and ends, without its windows: the
// toolkit's parts (instance lock, splash, main window, tips, output bar)
// come in as hooks, and messages go through the message-box port.
//
// Start: options loaded, resource library, single instance, settings
// version, splash, global services (then the starter's note, when there is
// one, into the log), main window, plug-ins (their conflict report needs the
// window; no server is open yet), tips, output bar (also for a note).
// End: workers stopped, plug-in manager gone, services closed, value files
// deleted, options and schema cache saved, so nothing a worker still writes
// can be cut off.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "base/CLogStreamBuf.h"

class CPluginManager;

// The one start-up text the resource library cannot hold.
extern const wchar_t* const kNoResourceLibraryText;  // "Can't load resource DLL"
constexpr unsigned kAnotherInstanceString = 183;
constexpr unsigned kMainCaptionString = 138;

struct StartupHooks {
    // True when another instance holds the instance lock.
    std::function<bool()> isAnotherInstanceRunning;
    // Shows the splash window; true when one is shown.
    std::function<bool()> showSplash;
    // The output window's log sink, added after the file sink.
    LogSink outputSink = nullptr;
    // Makes and shows the main window with the caption; false ends the start.
    std::function<bool(const std::wstring& caption)> createMainWindow;
    // After the main window: the tips of the day, when their switch is on.
    std::function<void()> showTipsAtStartup;
    // The output bar, when the options ask for it at start-up.
    std::function<void()> showOutputBar;
    // Closes the user interface's dispatcher, so that workers waiting on it
    // are let go; called before the workers are waited for.
    std::function<void()> closeDispatcher;
};

struct StartupSettings {
    // The resource library's folder; empty: the default places.
    std::string resourceFolder;
    // The running build number (never 0 in a built program).
    uint32_t buildNumber = 0;
    // How long the end waits for workers to stop.
    std::chrono::milliseconds workerLimit{15000};
};

class CAppStartup {
public:
    CAppStartup(StartupSettings settings, StartupHooks hooks);
    ~CAppStartup();
    CAppStartup(const CAppStartup&) = delete;
    CAppStartup& operator=(const CAppStartup&) = delete;

    // The start-up sequence; false ends the program (Stop still runs).
    bool Start();
    // The shut-down sequence; runs once.
    void Stop();

    // What the start did (for callers and tests).
    bool SettingsWereReset() const { return m_settingsReset; }
    bool PassedInstanceCheck() const { return m_ownsInstance; }
    bool WorkersEnded() const { return m_workersEnded; }

private:
    StartupSettings m_settings;
    StartupHooks m_hooks;
    bool m_optionsLoaded = false;
    bool m_ownsInstance = false;
    bool m_settingsReset = false;
    bool m_workersEnded = true;
    bool m_stopped = false;
    std::unique_ptr<CPluginManager> m_plugins;
};
