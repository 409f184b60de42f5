// Opens a node with many children in the real main window (run it under a
// display, e.g. xvfb-run): a click on a server node whose base entry has
// the children, through the bind, the child fetch and the rows, until the
// last row is shown in the list, and on until the work is over (the
// workers gone and the node idle). Meanwhile a 10 ms timer on the event loop records
// how late it fires: the longest gap is the longest time the window did not
// answer. Beside it a plain libldap search of the same entries (bind, one
// level, "1.1"). Several rounds, each in a new main window; before them the
// server's parent entry (one child) is opened once, which loads the schema.
//
// Memory: the idle figure is the process's with the main window up and the
// server not yet opened (after that first open); per child counts the live
// and the peak memory after the open over it. Then the node is refreshed
// twice, collapsed and the window closed; what the process holds then is
// printed as a percent of the idle figure. The stall counts the refreshes too.
//
//   xvfb-run -a bench_browse_window [rounds] [children...]
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

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "bench/BenchWindow.h"
#include "bench/BenchSupport.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "platform/BrokenPipe.h"
#include "platform/ResourceLibrary.h"
#include "platform/SettingsStore.h"
#include "tests/support/PlainLdapSearch.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/gui/ProgramSession.h"
#include "ui/CArbListView.h"
#include "ui/CArbTreeView.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;
const char* const kBase = testsupport::kChildrenBase;

struct Round {
    double shown = 0;        // click to the last row shown in the list
    double total = 0;        // click to the end of the work (threads gone, node idle)
    double longestStall = 0; // the timer's longest gap beyond its period
    double stallAt = 0;      // when that gap ended, from the click
    double refreshStall = 0; // the longest gap during the refreshes
    size_t rows = 0;
    size_t idle = 0;         // resident before the click
    size_t live = 0;         // resident after the open
    size_t peak = 0;         // highest resident during the open
    size_t closed = 0;       // resident after the refreshes and the window closed
};

// An action on the event loop (the click, a refresh), then the loop until the
// work is over. The timer measures the stalls; the progress is checked
// whenever the loop goes idle (and on each tick), so the figures do not wait
// for the timer's period.
class WindowRound : public wxTimer {
public:
    WindowRound(platform::TreeItem server, size_t children, std::function<void()> action)
        : m_server(server), m_children(children), m_action(std::move(action))
    {
    }

    Round Run()
    {
        m_last = Clock::now();
        Start(10);
        auto idle = [this](wxIdleEvent& event) {
            event.Skip();
            Check();
        };
        wxTheApp->Bind(wxEVT_IDLE, idle);
        wxTheApp->CallAfter([this] {
            m_start = Clock::now();
            m_action();
        });
        m_loop.Run();
        wxTheApp->Unbind(wxEVT_IDLE, idle);
        Stop();
        return m_round;
    }

    void Notify() override
    {
        const Clock::time_point now = Clock::now();
        const double gap = Millis(now - m_last) - 10.0;
        m_last = now;
        if (m_start == Clock::time_point() || m_finished)
            return;
        if (gap > m_round.longestStall) {
            m_round.longestStall = gap;
            m_round.stallAt = Millis(now - m_start);
        }
        Check();
    }

private:
    void Check()
    {
        if (m_start == Clock::time_point() || m_finished)
            return;
        const Clock::time_point now = Clock::now();
        CArbListView* list = CArbListView::Get();
        auto* node = static_cast<CDataObject*>(CArbTreeView::Get()->GetPort().GetItemData(m_server));
        const bool working = GetRunningThreadCount() != 0 || !node || node->IsBusy();
        m_busySeen = m_busySeen || working;
        m_round.rows = list ? static_cast<size_t>(list->GetItemCount()) : 0;
        // A refresh empties the list first: the rows count once they came again.
        m_emptied = m_emptied || m_round.rows < m_children;
        if (m_round.shown == 0 && m_busySeen && m_emptied && m_round.rows >= m_children) {
            // Shown: painted before the time is taken.
            list->Update();
            m_round.shown = Millis(Clock::now() - m_start);
        }
        if (m_round.shown > 0 && !working) {
            m_round.total = Millis(Clock::now() - m_start);
            m_finished = true;
            m_loop.Exit();
        } else if (Millis(now - m_start) > 600000) {
            std::fprintf(stderr, "gave up after 10 minutes with %zu rows\n", m_round.rows);
            m_finished = true;
            m_loop.Exit();
        }
    }

    platform::TreeItem m_server;
    size_t m_children;
    std::function<void()> m_action;
    wxGUIEventLoop m_loop;
    Clock::time_point m_start{};
    Clock::time_point m_last{};
    bool m_finished = false;
    bool m_busySeen = false;
    bool m_emptied = false;
    Round m_round;
};

// The server node of the profile with that port and base (the bench saves
// one per server and base).
platform::TreeItem FindServer(int port, const char* base)
{
    platform::TreePort& tree = CArbTreeView::Get()->GetPort();
    platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
    for (platform::TreeItem item = tree.GetChildItem(root); item; item = tree.GetNextSiblingItem(item))
        if (auto* server = dynamic_cast<CServerObject*>(static_cast<CDataObject*>(tree.GetItemData(item))))
            if (server->GetPort() == port && server->GetDN().GetText() == base) return item;
    return platform::TreeItem();
}

CDataObject* NodeOf(platform::TreeItem item)
{
    return static_cast<CDataObject*>(CArbTreeView::Get()->GetPort().GetItemData(item));
}

Round OpenInWindow(uitest::ProgramSession& session, int port, const char* base, size_t children)
{
    if (!session.OpenFrame()) throw std::runtime_error("no main window");
    const platform::TreeItem server = FindServer(port, base);
    if (!server) throw std::runtime_error("no server in the tree");
    uitest::RunFor(200);
    const size_t idle = bench::ResidentBytes();
    bench::ResetPeakResident();
    WindowRound round(server, children, [server] { CArbTreeView::Get()->ClickItem(server, false); });
    Round result = round.Run();
    if (result.rows < children) throw std::runtime_error("the open showed " + std::to_string(result.rows) + " rows");
    result.idle = idle;
    result.live = bench::ResidentBytes();
    result.peak = bench::PeakResidentBytes();
    for (int i = 0; i < 2; ++i) {
        WindowRound refresh(server, children, [server] {
            if (CDataObject* node = NodeOf(server)) node->Refresh(1);
        });
        const Round r = refresh.Run();
        result.refreshStall = std::max(result.refreshStall, r.longestStall);
        if (r.rows < children) throw std::runtime_error("the refresh showed " + std::to_string(r.rows) + " rows");
    }
    CArbTreeView::Get()->GetPort().Expand(server, platform::TreeExpand::Collapse);
    uitest::RunFor(100);
    session.CloseFrame();
    uitest::RunFor(200);
    result.closed = bench::ResidentBytes();
    return result;
}

// A one-level search asking for no attributes, through libldap alone, every entry read.
double PlainSearch(int port, size_t children)
{
    const Clock::time_point start = Clock::now();
    const size_t entries = testsupport::PlainLdapRead(port, kBase, 1, "(objectClass=*)", {"1.1"});
    const double ms = Millis(Clock::now() - start);
    if (entries != children) throw std::runtime_error("plain search: " + std::to_string(entries) + " entries");
    return ms;
}


} // namespace

int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<size_t> sizes = bench::SizesFrom(argc, argv, 2);

    char home[] = "/tmp/arbbench-XXXXXX";
    if (!mkdtemp(home)) return 1;
    setenv("ARBOLITE_HOME", home, 1);
    platform::ResetUserRoot();
    platform::SetMachineRootFile(std::string(home) + "/machine.db");

    int status = 0;
    {
        wxApp::SetInstance(new wxApp);
        wxInitializer toolkit(argc, argv);
        if (!toolkit.IsOk()) {
            std::fprintf(stderr, "no display (run under xvfb-run)\n");
            return 2;
        }
        std::vector<bench::SizeLine> lines;
        try {
            if (!platform::ResourceLibrary::Current().LoadDefault()) throw std::runtime_error("no resource library");
            for (size_t children : sizes) {
                std::unique_ptr<testsupport::SlapdServer> server =
                    testsupport::SlapdServer::Bench(testsupport::ChildrenLdif(children));
                std::unique_ptr<uitest::ProgramSession> session = std::make_unique<uitest::ProgramSession>();
                // The parent entry first (one child): the host's schema, once per server.
                bench::SaveBenchProfile(server->Port(), "o=bench");
                OpenInWindow(*session, server->Port(), "o=bench", 1);
                bench::SaveBenchProfile(server->Port(), kBase);
                PlainSearch(server->Port(), children);
                std::vector<double> shown, total, stall, plain, perChild, peakPerChild, closed;
                size_t idle = 0;
                for (int i = 0; i < rounds; ++i) {
                    Round r = OpenInWindow(*session, server->Port(), kBase, children);
                    if (i == 0) idle = r.idle;
                    plain.push_back(PlainSearch(server->Port(), children));
                    std::printf("size %zu round %d: last row shown %7.1f ms, work over %7.1f ms, plain %7.1f ms, "
                                "%zu rows, longest stall %6.1f ms (%.0f ms after the click), in the refreshes %6.1f ms, "
                                "idle %.1f MB, live %.1f MB, peak %.1f MB, after close %.1f MB\n",
                                children, i + 1, r.shown, r.total, plain.back(), r.rows, r.longestStall, r.stallAt, r.refreshStall,
                                r.idle / 1e6, r.live / 1e6, r.peak / 1e6, r.closed / 1e6);
                    std::fflush(stdout);
                    shown.push_back(r.shown);
                    total.push_back(r.total);
                    stall.push_back(r.longestStall);
                    perChild.push_back((double(r.live) - double(idle)) / double(children));
                    peakPerChild.push_back((double(r.peak) - double(idle)) / double(children));
                    closed.push_back(100.0 * double(r.closed) / double(idle));
                }
                const double w = Median(shown);
                const double t = Median(total);
                const double p = Median(plain);
                const double s = *std::max_element(stall.begin(), stall.end());
                std::printf("children: %zu, rounds: %d, load average: %.2f\n", children, rounds, bench::LoadAverage());
                std::printf("click to the last row shown:      %8.1f ms median\n", w);
                std::printf("click to the work over:           %8.1f ms median\n", t);
                std::printf("plain libldap one-level search:   %8.1f ms median\n", p);
                std::printf("ratio last row shown / plain:     %8.2f\n", w / p);
                std::printf("ratio work over / plain:          %8.2f\n", t / p);
                std::printf("longest event-loop stall:         %8.1f ms (goal: at most 100)\n", s);
                std::printf("memory per child over idle:       %8.0f bytes live, %.0f bytes at peak (idle %.1f MB)\n",
                            Median(perChild), Median(peakPerChild), idle / 1e6);
                std::printf("after refreshes and the close:    %8.0f%% of idle (the last round)\n", closed.back());
                std::fflush(stdout);
                lines.push_back(bench::SizeLine{children, w / p, s, Median(perChild), closed.back()});
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_browse_window: %s\n", e.what());
            status = 1;
        }
        std::printf("load average: %.2f\n", bench::LoadAverage());
        bench::PrintSizeLines(lines);
    }
    std::system((std::string("rm -rf '") + home + "'").c_str());
    return status;
}
