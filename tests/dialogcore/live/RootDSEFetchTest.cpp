// The root-DSE reader against the test servers: what it posts, in which
// order, and what becomes of its messages when the window has gone.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "base/Utf8.h"
#include "dialogcore/CRootDSEFetchThread.h"
#include "jobs/CLDAPThread.h"
#include "ldap/LDAPControl.h"
#include "ldap/LDAPCredentials.h"
#include "ldap/LDAPOperationOptions.h"
#include "platform/Messages.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/SlapdServer.h"

using namespace arbldap;

namespace live {
namespace {

using namespace std::chrono_literals;

// Generous: about hangs, not speed.
constexpr uint32_t kHangLimitMs = 60000;

struct Received {
    platform::MessageId id;
    uintptr_t wParam;
    std::wstring text;                     // naming context or error text
    std::unique_ptr<LDAPControlList> controls;
};

// A window as the host page is one, reduced to keeping what arrives.
class Recorder : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t, std::unique_ptr<platform::MessagePayload> payload) override
    {
        Received r{id, wParam, std::wstring(), nullptr};
        if (auto* text = platform::PayloadValue<std::wstring>(payload))
            r.text = *text;
        if (auto* list = platform::PayloadValue<LDAPControlList>(payload))
            r.controls = std::make_unique<LDAPControlList>(*list);
        messages.push_back(std::move(r));
    }

    bool Ended() const { return !messages.empty() && messages.back().id == platform::WM_ROOTDSE_ENDED; }

    std::vector<std::wstring> NamingContexts() const
    {
        std::vector<std::wstring> texts;
        for (const Received& r : messages)
            if (r.id == platform::WM_ROOTDSE_NAMING_CONTEXT)
                texts.push_back(r.text);
        return texts;
    }

    int Count(platform::MessageId id) const
    {
        int n = 0;
        for (const Received& r : messages)
            n += r.id == id;
        return n;
    }

    const Received* Find(platform::MessageId id) const
    {
        for (const Received& r : messages)
            if (r.id == id)
                return &r;
        return nullptr;
    }

    std::vector<Received> messages;
};

class RootDSEFetch : public ::testing::Test {
protected:
    RootDSEFetch() : m_dispatcher(std::make_shared<platform::ManualDispatcher>()), m_scope(m_dispatcher) {}

    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(30s));
        EXPECT_EQ(GetRunningThreadCount(), 0);
    }

    // Starts a reader for the bits and pumps until its end message came.
    void Fetch(Recorder& recorder, int port, unsigned bits, const LDAPOperationOptions* options = nullptr,
               const std::wstring& host = L"127.0.0.1")
    {
        platform::ReceiverRegistration registration(recorder);
        {
            auto fetcher = std::make_shared<CRootDSEFetchThread>(host, port, options, registration.Id());
            fetcher->SetOption(CRootDSEFetchThread::kNamingContexts, bits & 1);
            fetcher->SetOption(CRootDSEFetchThread::kSupportedControls, bits & 2);
            ASSERT_TRUE(fetcher->CreateThread());
        }
        EXPECT_TRUE(m_dispatcher->PumpUntil([&] { return recorder.Ended(); }, kHangLimitMs));
        EXPECT_TRUE(WaitForAllThreads(30s));
        m_dispatcher->Pump();
        EXPECT_EQ(recorder.Count(platform::WM_ROOTDSE_ENDED), 1);
        EXPECT_TRUE(recorder.Ended()) << "the end message must come last";
    }

    std::shared_ptr<platform::ManualDispatcher> m_dispatcher;
    platform::DispatcherScope m_scope;
};

TEST_F(RootDSEFetch, NamingContextsAndControlsOfTheServer)
{
    RefPtr<LDAPSyncConnection> sync = OpenSync(MainServer().Port());
    StringList oids = ReadValues(*sync, "", "(objectClass=*)", "supportedControl");
    ASSERT_FALSE(oids.IsEmpty());

    struct Case {
        const char* name;
        unsigned bits;
        std::vector<std::wstring> contexts;
        bool controls;
    };
    const Case cases[] = {
        {"both", 3, {L"o=lab", L"o=other"}, true},
        {"naming contexts only", 1, {L"o=lab", L"o=other"}, false},
        {"controls only: no naming context, no search of the top", 2, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder recorder;
        Fetch(recorder, MainServer().Port(), c.bits);
        EXPECT_EQ(recorder.Count(platform::WM_ROOTDSE_ERROR), 0);
        EXPECT_EQ(recorder.NamingContexts(), c.contexts);

        // The control list always comes, before the naming contexts.
        ASSERT_EQ(recorder.Count(platform::WM_ROOTDSE_CONTROLS), 1);
        EXPECT_EQ(recorder.messages.front().id, platform::WM_ROOTDSE_CONTROLS);
        const LDAPControlList& list = *recorder.Find(platform::WM_ROOTDSE_CONTROLS)->controls;
        if (!c.controls) {
            EXPECT_TRUE(list.IsEmpty());
            continue;
        }
        ASSERT_EQ(list.GetCount(), oids.GetCount());
        size_t i = 0;
        for (const std::string& oid : oids) {
            const LDAPControl& control = list.GetAt(i++);
            EXPECT_EQ(control.GetOID(), oid);
            EXPECT_FALSE(control.IsCritical());
            EXPECT_FALSE(control.IsEnabled());
            EXPECT_TRUE(control.GetValue().empty());
        }
    }
}

TEST_F(RootDSEFetch, BindsWithTheRebindCredentialsOfTheOptions)
{
    // Anonymous users get no root DSE there: the reader ends quietly.
    Recorder anonymous;
    Fetch(anonymous, SlapdServer::Restricted().Port(), 3);
    EXPECT_EQ(anonymous.messages.size(), 1u);

    LDAPOperationOptions options;
    options.SetRebindCredentials(
        std::make_shared<const LDAPBindCredentials>(testsupport::kReaderDN, testsupport::kReaderPassword));
    Recorder bound;
    Fetch(bound, SlapdServer::Restricted().Port(), 1, &options);
    EXPECT_EQ(bound.Count(platform::WM_ROOTDSE_ERROR), 0);
    EXPECT_EQ(bound.NamingContexts(), std::vector<std::wstring>{L"o=hidden"});

    LDAPOperationOptions wrong;
    wrong.SetRebindCredentials(std::make_shared<const LDAPBindCredentials>(testsupport::kReaderDN, "wrong"));
    Recorder refused;
    Fetch(refused, SlapdServer::Restricted().Port(), 1, &wrong);
    ASSERT_EQ(refused.messages.size(), 2u);
    EXPECT_EQ(refused.messages[0].id, platform::WM_ROOTDSE_ERROR);
    EXPECT_EQ(refused.messages[0].wParam, 49u);
}

TEST_F(RootDSEFetch, AnUnreachableServerIsReportedThenTheEnd)
{
    int port = testsupport::FreePort();  // nobody listens there
    Recorder recorder;
    Fetch(recorder, port, 3);
    ASSERT_EQ(recorder.messages.size(), 2u);
    const Received& error = recorder.messages[0];
    EXPECT_EQ(error.id, platform::WM_ROOTDSE_ERROR);
    EXPECT_NE(error.wParam, 0u);
    EXPECT_FALSE(error.text.empty());
}

TEST_F(RootDSEFetch, MessagesForAClosedWindowAreFreed)
{
    // The window goes while the reader runs; run under a leak checker, the
    // naming contexts, the control list and the error text must all be freed.
    int port = testsupport::FreePort();
    for (int serverPort : {MainServer().Port(), port}) {
        SCOPED_TRACE(serverPort);
        platform::ReceiverId gone;
        {
            Recorder recorder;
            platform::ReceiverRegistration registration(recorder);
            gone = registration.Id();
            auto fetcher = std::make_shared<CRootDSEFetchThread>(L"127.0.0.1", serverPort, nullptr, gone);
            fetcher->SetOption(CRootDSEFetchThread::kNamingContexts, true);
            fetcher->SetOption(CRootDSEFetchThread::kSupportedControls, true);
            ASSERT_TRUE(fetcher->CreateThread());
        }
        ASSERT_TRUE(WaitForAllThreads(30s));
        EXPECT_FALSE(m_dispatcher->IsRegistered(gone));
        EXPECT_EQ(m_dispatcher->PendingCount(), 0u);
        EXPECT_EQ(m_dispatcher->Pump(), 0u);
    }

    // Gone while messages wait in the queue: unregistering frees them.
    Recorder late;
    auto registration = std::make_unique<platform::ReceiverRegistration>(late);
    auto fetcher = std::make_shared<CRootDSEFetchThread>(L"127.0.0.1", MainServer().Port(), nullptr, registration->Id());
    fetcher->SetOption(CRootDSEFetchThread::kNamingContexts, true);
    fetcher->SetOption(CRootDSEFetchThread::kSupportedControls, true);
    ASSERT_TRUE(fetcher->CreateThread());
    fetcher.reset();
    ASSERT_TRUE(WaitForAllThreads(30s));
    EXPECT_GE(m_dispatcher->PendingCount(), 4u);
    registration.reset();
    EXPECT_EQ(m_dispatcher->PendingCount(), 0u);
    EXPECT_TRUE(late.messages.empty());
}

} // namespace
} // namespace live
