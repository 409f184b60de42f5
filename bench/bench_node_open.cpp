// Opens a server node whose base entry has many children through the
// directory model (headless views and dispatcher, the jobs on their workers),
// and reads the same children with a plain one-level search ("1.1", through
// the session layer's result queue), taking turns for several rounds. Both
// include the bind. Prints the median and the fastest times, their ratios and
// the machine's load (the model's three threads feel a busy machine more
// than the plain search's one).
//
//   bench_node_open [rounds] [children]
//
// The server is built for the run (SlapdServer::Bench) and removed at the end.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
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

// Through the model: the time from the click to the filled views.
double OpenThroughModel(platform::HeadlessUi& ui, int port, size_t children)
{
    CServerProfile profile;
    profile.SetProfileName(L"bench");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.SetBaseDN(LDAPDN(kBase));
    profile.SetAnonymousBind(1);
    profile.GetOptions().SetSizeLimit(0);
    auto node = std::make_unique<CServerObject>(profile);
    CServerObject* server = node.get();
    if (!InsertObjectItem(*node, platform::kTreeRoot))
        throw std::runtime_error("cannot insert the server node");
    node.release();
    ui.Tree().SelectItem(server->GetTreeItem());

    Clock::time_point start = Clock::now();
    server->ShowContents(0);
    // Pumped in short slices: the end shows in the node, not in the queue.
    auto pumpUntil = [&ui](const std::function<bool()>& finished, int limitMs) {
        Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
        for (;;) {
            ui.Dispatcher().Pump();
            if (finished())
                return true;
            if (Clock::now() > deadline)
                return false;
            ui.Dispatcher().WaitForWork(1);
        }
    };
    bool done = pumpUntil(
        [&] { return GetRunningThreadCount() == 0 && server->IsContentsFetched() && !server->IsBusy(); }, 600000);
    ui.Dispatcher().Pump();
    double ms = Millis(Clock::now() - start);

    size_t shown = static_cast<size_t>(ui.List().GetItemCount());
    size_t inTree = ui.Tree().GetChildren(server->GetTreeItem()).size();
    if (!done || inTree != children || shown != children + server->GetAttributeCount()) {
        std::fprintf(stderr, "model: %zu children in the tree, %zu rows (done %d)\n", inTree, shown, done);
        std::exit(1);
    }
    RemoveAllRows();
    DeleteChildItems(platform::kTreeRoot);
    return ms;
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
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    const size_t children = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 10000;

    std::unique_ptr<testsupport::SlapdServer> server = testsupport::SlapdServer::Bench(testsupport::ChildrenLdif(children));
    const int port = server->Port();

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

    // One round of each first: the host's schema is loaded once per run.
    OpenThroughModel(ui, port, children);
    PlainSearch(port, children);

    std::vector<double> model, plain;
    for (int i = 0; i < rounds; ++i) {
        model.push_back(OpenThroughModel(ui, port, children));
        plain.push_back(PlainSearch(port, children));
    }
    const double m = Median(model);
    const double p = Median(plain);
    const double mFast = *std::min_element(model.begin(), model.end());
    const double pFast = *std::min_element(plain.begin(), plain.end());
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("children: %zu, rounds: %d, load average: %.2f\n", children, rounds, load[0]);
    std::printf("open through the model: %8.1f ms median, %8.1f ms fastest\n", m, mFast);
    std::printf("plain one-level search: %8.1f ms median, %8.1f ms fastest\n", p, pFast);
    std::printf("ratio model / plain:    %8.2f median,  %8.2f fastest (goal: under 1.5)\n", m / p, mFast / pFast);

    platform::SetAppWindow(platform::AppWindow::ListView, platform::kNoReceiver);
    return 0;
}
