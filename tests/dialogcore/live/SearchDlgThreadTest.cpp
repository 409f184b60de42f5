// The search dialog's worker against the real test servers: the rows it
// hands over hold exactly the entries a plain libldap search finds, in the
// columns asked for; failures come as one error unless the user stopped;
// a stop ends a search the server never answers; the end comes last, once,
// after the connection's reference has gone.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/CSearchDlgThread.h"
#include "jobs/CLDAPThread.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/PlainLdapSearch.h"
#include "tests/support/ScriptedBackend.h"
#include "tests/support/TempHome.h"

namespace {

using namespace std::chrono_literals;

// Stands in for the dialog: takes the rows from the sink when told.
class RecordingDialog : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t, intptr_t,
                   std::unique_ptr<platform::MessagePayload> payload) override
    {
        EXPECT_FALSE(ended) << "a message after the end";
        if (id == WM_SEARCH_ROWS) {
            ++rowMessages;
            std::vector<SearchRow> taken = sink->Take();
            EXPECT_FALSE(taken.empty());
            for (SearchRow& row : taken)
                rows.push_back(std::move(row));
        } else if (id == WM_SEARCH_ERROR) {
            if (auto* text = platform::PayloadValue<std::wstring>(payload))
                errors.push_back(*text);
        } else if (id == platform::WM_WORKER_ENDED) {
            ended = true;
        }
    }

    std::shared_ptr<SearchRowSink> sink = std::make_shared<SearchRowSink>();
    std::vector<SearchRow> rows;
    std::vector<std::wstring> errors;
    int rowMessages = 0;
    bool ended = false;
};

std::multiset<std::string> PlainDNs(const std::string& base, int scope, const std::string& filter)
{
    std::multiset<std::string> dns;
    for (const testsupport::PlainEntry& entry :
         testsupport::PlainLdapSearch(live::MainServer().Port(), base, scope, filter, {"1.1"}))
        dns.insert(entry.dn);
    return dns;
}

class SearchDlgThreadTest : public testsupport::TempHomeTest {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(WaitForAllThreads(10s));
        TempHomeTest::TearDown();
    }

    std::shared_ptr<CSearchDlgThread> Start(RecordingDialog& dialog, platform::ReceiverId id, SearchRequest request)
    {
        auto worker = std::make_shared<CSearchDlgThread>(live::Open(live::MainServer().Port()), std::move(request),
                                                         id, dialog.sink);
        EXPECT_TRUE(worker->CreateThread());
        return worker;
    }

    // Runs one search to its end.
    void Run(RecordingDialog& dialog, SearchRequest request)
    {
        platform::ReceiverRegistration registration(dialog);
        Start(dialog, registration.Id(), std::move(request)).reset();
        EXPECT_TRUE(m_dispatcher->PumpUntil([&] { return dialog.ended; }, 60000)) << "no end message";
        m_dispatcher->Pump();
    }

    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
};

SearchRequest Request(const std::wstring& base, SearchScope scope, const std::wstring& attributes = L"",
                      const std::wstring& filter = L"(objectclass=*)")
{
    SearchRequest request;
    request.baseText = base;
    request.filter = filter;
    request.attributeText = attributes;
    request.scope = scope;
    request.notPrintableText = L"<bytes>";
    return request;
}

TEST_F(SearchDlgThreadTest, FindsExactlyWhatAPlainSearchFinds)
{
    struct Case {
        const wchar_t* base;
        SearchScope scope;
        const char* filter;
    };
    const Case cases[] = {
        {L"o=lab", SearchScope::OneLevel, "(objectclass=*)"},
        {L"o=lab", SearchScope::Subtree, "(objectclass=*)"},
        {L"ou=people,o=lab", SearchScope::Subtree, "(objectclass=inetOrgPerson)"},
        {L"ou=people,o=lab", SearchScope::OneLevel, "(cn=M*)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8Text(c.base) + " " + c.filter);
        RecordingDialog dialog;
        Run(dialog, Request(c.base, c.scope, L"", Utf8ToWideString(c.filter)));
        EXPECT_TRUE(dialog.errors.empty()) << (dialog.errors.empty() ? "" : WideToUtf8Text(dialog.errors[0]));
        std::multiset<std::string> found;
        for (const SearchRow& row : dialog.rows)
            found.insert(row.dn);
        std::multiset<std::string> plain;
        try {
            plain = PlainDNs(WideToUtf8Text(c.base), c.scope == SearchScope::OneLevel ? 1 : 2, c.filter);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
        EXPECT_FALSE(plain.empty());
        EXPECT_EQ(found, plain);
    }
}

TEST_F(SearchDlgThreadTest, CellsFollowTheColumnsAskedFor)
{
    RecordingDialog dialog;
    Run(dialog, Request(L"ou=people,o=lab", SearchScope::OneLevel, L" MAIL, cn ,jpegPhoto,description"));
    const auto alice = std::find_if(dialog.rows.begin(), dialog.rows.end(), [](const SearchRow& row) {
        return row.dn == "cn=Alice Example,ou=people,o=lab";
    });
    ASSERT_NE(alice, dialog.rows.end());
    EXPECT_EQ(alice->cells, (std::vector<std::wstring>{L"cn=Alice Example,ou=people,o=lab", L"alice@example.org",
                                                       L"Alice Example", L"<bytes>", L"first line\nsecond line"}));
    const auto muller = std::find_if(dialog.rows.begin(), dialog.rows.end(), [](const SearchRow& row) {
        return row.dn == "cn=M\xC3\xBCller,ou=people,o=lab";
    });
    ASSERT_NE(muller, dialog.rows.end());
    EXPECT_EQ(muller->cells[0], L"cn=Müller,ou=people,o=lab");
    EXPECT_EQ(muller->cells[2], L"Müller");
    EXPECT_EQ(muller->cells[1], L"");
}

TEST_F(SearchDlgThreadTest, RootDSEReadsTheEmptyDN)
{
    // The server answers one level below its root DSE as a plain search of
    // the empty DN tells; "RootDSE" in another case is no DN at all.
    int plainCode = 0;
    try {
        PlainDNs("", 1, "(objectclass=*)");
    } catch (const testsupport::PlainLdapError& e) {
        plainCode = e.code;
    }
    struct Case {
        const wchar_t* base;
        int code;
    };
    const Case cases[] = {{L"RootDSE", plainCode}, {L"rootdse", 34}, {L"ROOTDSE", 34}};
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8Text(c.base));
        RecordingDialog dialog;
        Run(dialog, Request(c.base, SearchScope::OneLevel));
        if (c.code == 0) {
            EXPECT_TRUE(dialog.errors.empty()) << WideToUtf8Text(dialog.errors.front());
            continue;
        }
        ASSERT_EQ(dialog.errors.size(), 1u);
        const std::wstring start = L"[ERROR " + std::to_wstring(c.code) + L"] ";
        EXPECT_EQ(dialog.errors[0].rfind(start, 0), 0u) << WideToUtf8Text(dialog.errors[0]);
    }
}

TEST_F(SearchDlgThreadTest, FailuresComeOnceAsErrorTexts)
{
    struct Case {
        const wchar_t* base;
        const wchar_t* filter;
        const wchar_t* start;
    };
    const Case cases[] = {
        {L"o=lab", L"(objectclass=*", L"[ERROR 87] "},
        {L"ou=nothing,o=lab", L"(objectclass=*)", L"[ERROR 32] "},
        {L"not a dn", L"(objectclass=*)", L"[ERROR 34] "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8Text(c.filter));
        RecordingDialog dialog;
        Run(dialog, Request(c.base, SearchScope::Subtree, L"", c.filter));
        ASSERT_EQ(dialog.errors.size(), 1u);
        EXPECT_EQ(dialog.errors[0].rfind(c.start, 0), 0u) << WideToUtf8Text(dialog.errors[0]);
        EXPECT_TRUE(dialog.rows.empty());
    }
}

TEST_F(SearchDlgThreadTest, AStopEndsASearchTheServerNeverAnswers)
{
    std::mutex lock;
    std::condition_variable released;
    bool release = false;
    testsupport::ScriptedBackend backend([&](const testsupport::ScriptedBackend::Request&) {
        std::unique_lock<std::mutex> hold(lock);
        released.wait_for(hold, 30s, [&] { return release; });
        return testsupport::ScriptedResult(0);
    });
    RecordingDialog dialog;
    {
        platform::ReceiverRegistration registration(dialog);
        std::shared_ptr<CSearchDlgThread> worker =
            Start(dialog, registration.Id(), Request(L"ou=scripted,o=lab", SearchScope::Subtree));
        ASSERT_TRUE(backend.WaitForRequests(1, 10000));
        const auto stopped = std::chrono::steady_clock::now();
        worker->Stop();
        worker.reset();
        // A hang check, not a speed goal.
        EXPECT_TRUE(m_dispatcher->PumpUntil([&] { return dialog.ended; }, 2000)) << "still searching";
        EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    }
    EXPECT_TRUE(dialog.errors.empty()) << "the user stopped it";
    {
        std::lock_guard<std::mutex> hold(lock);
        release = true;
    }
    released.notify_all();
}

TEST_F(SearchDlgThreadTest, RowsAfterTheDialogWentAreFreedAndTheConnectionLetGo)
{
    arbldap::LDAPConnectionPtr connection = live::Open(live::MainServer().Port());
    auto sink = std::make_shared<SearchRowSink>();
    std::weak_ptr<SearchRowSink> weakSink = sink;
    {
        RecordingDialog dialog;
        platform::ReceiverRegistration registration(dialog);
        auto worker = std::make_shared<CSearchDlgThread>(connection, Request(L"o=lab", SearchScope::Subtree),
                                                         registration.Id(), sink);
        sink.reset();
        ASSERT_TRUE(worker->CreateThread());
        // The dialog goes at once, before anything was delivered.
    }
    EXPECT_TRUE(WaitForAllThreads(10s));
    m_dispatcher->Pump();
    EXPECT_TRUE(weakSink.expired()) << "rows kept after both sides went";
    // Only this test's own reference is left.
    connection->AddRef();
    EXPECT_EQ(connection->Release(), 1);
}

} // namespace
