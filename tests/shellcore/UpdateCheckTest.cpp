#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/Guid.h"
#include "base/Utf8.h"
#include "model/ports/ResourceText.h"
#include "model/profiles/CAppConfig.h"
#include "platform/RegistryKey.h"
#include "platform/TimeStamps.h"
#include "shellcore/AppVersion.h"
#include "shellcore/CStartupUpdateInfo.h"
#include "shellcore/CUpdateInfo.h"
#include "shellcore/InternetSession.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/UpdateCheck.h"
#include "tests/shellcore/ShellcoreTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/SilentServer.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;
using testsupport::LocalHttpServer;

namespace {

std::wstring StoredLastCheck()
{
    RegistryKey key(RegRoot::CurrentUser, true);
    std::wstring text;
    if (!key.Open(g_strSettingsKey) || !key.Read(L"LastUpdateCheck", text)) return L"<none>";
    return text;
}

void StoreLastCheck(const std::wstring& text)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.Open(g_strSettingsKey) || key.CreateKey(g_strSettingsKey));
    ASSERT_TRUE(key.Write(L"LastUpdateCheck", text));
}

// Records what the check reports, in order.
class RecordingCheck : public CUpdateInfo {
public:
    using CUpdateInfo::CUpdateInfo;
    std::vector<std::string> events;
    size_t progressBytes = 0;
    bool ended = false;

protected:
    void OnStart() override { events.push_back("start"); }
    void OnProgress(size_t bytes) override { progressBytes += bytes; }
    void OnEnd() override
    {
        events.push_back("end");
        ended = true;
    }
    void OnFailed() override { events.push_back("failed"); }
    void OnResult(bool newer) override { events.push_back(newer ? "newer" : "not newer"); }
};

class UpdateCheckTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        shelltest::LoadResources();
        testsupport::RemoveProxyVariables();
        setenv("ARBOLITE_UPDATE_URL", m_server.Url().c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("ARBOLITE_UPDATE_URL");
        TempHomeTest::TearDown();
    }

    // Runs the check to its end (or until the limit).
    bool RunToEnd(RecordingCheck& check, uint32_t limitMs = 20000)
    {
        return m_dispatcher->PumpUntil([&] { return check.ended; }, limitMs);
    }

    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
    LocalHttpServer m_server;
};

TEST(UpdateReplyParse, FieldsAsTheReplyGivesThem)
{
    struct Case {
        const char* bytes;
        bool ok;
        int build;
        bool hasDate;
        const wchar_t* text;
    } cases[] = {
        {"1234-20260301-Arbolite 2.1-a-b-c", true, 1234, true, L"Arbolite 2.1"},
        {"\r\n\n1234-20260301-Leading breaks-a-b-c", true, 1234, true, L"Leading breaks"},
        {"1234-20260301120000-With time-a-b-c\r\n", true, 1234, true, L"With time"},
        {"1234-20260301-Fix for x-ray-mode and re-bind-a-b-c", true, 1234, true, L"Fix for x-ray-mode and re-bind"},
        {"1234-soon-Undated-a-b-c", true, 1234, false, L"Undated"},
        {"12ab-20260301-Digits first-a-b-c", true, 12, true, L"Digits first"},
        {"build-20260301-No digits-a-b-c", true, 0, true, L"No digits"},
        {"1234-20260301-Three", false, 0, false, L""},
        {"1234-20260301-a-b-c", false, 0, false, L""},
        {"\r\n", false, 0, false, L""},
        {"", false, 0, false, L""},
    };
    for (const Case& c : cases) {
        UpdateReply reply;
        ASSERT_EQ(ParseUpdateReply(c.bytes, reply), c.ok) << c.bytes;
        if (!c.ok) continue;
        EXPECT_EQ(reply.build, c.build) << c.bytes;
        EXPECT_EQ(reply.hasDate, c.hasDate) << c.bytes;
        EXPECT_EQ(reply.text, c.text) << c.bytes;
    }
}

TEST(UpdateReplyParse, DateShownAsMonthDayYearOrAsSent)
{
    UpdateReply reply;
    ASSERT_TRUE(ParseUpdateReply("1-20260301-t-a-b-c", reply));
    EXPECT_EQ(FormatReplyDate(reply), L"March 01, 2026");
    ASSERT_TRUE(ParseUpdateReply("1-someday-t-a-b-c", reply));
    EXPECT_EQ(FormatReplyDate(reply), L"someday");
}

TEST(UpdateRequest, ServerFromTheEnvironmentAndEncodedId)
{
    unsetenv("ARBOLITE_UPDATE_URL");
    EXPECT_EQ(BuildUpdateUrl(1200, "{AB-1}"),
              "https://www.vellumar.example/support/update/info.php?build=1200&id=%7BAB-1%7D&b=1");
    struct Case {
        const char* variable;
        const char* server;
    } cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"http://localhost:9/some/path?q=1", "http://localhost:9"},
        {"", "https://www.vellumar.example"},
    };
    for (const Case& c : cases) {
        setenv("ARBOLITE_UPDATE_URL", c.variable, 1);
        EXPECT_EQ(GetUpdateServer(), c.server) << c.variable;
    }
    unsetenv("ARBOLITE_UPDATE_URL");
    EXPECT_EQ(PercentEncode("a b&c=d/{}~._-"), "a%20b%26c%3Dd%2F%7B%7D~._-");
}

TEST_F(UpdateCheckTest, InstallationIdIsMadeOnceAndKept)
{
    const std::string id = GetInstallationId();
    GUID guid;
    ASSERT_TRUE(GuidFromString(Utf8ToWideString(id), guid)) << id;
    EXPECT_EQ(id.front(), '{');
    EXPECT_EQ(GetInstallationId(), id);
    RegistryKey key(RegRoot::CurrentUser, true);
    std::wstring stored;
    ASSERT_TRUE(key.Open(g_strSettingsKey) && key.Read(L"InstallationID", stored));
    EXPECT_EQ(WideToUtf8Text(stored), id);
}

TEST_F(UpdateCheckTest, RepliesAsATable)
{
    const std::string big(kMaxUpdateReplyBytes + 1, '7');
    struct Case {
        const char* name;
        int status;
        std::string body;
        uint32_t running;
        const char* outcome;
    } cases[] = {
        {"newer", 200, "1234-20260301-Arbolite 2.1-a-b-c", 1200, "newer"},
        {"same build", 200, "1234-20260301-Arbolite 2.1-a-b-c", 1234, "not newer"},
        {"older reply", 200, "1234-20260301-Arbolite 2.1-a-b-c", 1300, "not newer"},
        {"leading blank lines", 200, "\r\n\r\n1234-20260301-Arbolite 2.1-a-b-c", 1200, "newer"},
        {"three fields", 200, "1234-20260301-Arbolite", 1200, "failed"},
        {"text with dashes", 200, "1234-20260301-re-bind fix-a-b-c", 1200, "newer"},
        {"markup", 200, "1234-20260301-<a href=\"app:x\">x</a>-a-b-c", 1200, "newer"},
        {"empty", 200, "", 1200, "failed"},
        {"not found", 404, "1234-20260301-Arbolite 2.1-a-b-c", 1200, "failed"},
        {"over the cap", 200, big, 1200, "failed"},
    };
    for (const Case& c : cases) {
        m_server.SetReply(c.status, c.body);
        RecordingCheck check;
        check.SetRunningBuild(c.running);
        ASSERT_TRUE(check.StartCheck()) << c.name;
        ASSERT_TRUE(RunToEnd(check)) << c.name;
        EXPECT_EQ(check.events, (std::vector<std::string>{"start", c.outcome, "end"})) << c.name;
        EXPECT_FALSE(check.IsRunning()) << c.name;
    }
    // The dashes and the markup reach the object as the server sent them.
    m_server.SetReply(200, "1234-20260301-re-bind <b>fix</b>-a-b-c");
    RecordingCheck check;
    ASSERT_TRUE(check.StartCheck());
    ASSERT_TRUE(RunToEnd(check));
    EXPECT_EQ(check.GetReply().text, L"re-bind <b>fix</b>");
    EXPECT_EQ(check.progressBytes, std::string("1234-20260301-re-bind <b>fix</b>-a-b-c").size());
}

TEST_F(UpdateCheckTest, RequestPathQueryAndAgentInTheServersLog)
{
    m_server.SetReply(200, "1-20260301-x-a-b-c");
    RecordingCheck check;
    check.SetRunningBuild(1200);
    ASSERT_TRUE(check.StartCheck());
    ASSERT_TRUE(RunToEnd(check));
    const std::string id = GetInstallationId();
    const std::vector<LocalHttpServer::Request> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/support/update/info.php?build=1200&id=" + PercentEncode(id) + "&b=1");
    EXPECT_NE(requests[0].target.find("%7B"), std::string::npos);
    EXPECT_EQ(requests[0].userAgent, "Vellumar Arbolite/2.0");
    // Every check, the dialog's too, stamps the time it started.
    std::time_t stamped = 0;
    ASSERT_TRUE(platform::ParseTimeStamp(StoredLastCheck(), stamped));
    EXPECT_LE(std::abs(std::difftime(std::time(nullptr), stamped)), 5.0);
}

TEST_F(UpdateCheckTest, ProxyOfTheOptionsCarriesTheRequest)
{
    LocalHttpServer proxy;
    proxy.SetReply(200, "1300-20260301-through the proxy-a-b-c");
    CAppConfig options;
    options.m_bUseProxy = 1;
    options.m_strProxyHost = L"127.0.0.1";
    options.m_nProxyPort = proxy.Port();
    std::unique_ptr<CInternetSession> session = CInternetSession::Open(options);
    ASSERT_TRUE(session);
    RecordingCheck check(session.get());
    check.SetRunningBuild(1200);
    ASSERT_TRUE(check.StartCheck());
    ASSERT_TRUE(RunToEnd(check));
    EXPECT_EQ(check.events, (std::vector<std::string>{"start", "newer", "end"}));
    const std::vector<LocalHttpServer::Request> requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target.rfind(m_server.Url() + "/support/update/info.php?build=1200&id=", 0), 0u)
        << requests[0].target;
    EXPECT_EQ(requests[0].userAgent, "Vellumar Arbolite/2.0");
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(UpdateCheckTest, ServerThatNeverAnswers)
{
    testsupport::SilentServer silent(testsupport::SilentServer::Mode::Hang);
    setenv("ARBOLITE_UPDATE_URL", ("http://127.0.0.1:" + std::to_string(silent.Port())).c_str(), 1);

    // The time limit ends the download as a failure.
    {
        RecordingCheck check;
        check.SetLimits({2, 2, kMaxUpdateReplyBytes});
        ASSERT_TRUE(check.StartCheck());
        ASSERT_TRUE(RunToEnd(check, 15000));
        EXPECT_EQ(check.events, (std::vector<std::string>{"start", "failed", "end"}));
    }
    // Cancel: the end comes at once, without a result.
    {
        RecordingCheck check;
        ASSERT_TRUE(check.StartCheck());
        EXPECT_EQ(silent.WaitForOpenConnections(1, std::chrono::milliseconds(5000)), 1);
        const auto before = std::chrono::steady_clock::now();
        check.Cancel();
        ASSERT_TRUE(RunToEnd(check, 5000));
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1500));
        EXPECT_EQ(check.events, (std::vector<std::string>{"start", "end"}));
    }
    // Destroyed while it runs: the worker stops, nothing is delivered later.
    {
        auto check = std::make_unique<RecordingCheck>();
        ASSERT_TRUE(check->StartCheck());
        const auto before = std::chrono::steady_clock::now();
        check.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1500));
        m_dispatcher->Pump();
        EXPECT_EQ(m_dispatcher->PendingCount(), 0u);
    }
}

TEST_F(UpdateCheckTest, StartupRules)
{
    const std::time_t now = std::time(nullptr);
    struct Case {
        const char* name;
        bool enabled;
        int interval;
        const wchar_t* stored;  // null: none
        StartupCheck decision;
    } cases[] = {
        {"off", false, 14, nullptr, StartupCheck::Off},
        {"first start", true, 14, nullptr, StartupCheck::FirstRun},
        {"interval not passed", true, 14, L"<3 days ago>", StartupCheck::NotDue},
        {"interval passed", true, 2, L"<3 days ago>", StartupCheck::Due},
        {"every start", true, 0, L"<now>", StartupCheck::Due},
        {"unreadable stamp", true, 14, L"yesterday", StartupCheck::Due},
    };
    for (const Case& c : cases) {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(g_strSettingsKey));
        key.DeleteValue(L"LastUpdateCheck");
        std::wstring stored = c.stored ? c.stored : L"";
        if (stored == L"<3 days ago>") stored = platform::FormatTimeStamp(now - 3 * 24 * 3600);
        if (stored == L"<now>") stored = platform::FormatTimeStamp(now);
        if (c.stored) StoreLastCheck(stored);
        EXPECT_EQ(DecideStartupCheck(c.enabled, c.interval, now), c.decision) << c.name;
        if (c.decision == StartupCheck::FirstRun) {
            EXPECT_EQ(StoredLastCheck(), platform::FormatTimeStamp(now));
        }
        if (c.decision == StartupCheck::NotDue) {
            EXPECT_EQ(StoredLastCheck(), stored) << c.name;
        }
    }
}

TEST_F(UpdateCheckTest, StartupCheckAsksOnlyWhenDueAndLogsANewerBuild)
{
    CAppConfig& options = GetAppConfig();
    const int interval = options.m_nUpdateIntervalDays, enabled = options.m_bCheckForUpdates;
    options.m_bCheckForUpdates = 1;
    options.m_nUpdateIntervalDays = 14;
    const AppVersion version = GetAppVersion();
    SetAppVersion({2, 0, 0, 1200});
    testsupport::LogCapture log;
    m_server.SetReply(200, "60000-20260301-Faster trees-a-b-c");
    auto runStartup = [&] {
        StartupCheck decision = CheckForUpdatesAtStartup(std::time(nullptr));
        EXPECT_TRUE(m_dispatcher->PumpUntil([] { return !IsStartupUpdateCheckRunning(); }, 20000));
        return decision;
    };

    // First start (the settings key stands: the version stamp made it).
    // The time is written and the server sees nothing.
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(g_strSettingsKey));
    }
    EXPECT_EQ(runStartup(), StartupCheck::FirstRun);
    EXPECT_NE(StoredLastCheck(), L"<none>");
    EXPECT_TRUE(m_server.Requests().empty());
    // Within the interval: nothing asked.
    EXPECT_EQ(runStartup(), StartupCheck::NotDue);
    EXPECT_TRUE(m_server.Requests().empty());
    // Due: one request, and the two lines of a newer build.
    StoreLastCheck(platform::FormatTimeStamp(std::time(nullptr) - 15 * 24 * 3600));
    EXPECT_EQ(runStartup(), StartupCheck::Due);
    EXPECT_EQ(m_server.Requests().size(), 1u);
    UpdateReply reply;
    ASSERT_TRUE(ParseUpdateReply("60000-20260301-Faster trees-a-b-c", reply));
    EXPECT_EQ(log.CountContaining(FormatResourceText(kStrNewerBuildLine, {L"60000", FormatReplyDate(reply)})), 1);
    EXPECT_EQ(log.CountContaining(FormatResourceText(kStrNewerBuildTextLine, {L"Faster trees"})), 1);
    // 0 days: every start asks; a build that is not newer logs nothing.
    options.m_nUpdateIntervalDays = 0;
    m_server.SetReply(200, "1-20260301-Old-a-b-c");
    log.Clear();
    EXPECT_EQ(runStartup(), StartupCheck::Due);
    EXPECT_EQ(runStartup(), StartupCheck::Due);
    EXPECT_EQ(m_server.Requests().size(), 3u);
    for (const std::string& line : log.Utf8Lines()) ADD_FAILURE() << line;

    options.m_nUpdateIntervalDays = interval;
    options.m_bCheckForUpdates = enabled;
    SetAppVersion(version);
}

TEST_F(UpdateCheckTest, ExitDuringAStartupCheckCancelsAndWaits)
{
    testsupport::SilentServer silent(testsupport::SilentServer::Mode::Hang);
    setenv("ARBOLITE_UPDATE_URL", ("http://127.0.0.1:" + std::to_string(silent.Port())).c_str(), 1);
    StoreLastCheck(L"20000101");
    CAppConfig& options = GetAppConfig();
    const int enabled = options.m_bCheckForUpdates;
    options.m_bCheckForUpdates = 1;
    testsupport::LogCapture log;
    EXPECT_EQ(CheckForUpdatesAtStartup(std::time(nullptr)), StartupCheck::Due);
    EXPECT_TRUE(IsStartupUpdateCheckRunning());
    EXPECT_EQ(silent.WaitForOpenConnections(1, std::chrono::milliseconds(5000)), 1);
    const auto before = std::chrono::steady_clock::now();
    CancelStartupUpdateCheck();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1500));
    EXPECT_FALSE(IsStartupUpdateCheckRunning());
    m_dispatcher->Pump();
    EXPECT_EQ(m_dispatcher->PendingCount(), 0u);
    EXPECT_TRUE(log.Lines().empty());
    options.m_bCheckForUpdates = enabled;
}

} // namespace
