// Opens a server node whose base entry has many children through the
// directory model (headless views and dispatcher, the jobs on their workers),
// and reads the same children with a plain one-level search ("1.1", through
// the session layer's result queue), taking turns for several rounds. Both
// include the bind. The open ends when every row is in the list: the pump
// moves the dispatcher's clock on, so the list's timed fill goes on as it
// does under an event loop.
//
// Memory: the idle figure is taken after a first open of the server's
// parent entry (one child: the host's schema is loaded then); per child
// counts the live and the peak memory after the open over it. Then the node
// is refreshed twice and the server closed; what the process holds then is
// printed as a percent of the idle figure.
//
//   bench_node_open [rounds] [children...]
//
// Each size gets a server built for it (SlapdServer::Bench), removed after it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "jobs/CLDAPThread.h"
#include "ldap/LDAPConnection.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Dispatcher.h"
#include "platform/ResourceLibrary.h"
#include "schema/SchemaLoadThread.h"
#include "schema/SyntaxCatalogue.h"
#include "tests/support/HeadlessControls.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/support/SlapdServer.h"

using namespace arbldap;

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;
const char* const kBase = testsupport::kChildrenBase;

// The list view's part: the node messages the jobs post.
class ListView : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override
    {
        HandleListViewMessage(id, wParam, lParam, payload);
    }
};

// Pumps the dispatcher, with its clock moving as real time does (the
// list's fill timer), until finished() holds; false after limitMs.
bool PumpUntil(platform::HeadlessUi& ui, const std::function<bool()>& finished, int limitMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    Clock::time_point last = Clock::now();
    for (;;) {
        ui.Dispatcher().Pump();
        const Clock::time_point now = Clock::now();
        const auto passed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last);
        ui.Dispatcher().Advance(static_cast<uint64_t>(std::max<int64_t>(1, passed.count())));
        last = now;
        if (finished())
            return true;
        if (now > deadline)
            return false;
        ui.Dispatcher().WaitForWork(1);
    }
}

struct Round {
    double ms = 0;
    size_t live = 0;  // resident after the open
    size_t peak = 0;  // highest resident during the open
    size_t closed = 0;  // resident after two refreshes and the server closed
};

class ModelOpen {
public:
    ModelOpen(platform::HeadlessUi& ui, int port, const char* base, size_t children)
        : m_ui(ui), m_children(children)
    {
        CServerProfile profile;
        profile.SetProfileName(L"bench");
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(port);
        profile.SetBaseDN(LDAPDN(base));
        profile.SetAnonymousBind(1);
        profile.GetOptions().SetSizeLimit(0);
        auto node = std::make_unique<CServerObject>(profile);
        m_server = node.get();
        if (!InsertObjectItem(*node, platform::kTreeRoot))
            throw std::runtime_error("cannot insert the server node");
        node.release();
        ui.Tree().SelectItem(m_server->GetTreeItem());
    }

    // The click to every row in the list.
    double Open()
    {
        const Clock::time_point start = Clock::now();
        m_server->ShowContents(0);
        WaitForRows("open");
        return Millis(Clock::now() - start);
    }

    void Refresh()
    {
        m_server->Refresh(1);
        WaitForRows("refresh");
    }

    void Close()
    {
        RemoveAllRows();
        DeleteChildItems(platform::kTreeRoot);
        m_ui.Dispatcher().Pump();
    }

private:
    void WaitForRows(const char* what)
    {
        bool busySeen = false;
        const bool done = PumpUntil(
            m_ui,
            [&] {
                const bool working = GetRunningThreadCount() != 0 || m_server->IsBusy();
                busySeen = busySeen || working;
                return busySeen && !working && m_server->IsContentsFetched() &&
                       static_cast<size_t>(m_ui.List().GetItemCount()) >= m_children + m_server->GetAttributeCount();
            },
            600000);
        const size_t shown = static_cast<size_t>(m_ui.List().GetItemCount());
        const size_t inTree = m_ui.Tree().GetChildren(m_server->GetTreeItem()).size();
        if (!done || inTree != m_children || shown != m_children + m_server->GetAttributeCount()) {
            std::fprintf(stderr, "%s: %zu children in the tree, %zu rows (done %d)\n", what, inTree, shown, done);
            std::exit(1);
        }
    }

    platform::HeadlessUi& m_ui;
    size_t m_children;
    CServerObject* m_server = nullptr;
};

Round OpenThroughModel(platform::HeadlessUi& ui, int port, size_t children)
{
    Round round;
    ModelOpen open(ui, port, kBase, children);
    bench::ResetPeakResident();
    round.ms = open.Open();
    round.live = bench::ResidentBytes();
    round.peak = bench::PeakResidentBytes();
    open.Refresh();
    open.Refresh();
    open.Close();
    round.closed = bench::ResidentBytes();
    return round;
}

// A plain search of the same entries, with its own bind.
double PlainSearch(int port, size_t children)
{
    Clock::time_point start = Clock::now();
    LDAPConnectionPtr connection = LDAPConnection::Create("127.0.0.1", port);
    connection->SetProtocolVersion(3);
    std::unique_ptr<LDAPResultQueue> bind = connection->Bind("", "");
    std::unique_ptr<LDAPResponse> bound = bind->GetNextResponse();
    StringList attributes;
    attributes.Add("1.1");
    std::unique_ptr<LDAPResultQueue> queue = connection->Search(kBase, 1, "(objectClass=*)", attributes, false);
    size_t entries = 0;
    while (std::unique_ptr<LDAPResponse> response = queue->GetNextResponse()) {
        if (response->GetMessageType() == kLDAPSearchEntry)
            ++entries;
        else if (response->GetMessageType() == kLDAPSearchResult)
            break;
    }
    double ms = Millis(Clock::now() - start);
    if (entries != children) {
        std::fprintf(stderr, "plain search: %zu entries\n", entries);
        std::exit(1);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<size_t> sizes = bench::SizesFrom(argc, argv, 2);

    platform::ResourceLibrary::Current().LoadDefault();
    InitSchemaTables();
    InstallSchemaLoadJobStarter();
    CDataObject::InitCommandImages();
    platform::HeadlessUi ui;
    platform::HeadlessShell shell;
    ui.Tree().SetTextProvider(&GetTreeItemText);
    ListView listView;
    platform::ReceiverRegistration registration(listView);
    platform::SetAppWindow(platform::AppWindow::ListView, registration.Id());

    std::vector<bench::SizeLine> lines;
    for (size_t children : sizes) {
        std::unique_ptr<testsupport::SlapdServer> server =
            testsupport::SlapdServer::Bench(testsupport::ChildrenLdif(children));
        const int port = server->Port();

        // The parent entry first (one child): the host's schema is loaded once per server.
        {
            ModelOpen first(ui, port, "o=bench", 1);
            first.Open();
            first.Close();
        }
        PlainSearch(port, children);
        const size_t idle = bench::ResidentBytes();

        std::vector<double> model, plain, perChild, peakPerChild, closed;
        for (int i = 0; i < rounds; ++i) {
            const Round r = OpenThroughModel(ui, port, children);
            model.push_back(r.ms);
            perChild.push_back((double(r.live) - double(idle)) / double(children));
            peakPerChild.push_back((double(r.peak) - double(idle)) / double(children));
            closed.push_back(100.0 * double(r.closed) / double(idle));
            plain.push_back(PlainSearch(port, children));
            std::printf("size %zu round %d: model %8.1f ms, plain %8.1f ms, live %6.1f MB, peak %6.1f MB, "
                        "after close %6.1f MB (idle %6.1f MB)\n",
                        children, i + 1, r.ms, plain.back(), r.live / 1e6, r.peak / 1e6, r.closed / 1e6, idle / 1e6);
            std::fflush(stdout);
        }
        const double m = Median(model);
        const double p = Median(plain);
        std::printf("children: %zu, rounds: %d, load average: %.2f\n", children, rounds, bench::LoadAverage());
        std::printf("open through the model: %8.1f ms median, %8.1f ms fastest\n", m,
                    *std::min_element(model.begin(), model.end()));
        std::printf("plain one-level search: %8.1f ms median, %8.1f ms fastest\n", p,
                    *std::min_element(plain.begin(), plain.end()));
        std::printf("ratio model / plain:    %8.2f median\n", m / p);
        std::printf("memory per child over idle: %8.0f bytes live, %8.0f bytes at peak (idle %.1f MB)\n",
                    Median(perChild), Median(peakPerChild), idle / 1e6);
        std::printf("after two refreshes and the server closed: %.0f%% of idle (the last round)\n", closed.back());
        std::fflush(stdout);
        lines.push_back(bench::SizeLine{children, m / p, 0, Median(perChild), closed.back()});
    }
    std::printf("load average: %.2f\n", bench::LoadAverage());
    bench::PrintSizeLines(lines);

    platform::SetAppWindow(platform::AppWindow::ListView, platform::kNoReceiver);
    return 0;
}
