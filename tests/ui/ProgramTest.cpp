#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <wx/defs.h>
#include <wx/snglinst.h>

#include "model/plugins/PluginRegistry.h"
#include "model/profiles/CAppConfig.h"
#include "platform/Folders.h"
#include "platform/RegistryKey.h"
#include "shellcore/AppStartup.h"
#include "shellcore/RegistryPaths.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/OutsidePlugin.h"
#include "tests/support/SilentServer.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "ui/ArbApp.h"

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

// The real program under the test's display, with the test's settings home.
class RunningProgram {
public:
    // The log of an earlier run must not pass for this one's: it is removed
    // unless the caller left one without the start-up line.
    explicit RunningProgram(const std::string& logPath, bool keepOldLog = false,
                            const std::string& program = ARB_PROGRAM, const std::vector<std::string>& arguments = {})
        : m_logPath(logPath)
    {
        if (!keepOldLog) ::unlink(logPath.c_str());
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~RunningProgram()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    // Up once the run's first log line (the certificate check) is written,
    // or the text given.
    bool WaitUntilUp(const std::string& logged = "cacerts.pem")
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (ReadAll(m_logPath).find(logged) != std::string::npos) return true;
            int status;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // Asks it to end as the desktop does at log-out; its exit code, or -1.
    int Terminate()
    {
        kill(m_pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                if (WIFSIGNALED(status)) ADD_FAILURE() << "ended by signal " << WTERMSIG(status);
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

private:
    std::string m_logPath;
    pid_t m_pid = -1;
};

class ProgramTest : public testsupport::TempHomeTest {
protected:
    std::string LogPath() const { return platform::GetUserDataFolder() + "messages.log"; }
    void Seed(const wchar_t* name, uint32_t value)
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(g_strSettingsKey));
        ASSERT_TRUE(key.Write(name, value));
    }
    bool HasSetting(const wchar_t* name)
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        return key.Open(g_strSettingsKey) && key.ValueExists(name);
    }
};

TEST_F(ProgramTest, StartsAndEndsWritingItsLogAndOptions)
{
    platform::MakeFolders(platform::GetUserDataFolder());
    {
        std::ofstream(LogPath()) << "a line of the last run\n";
        RunningProgram program(LogPath(), true);
        ASSERT_TRUE(program.WaitUntilUp());
        EXPECT_EQ(ReadAll(LogPath()).find("last run"), std::string::npos);
        EXPECT_EQ(program.Terminate(), 0);
    }
    CAppConfig stored;
    EXPECT_TRUE(stored.Load());  // a first run writes its options at the end
    // The build number compiled in: never 0, which would wipe the settings at every start.
    RegistryKey key(RegRoot::CurrentUser, true);
    uint32_t build = 0;
    ASSERT_TRUE(key.Open(g_strSettingsKey) && key.Read(L"Build", build));
    EXPECT_NE(build, 0u);
}

TEST_F(ProgramTest, AnotherBuildWipesTheSettingsButKeepsTheOptions)
{
    Seed(L"Build", 1);
    Seed(L"LangID", 1033);
    Seed(L"LDIFExportFilePath", 5);
    CAppConfig options;
    options.m_nInfoTimeoutSec = 42;
    ASSERT_TRUE(options.Save());
    {
        RunningProgram program(LogPath());
        ASSERT_TRUE(program.WaitUntilUp());
        EXPECT_EQ(program.Terminate(), 0);
    }
    EXPECT_FALSE(HasSetting(L"LDIFExportFilePath"));
    CAppConfig stored;
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.m_nInfoTimeoutSec.load(), 42);

    // The same build keeps what the settings hold.
    Seed(L"LDIFExportFilePath", 6);
    {
        RunningProgram program(LogPath());
        ASSERT_TRUE(program.WaitUntilUp());
        EXPECT_EQ(program.Terminate(), 0);
    }
    EXPECT_TRUE(HasSetting(L"LDIFExportFilePath"));
}

// Installed, the program sits in bin/ and its resource library in
// share/arbolite/ beside it.
TEST_F(ProgramTest, FindsItsResourceLibraryWhereItIsInstalled)
{
    const std::string prefix = m_home + "/prefix";
    const std::string buildBin = std::string(ARB_PROGRAM).substr(0, std::string(ARB_PROGRAM).rfind('/'));
    ASSERT_EQ(std::system(("mkdir -p '" + prefix + "/bin' '" + prefix + "/share/arbolite' && cp '" + ARB_PROGRAM +
                           "' '" + prefix + "/bin/' && cp -r '" + buildBin + "/arbresource' '" + prefix +
                           "/share/arbolite/'")
                              .c_str()),
              0);
    RunningProgram program(LogPath(), false, prefix + "/bin/arbolite");
    ASSERT_TRUE(program.WaitUntilUp());
    EXPECT_EQ(program.Terminate(), 0);
}

// Run by the demonstration launcher whose port is taken: the program's log
// (and so its output window) says where the directory listens instead.
TEST_F(ProgramTest, TheDemonstrationsMovedPortIsSaidInTheLog)
{
    const int first = testsupport::FreePortRun(2);
    testsupport::SilentServer holder(testsupport::SilentServer::Mode::Hang, first);
    setenv("ARBOLITE_DEMO_PORT", std::to_string(first).c_str(), 1);
    RunningProgram program(LogPath(), false, ARB_DEMO_PROGRAM, {ARB_PROGRAM});
    unsetenv("ARBOLITE_DEMO_PORT");
    ASSERT_TRUE(program.WaitUntilUp("Port " + std::to_string(first) + " was taken")) << ReadAll(LogPath());
    EXPECT_NE(ReadAll(LogPath()).find("ldap://127.0.0.1:" + std::to_string(first + 1) + "/"), std::string::npos);
    // The launcher hands the end on to the program and gives its exit code.
    EXPECT_EQ(program.Terminate(), 0);
    EXPECT_FALSE(slapd::CanConnect(first + 1));
}

TEST_F(ProgramTest, LoadsTheRegisteredPluginsAfterItsWindowIsUp)
{
    testsupport::TempFolder folder;
    std::string log;
    std::string library = testsupport::BuildOutsidePlugin(folder.Path(), log);
    ASSERT_FALSE(library.empty()) << log;
    std::string command = std::string(ARB_PLUGINS_TOOL) + " register Outside.Shouting Shouting '" + library + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(RegisterPlugin({L"Arb.Missing", L"Missing", L"/nonexistent/arb-plugin.so"}));
    platform::MakeFolders(platform::GetUserDataFolder());
    RunningProgram program(LogPath());
    ASSERT_TRUE(program.WaitUntilUp("Can't load 'Missing' plugin"));
    std::string written = ReadAll(LogPath());
    EXPECT_NE(written.find("Loading plugins..."), std::string::npos);
    // The one built outside loaded: no line names it.
    EXPECT_EQ(written.find("Shouting"), std::string::npos) << written;
    EXPECT_EQ(program.Terminate(), 0);
}

TEST_F(ProgramTest, ASecondInstanceIsToldAndStops)
{
    RunningProgram program(LogPath());
    ASSERT_TRUE(program.WaitUntilUp());

    std::unique_ptr<wxSingleInstanceChecker> checker = MakeInstanceChecker();
    ASSERT_TRUE(checker);
    EXPECT_TRUE(checker->IsAnotherRunning());

    platform::HeadlessShell shell;
    StartupHooks hooks;
    hooks.isAnotherInstanceRunning = [&] { return checker->IsAnotherRunning(); };
    hooks.createMainWindow = [](const std::wstring&) { return true; };
    StartupSettings settings;
    settings.buildNumber = 2100;
    CAppStartup second(settings, hooks);
    EXPECT_FALSE(second.Start());
    second.Stop();
    ASSERT_EQ(shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(shell.MessageBox().asked[0].text, L"Arbolite is already running.");

    EXPECT_EQ(program.Terminate(), 0);
    checker = MakeInstanceChecker();
    ASSERT_TRUE(checker);
    EXPECT_FALSE(checker->IsAnotherRunning());
}

} // namespace
