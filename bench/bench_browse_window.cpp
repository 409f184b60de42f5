// Opens a node with many children in the real main window (run it under a
// display, e.g. xvfb-run): a click on a server node whose base entry has
// the children, through the bind, the child fetch and the rows, until the
// last row is shown in the list, and on until the work is over (the
// workers gone and the node idle). Meanwhile a 10 ms timer on the event loop records
// how late it fires: the longest gap is the longest time the window did not
// answer. Beside it a plain libldap search of the same entries (bind, one
// level, "1.1"). Several rounds, each in a new main window; the first
// round (it loads the schema) is not counted.
//
//   xvfb-run -a bench_browse_window [rounds] [children]
//
// Goals: the last row shown in under twice the plain search's time, no stall
// over 100 ms.

#include <ldap.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "bench/BenchSupport.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "platform/BrokenPipe.h"
#include "platform/ResourceLibrary.h"
#include "platform/SettingsStore.h"
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
    size_t rows = 0;
};

// The click, then the event loop until the work is over. The timer measures
// the stalls; the progress is checked whenever the loop goes idle (and on
// each tick), so the figures do not wait for the timer's period.
class WindowRound : public wxTimer {
public:
    WindowRound(platform::TreeItem server, size_t children) : m_server(server), m_children(children) {}

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
            CArbTreeView::Get()->ClickItem(m_server, false);
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
        m_round.rows = list ? static_cast<size_t>(list->GetItemCount()) : 0;
        if (m_round.shown == 0 && m_round.rows >= m_children) {
            // Shown: painted before the time is taken.
            list->Update();
            m_round.shown = Millis(Clock::now() - m_start);
        }
        auto* node = static_cast<CDataObject*>(CArbTreeView::Get()->GetPort().GetItemData(m_server));
        if (m_round.shown > 0 && GetRunningThreadCount() == 0 && node && !node->IsBusy()) {
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
    wxGUIEventLoop m_loop;
    Clock::time_point m_start{};
    Clock::time_point m_last{};
    bool m_finished = false;
    Round m_round;
};

platform::TreeItem FindServer()
{
    platform::TreePort& tree = CArbTreeView::Get()->GetPort();
    platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
    for (platform::TreeItem item = tree.GetChildItem(root); item; item = tree.GetNextSiblingItem(item))
        if (dynamic_cast<CServerObject*>(static_cast<CDataObject*>(tree.GetItemData(item)))) return item;
    return platform::TreeItem();
}

Round OpenInWindow(uitest::ProgramSession& session, size_t children)
{
    if (!session.OpenFrame()) throw std::runtime_error("no main window");
    const platform::TreeItem server = FindServer();
    if (!server) throw std::runtime_error("no server in the tree");
    uitest::RunFor(200);
    WindowRound round(server, children);
    Round result = round.Run();
    session.CloseFrame();
    uitest::RunFor(100);
    return result;
}

// Bind, a one-level search asking for no attributes, every entry read.
double PlainSearch(int port, size_t children)
{
    const Clock::time_point start = Clock::now();
    LDAP* ld = nullptr;
    const std::string url = "ldap://127.0.0.1:" + std::to_string(port);
    if (ldap_initialize(&ld, url.c_str()) != LDAP_SUCCESS) throw std::runtime_error("ldap_initialize");
    int version = LDAP_VERSION3;
    ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
    berval empty{0, nullptr};
    if (ldap_sasl_bind_s(ld, "", LDAP_SASL_SIMPLE, &empty, nullptr, nullptr, nullptr) != LDAP_SUCCESS)
        throw std::runtime_error("bind");
    char noAttributes[] = "1.1";
    char* attributes[] = {noAttributes, nullptr};
    int id = 0;
    if (ldap_search_ext(ld, kBase, LDAP_SCOPE_ONELEVEL, "(objectClass=*)", attributes, 0, nullptr, nullptr, nullptr,
                        0, &id) != LDAP_SUCCESS)
        throw std::runtime_error("search");
    size_t entries = 0;
    for (bool done = false; !done;) {
        LDAPMessage* message = nullptr;
        if (ldap_result(ld, id, LDAP_MSG_ONE, nullptr, &message) <= 0 || !message) throw std::runtime_error("result");
        switch (ldap_msgtype(message)) {
        case LDAP_RES_SEARCH_ENTRY: {
            char* dn = ldap_get_dn(ld, message);
            ldap_memfree(dn);
            ++entries;
            break;
        }
        case LDAP_RES_SEARCH_RESULT: done = true; break;
        default: break;
        }
        ldap_msgfree(message);
    }
    ldap_unbind_ext_s(ld, nullptr, nullptr);
    const double ms = Millis(Clock::now() - start);
    if (entries != children) throw std::runtime_error("plain search: " + std::to_string(entries) + " entries");
    return ms;
}

void SaveProfile(int port)
{
    CServerProfile profile;
    profile.SetProfileName(L"bench");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.SetBaseDN(arbldap::LDAPDN(kBase));
    profile.SetAnonymousBind(1);
    profile.GetOptions().SetSizeLimit(0);
    if (!profile.SaveProfile()) throw std::runtime_error("cannot save the profile");
}

} // namespace

int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const size_t children = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 10000;

    bench::TempHome home;
    if (!home.IsOk()) return 1;

    int status = 0;
    {
        std::unique_ptr<testsupport::SlapdServer> server = testsupport::SlapdServer::Bench(testsupport::ChildrenLdif(children));
        wxApp::SetInstance(new wxApp);
        wxInitializer toolkit(argc, argv);
        if (!toolkit.IsOk()) {
            std::fprintf(stderr, "no display (run under xvfb-run)\n");
            return 2;
        }
        try {
            if (!platform::ResourceLibrary::Current().LoadDefault()) throw std::runtime_error("no resource library");
            SaveProfile(server->Port());
            uitest::ProgramSession session;

            OpenInWindow(session, children);  // the schema, once per run
            PlainSearch(server->Port(), children);
            std::vector<double> shown, total, stall, plain;
            for (int i = 0; i < rounds; ++i) {
                Round r = OpenInWindow(session, children);
                std::printf("round %d: last row shown %7.1f ms, work over %7.1f ms, %zu rows, longest stall %6.1f ms "
                            "(%.0f ms after the click)\n",
                            i + 1, r.shown, r.total, r.rows, r.longestStall, r.stallAt);
                shown.push_back(r.shown);
                total.push_back(r.total);
                stall.push_back(r.longestStall);
                plain.push_back(PlainSearch(server->Port(), children));
            }
            const double w = Median(shown);
            const double t = Median(total);
            const double p = Median(plain);
            const double s = *std::max_element(stall.begin(), stall.end());
            double load[3] = {0, 0, 0};
            getloadavg(load, 3);
            std::printf("children: %zu, rounds: %d, load average: %.2f\n", children, rounds, load[0]);
            std::printf("click to the last row shown:      %8.1f ms median\n", w);
            std::printf("click to the work over:           %8.1f ms median\n", t);
            std::printf("plain libldap one-level search:   %8.1f ms median\n", p);
            std::printf("ratio last row shown / plain:     %8.2f (goal: under 2)\n", w / p);
            std::printf("ratio work over / plain:          %8.2f\n", t / p);
            std::printf("longest event-loop stall:         %8.1f ms (goal: at most 100)\n", s);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_browse_window: %s\n", e.what());
            status = 1;
        }
    }
    return status;
}
