// The monitor reader against the real test servers: the rows of "cn=monitor",
// the profile's secure-connection choice, the anonymous bind, and the
// failures each shown in one message box, always followed by the end message.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/CServerMonitorThread.h"
#include "jobs/CLDAPThread.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/TempHome.h"

namespace {

using namespace std::chrono_literals;
typedef std::pair<std::wstring, std::wstring> Row;

// Stands in for the page: keeps the rows and sees the end.
class RecordingPage : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t, intptr_t,
                   std::unique_ptr<platform::MessagePayload> payload) override
    {
        if (id == WM_MONITOR_ROW) {
            EXPECT_FALSE(ended) << "a row after the end";
            if (auto* row = platform::PayloadValue<Row>(payload))
                rows.push_back(*row);
        } else if (id == platform::WM_WORKER_ENDED) {
            ++ends;
            ended = true;
        }
    }

    std::vector<Row> rows;
    bool ended = false;
    int ends = 0;
};

CServerProfile MonitorProfile(int port, bool ssl)
{
    CServerProfile profile;
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.GetOptions().SetUseSSL(ssl);
    return profile;
}

class ServerMonitorThreadTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        ASSERT_TRUE(arbldap::InitSSLCertDB(live::MainServer().CertFolder(), false));
    }

    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(5s));
        TempHomeTest::TearDown();
    }

    // Runs one reader to its end; the page's record.
    RecordingPage Read(const CServerProfile& profile, const std::string& monitorDN)
    {
        RecordingPage page;
        platform::ReceiverRegistration registration(page);
        auto worker = std::make_shared<CServerMonitorThread>(registration.Id(), profile, monitorDN);
        EXPECT_TRUE(worker->CreateThread());
        worker.reset();
        EXPECT_TRUE(m_dispatcher->PumpUntil([&] { return page.ended; }, 60000)) << "no end message";
        m_dispatcher->Pump();
        EXPECT_EQ(page.ends, 1);
        return page;
    }

    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
    platform::HeadlessShell m_shell;
};

bool HasRow(const std::vector<Row>& rows, const std::wstring& name, const std::wstring& value)
{
    for (const Row& row : rows)
        if (row.first == name && row.second == value)
            return true;
    return false;
}

TEST_F(ServerMonitorThreadTest, ReadsEveryValueOfTheMonitorEntryInNameOrder)
{
    live::SlapdServer& server = live::MainServer();
    struct Case {
        const char* what;
        int port;
        bool ssl;
        bool withCredentials;
    };
    const Case cases[] = {
        {"plain port", server.Port(), false, false},
        {"secure port, as the profile asks", server.SslPort(), true, false},
        // The profile's identity is not used: a wrong password cannot spoil it.
        {"anonymous despite the profile's user", server.Port(), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CServerProfile profile = MonitorProfile(c.port, c.ssl);
        if (c.withCredentials) {
            profile.SetUserDN(arbldap::LDAPDN("cn=admin,o=lab"));
            profile.SetPassword("wrong");
            profile.SetSavePassword(1);
        }
        RecordingPage page = Read(profile, "cn=monitor");
        EXPECT_TRUE(m_shell.MessageBox().asked.empty());
        EXPECT_TRUE(HasRow(page.rows, L"cn", L"Monitor"));
        EXPECT_TRUE(HasRow(page.rows, L"objectClass", L"monitorServer"));
        for (size_t i = 1; i < page.rows.size(); ++i)
            EXPECT_LE(WideToUtf8Text(page.rows[i - 1].first), WideToUtf8Text(page.rows[i].first));
        m_shell.MessageBox().asked.clear();
    }
}

TEST_F(ServerMonitorThreadTest, FailuresAreShownOnceAndEndTheRead)
{
    live::SlapdServer& server = live::MainServer();
    int nobody = testsupport::FreePort();
    struct Case {
        const char* what;
        int port;
        bool ssl;
        const char* dn;
        std::wstring text;  // the box's text starts so
    };
    const Case cases[] = {
        {"nobody listens", nobody, false, "cn=monitor", L"[ERROR 81]"},
        {"secure connection to the plain port", server.Port(), true, "cn=monitor", L"[ERROR"},
        {"plain connection to the secure port", server.SslPort(), false, "cn=monitor", L"[ERROR"},
        // The server's own answer, not only that the entry could not be read.
        {"no such entry", server.Port(), false, "cn=nothing here,cn=monitor", L"[ERROR 32] "},
        {"entry refused", server.Port(), false, "cn=Listeners,cn=monitor", L"[ERROR 50] "},
        {"not a DN", server.Port(), false, "monitor", L"[ERROR 34] "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_shell.MessageBox().asked.clear();
        RecordingPage page = Read(MonitorProfile(c.port, c.ssl), c.dn);
        EXPECT_TRUE(page.rows.empty());
        ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
        EXPECT_EQ(m_shell.MessageBox().asked[0].text.rfind(c.text, 0), 0u) << m_shell.MessageBox().asked[0].text;
        EXPECT_EQ(m_shell.MessageBox().asked[0].style & 0xF0, 0x10u);
    }
}

TEST_F(ServerMonitorThreadTest, TheReadersConnectionIsClosedBeforeItsEnd)
{
    int before = live::SettledMainServerConnections();
    Read(MonitorProfile(live::MainServer().Port(), false), "cn=monitor");
    EXPECT_EQ(live::WaitForMainServerConnections(before), before);
}

} // namespace
