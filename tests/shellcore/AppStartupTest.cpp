#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "base/LogStream.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CAppConfig.h"
#include "platform/Folders.h"
#include "platform/RegistryKey.h"
#include "platform/ShellPorts.h"
#include "platform/StartNote.h"
#include "platform/TempFiles.h"
#include "shellcore/AppStartup.h"
#include "shellcore/GlobalServices.h"
#include "shellcore/RegistryPaths.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class AppStartupTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_previousBox = platform::SetMessageBoxPort(m_box);
    }
    void TearDown() override
    {
        platform::SetMessageBoxPort(m_previousBox);
        GetAppConfig().SetDefaults();
        TempHomeTest::TearDown();
    }

    StartupHooks Hooks()
    {
        StartupHooks hooks;
        hooks.isAnotherInstanceRunning = [this] { return m_otherInstance; };
        hooks.createMainWindow = [this](const std::wstring& caption) {
            m_caption = caption;
            return true;
        };
        hooks.showOutputBar = [this] { ++m_outputBarShown; };
        return hooks;
    }
    StartupSettings Settings(uint32_t build = 2100)
    {
        StartupSettings settings;
        settings.buildNumber = build;
        return settings;
    }
    std::string LogPath() const { return platform::GetUserDataFolder() + "messages.log"; }
    bool SettingsKeyExists()
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        return key.KeyExists(g_strSettingsKey);
    }

    std::shared_ptr<platform::ScriptedMessageBox> m_box = std::make_shared<platform::ScriptedMessageBox>();
    std::shared_ptr<platform::MessageBoxPort> m_previousBox;
    bool m_otherInstance = false;
    std::wstring m_caption;
    int m_outputBarShown = 0;
};

TEST_F(AppStartupTest, MissingResourceLibraryStopsWithTheFixedText)
{
    m_otherInstance = true;  // the library is checked first
    StartupSettings settings = Settings();
    settings.resourceFolder = m_home + "/no-such-library";
    CAppStartup startup(settings, Hooks());
    EXPECT_FALSE(startup.Start());
    startup.Stop();
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_EQ(m_box->asked[0].text, L"Can't load resource DLL");
    EXPECT_FALSE(SettingsKeyExists());
    EXPECT_FALSE(AreGlobalServicesStarted());
}

TEST_F(AppStartupTest, SecondInstanceStopsBeforeTouchingTheSettings)
{
    m_otherInstance = true;
    CAppStartup startup(Settings(), Hooks());
    EXPECT_FALSE(startup.Start());
    startup.Stop();
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_EQ(m_box->asked[0].text, L"Arbolite is already running.");
    EXPECT_FALSE(SettingsKeyExists());  // no version stamp, no options written back
    EXPECT_TRUE(m_caption.empty());
}

TEST_F(AppStartupTest, AChangedBuildWipesTheSettingsButKeepsTheOptions)
{
    GetAppConfig().m_nInfoTimeoutSec = 77;
    ASSERT_TRUE(GetAppConfig().Save());
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(g_strSettingsKey));
        key.Write(L"Build", 2099u);
        key.Write(L"LangID", 1033u);
        key.Write(L"liststyle", 2u);
    }
    GetAppConfig().SetDefaults();

    CAppStartup startup(Settings(2100), Hooks());
    ASSERT_TRUE(startup.Start());
    EXPECT_TRUE(startup.SettingsWereReset());
    EXPECT_EQ(m_caption, L"Arbolite");
    startup.Stop();

    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(g_strSettingsKey));
    EXPECT_FALSE(key.ValueExists(L"liststyle"));
    uint32_t build = 0;
    EXPECT_TRUE(key.Read(L"Build", build));
    EXPECT_EQ(build, 2100u);
    CAppConfig stored;
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.m_nInfoTimeoutSec.load(), 77);
}

TEST_F(AppStartupTest, OptionsSavedAtExitAreReadAtTheNextStart)
{
    {
        CAppStartup startup(Settings(), Hooks());
        ASSERT_TRUE(startup.Start());
        EXPECT_EQ(m_outputBarShown, 0);
        GetAppConfig().m_bShowOutputBar = 1;
        GetAppConfig().m_strProxyHost = L"proxy.example.org";
    }  // the end of the run
    GetAppConfig().SetDefaults();
    CAppStartup startup(Settings(), Hooks());
    ASSERT_TRUE(startup.Start());
    EXPECT_FALSE(startup.SettingsWereReset());
    EXPECT_EQ(GetAppConfig().m_strProxyHost, L"proxy.example.org");
    EXPECT_EQ(m_outputBarShown, 1);
}

TEST_F(AppStartupTest, MessageLogIsEmptiedAtStartAndClosedAtTheEnd)
{
    platform::MakeFolders(platform::GetUserDataFolder());
    {
        std::ofstream old(LogPath());
        old << "line of the last run\n";
    }
    CAppStartup startup(Settings(), Hooks());
    ASSERT_TRUE(startup.Start());
    LogLine(L"a line of this run");
    std::string text = ReadAll(LogPath());
    EXPECT_EQ(text.find("line of the last run"), std::string::npos);
    EXPECT_NE(text.find("a line of this run\n"), std::string::npos);
    // Without a certificate database in the program folder the log says so.
    EXPECT_NE(text.find("cacerts.pem"), std::string::npos);
    startup.Stop();
    LogLine(L"after the end");
    EXPECT_EQ(ReadAll(LogPath()).find("after the end"), std::string::npos);
}

// The word of whoever started the program (the demonstration launcher's
// port) is written to the log and the output bar comes up to show it.
TEST_F(AppStartupTest, TheStartersNoteIsLoggedAndShown)
{
    struct Case {
        const char* note;  // null: none given
        const char* logged;
        int outputBarShown;
    };
    const Case cases[] = {
        {nullptr, nullptr, 0},
        {"", nullptr, 0},
        {"Port 38900 was taken, so the directory listens on 38901.\n",
         "Port 38900 was taken, so the directory listens on 38901.\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note ? c.note : "none");
        if (c.note)
            setenv(platform::kStartNoteVariable, c.note, 1);
        else
            unsetenv(platform::kStartNoteVariable);
        m_outputBarShown = 0;
        CAppStartup startup(Settings(), Hooks());
        ASSERT_TRUE(startup.Start());
        std::string text = ReadAll(LogPath());
        startup.Stop();
        unsetenv(platform::kStartNoteVariable);
        if (c.logged) {
            EXPECT_NE(text.find(c.logged), std::string::npos) << text;
        }
        EXPECT_EQ(m_outputBarShown, c.outputBarShown);
    }
}

// A worker that needs a while to stop after it is asked to.
class SlowWorker : public CLDAPThread {
public:
    explicit SlowWorker(std::atomic<bool>& ended) : m_ended(ended) {}
    void DoWork() override
    {
        while (!IsCancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        LogLine(L"slow worker stopped");
        m_ended = true;
    }

private:
    std::atomic<bool>& m_ended;
};

// Ending while a worker runs: the worker is stopped and waited for before
// the log, the value files and the options are closed and saved.
TEST_F(AppStartupTest, TheEndWaitsForWorkersBeforeSavingAndClosing)
{
    std::atomic<bool> ended{false};
    const std::string valueFile = m_home + "/_testmp-value.jpg";
    {
        std::ofstream(valueFile) << "x";
    }
    CAppStartup startup(Settings(), Hooks());
    ASSERT_TRUE(startup.Start());
    platform::RegisterTempFile(valueFile);
    GetAppConfig().m_nUpdateIntervalDays = 3;
    auto worker = std::make_shared<SlowWorker>(ended);
    ASSERT_TRUE(worker->CreateThread());
    worker.reset();
    startup.Stop();

    EXPECT_TRUE(ended.load());
    EXPECT_TRUE(startup.WorkersEnded());
    EXPECT_EQ(GetRunningThreadCount(), 0);
    EXPECT_NE(ReadAll(LogPath()).find("slow worker stopped"), std::string::npos);
    EXPECT_NE(::access(valueFile.c_str(), F_OK), 0);
    CAppConfig stored;
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.m_nUpdateIntervalDays.load(), 3);
}

} // namespace
