// The search dialog in the real main window against many results (run it
// under a display, e.g. xvfb-run): Go to DN on the server whose base holds
// the people, attributes "cn,mail", subtree, a click on Search; the time to
// the first row shown, to the last row shown and to the end (inputs enabled
// again), the longest event-loop stall (a 10 ms timer recording how late it
// fires) and the peak memory; then a search stopped after 20,000 rows and
// the time until the dialog is idle. Beside it a plain libldap search of the
// same base, filter and attributes, reading every DN and value.
//
//   xvfb-run -a bench_search_window [people]
//
// Goals: the last row under twice the plain search's time, no stall over
// 100 ms, idle under 500 ms after Stop.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/init.h>
#include <wx/radiobut.h>
#include <wx/timer.h>

#include "bench/BenchSupport.h"
#include "bench/BenchWindow.h"
#include "dialogs/CSearchDlg.h"
#include "dialogs/CSearchResultList.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "platform/BrokenPipe.h"
#include "platform/ResourceLibrary.h"
#include "platform/SettingsStore.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/support/PlainLdapSearch.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/support/gui/UiTestSupport.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "widgets/WxCommandIds.h"

namespace {

using bench::Clock;
using bench::Millis;
const char* const kBase = testsupport::kChildrenBase;

// A 10 ms timer on the event loop: how late it fires is how long the
// window did not answer.
class StallMeter : public wxTimer {
public:
    StallMeter() { m_last = Clock::now(); Start(10); }
    ~StallMeter() override { Stop(); }
    void Notify() override
    {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, Millis(now - m_last) - 10.0);
        m_last = now;
        if (onTick) onTick();
    }
    double longest = 0;
    std::function<void()> onTick;

private:
    Clock::time_point m_last;
};

struct Figures {
    double firstRow = 0, lastRow = 0, end = 0, stall = 0, stop = 0;
    size_t rows = 0, stoppedRows = 0;
};

// Runs the event loop, checking on every tick and idle, until done holds.
void RunUntilDone(StallMeter& meter, const std::function<bool()>& done)
{
    bool finished = false;
    meter.onTick = [&] { finished = finished || done(); };
    auto idle = [&](wxIdleEvent& event) {
        event.Skip();
        finished = finished || done();
    };
    wxTheApp->Bind(wxEVT_IDLE, idle);
    uitest::RunUntil([&] { return finished || done(); }, 600000);
    wxTheApp->Unbind(wxEVT_IDLE, idle);
    meter.onTick = nullptr;
}

void Prepare(CSearchDlg& dialog)
{
    dialog.GetBaseCombo()->SetValue(kBase);
    dialog.GetFilterCombo()->SetValue("(objectclass=*)");
    dialog.GetAttributesCombo()->SetValue("cn,mail");
    dynamic_cast<wxRadioButton*>(dialog.FindWindow(kIdcSearchScopeSubtree))->SetValue(true);
}

Figures DriveDialog(CSearchDlg& dialog, size_t people)
{
    Figures f;
    StallMeter meter;
    uitest::RunFor(100);
    meter.longest = 0;

    Prepare(dialog);
    const Clock::time_point start = Clock::now();
    wxCommandEvent search(wxEVT_BUTTON, wxID_OK);
    dialog.GetEventHandler()->ProcessEvent(search);
    CSearchResultList& list = *dialog.GetResultList();
    RunUntilDone(meter, [&] {
        const size_t shown = static_cast<size_t>(list.GetItemCount());
        if (f.firstRow == 0 && shown > 0) {
            list.Update();
            f.firstRow = Millis(Clock::now() - start);
        }
        if (f.lastRow == 0 && shown >= people) {
            list.Update();
            f.lastRow = Millis(Clock::now() - start);
        }
        if (!dialog.IsSearching()) {
            f.end = Millis(Clock::now() - start);
            return true;
        }
        return false;
    });
    f.rows = list.GetRowCount();
    f.stall = meter.longest;
    uitest::Screenshot(dialog, "bench-search-window");

    // Stop after 20,000 rows.
    Prepare(dialog);
    dialog.GetEventHandler()->ProcessEvent(search);
    RunUntilDone(meter, [&] { return list.GetRowCount() >= 20000 || !dialog.IsSearching(); });
    const Clock::time_point stopped = Clock::now();
    wxCommandEvent stop(wxEVT_BUTTON, kIdcSearchStop);
    dialog.GetEventHandler()->ProcessEvent(stop);
    RunUntilDone(meter, [&] { return !dialog.IsSearching(); });
    f.stop = Millis(Clock::now() - stopped);
    f.stoppedRows = list.GetRowCount();
    return f;
}

// The same search through libldap alone, every DN and value read.
double PlainSearch(int port, size_t people)
{
    const Clock::time_point start = Clock::now();
    const size_t entries = testsupport::PlainLdapRead(port, kBase, 2, "(objectclass=*)", {"cn", "mail"});
    const double ms = Millis(Clock::now() - start);
    // The base and the people below it.
    if (entries != people + 1) throw std::runtime_error("plain search: " + std::to_string(entries) + " entries");
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    const size_t people = argc > 1 ? static_cast<size_t>(std::atol(argv[1])) : 100000;

    int status = 0;
    {
        bench::TemporaryHome home;
        std::printf("loading %zu people...\n", people);
        std::fflush(stdout);
        std::unique_ptr<testsupport::SlapdServer> server = testsupport::SlapdServer::Bench(testsupport::PeopleLdif(people));
        bench::Toolkit toolkit(argc, argv);
        if (!toolkit.IsOk()) return 2;
        try {
            bench::PrepareProgram(server->Port(), kBase);
            uitest::ProgramSession session;
            CArbMainFrame* frame = session.OpenFrame();
            if (!frame) throw std::runtime_error("no main window");
            const platform::TreeItem serverItem = bench::FindServerItem();
            if (!serverItem) throw std::runtime_error("no server in the tree");
            // The server is opened (bound, its schema read) before the search.
            CArbTreeView::Get()->GetPort().SelectItem(serverItem);
            auto* node = static_cast<CDataObject*>(CArbTreeView::Get()->GetPort().GetItemData(serverItem));
            node->ShowContents(0);
            uitest::RunUntil([&] { return GetRunningThreadCount() == 0 && node->IsChildrenLoaded() && !node->IsBusy(); },
                             600000);

            const double plain = PlainSearch(server->Port(), people);
            Figures f;
            bool driven = false;
            frame->CallAfter([&] {
                wxDialog* found = nullptr;
                uitest::RunUntil([&] { return (found = uitest::FindDialog("dialog242")) != nullptr; }, 10000);
                auto* dialog = dynamic_cast<CSearchDlg*>(found);
                if (!dialog) return;
                uitest::RunUntil([&] { return dialog->IsShownOnScreen(); }, 5000);
                f = DriveDialog(*dialog, people + 1);
                driven = true;
                dialog->CloseDialog();
            });
            wxCommandEvent goTo(wxEVT_MENU, ui::WxId(cmd::kGoToDN));
            goTo.SetEventObject(frame);
            frame->ProcessWindowEvent(goTo);
            if (!driven) throw std::runtime_error("the search dialog did not open");
            const double plainAfter = PlainSearch(server->Port(), people);
            const double p = std::min(plain, plainAfter);
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            double load[3] = {0, 0, 0};
            getloadavg(load, 3);
            std::printf("people: %zu (rows with the base: %zu), load average: %.2f\n", people, f.rows, load[0]);
            std::printf("Search to the first row shown:    %8.1f ms\n", f.firstRow);
            std::printf("Search to the last row shown:     %8.1f ms\n", f.lastRow);
            std::printf("Search to the end (inputs again): %8.1f ms\n", f.end);
            std::printf("plain libldap search:             %8.1f ms (best of two)\n", p);
            std::printf("ratio last row shown / plain:     %8.2f (goal: under 2)\n", f.lastRow / p);
            std::printf("longest event-loop stall:         %8.1f ms (goal: at most 100)\n", f.stall);
            std::printf("peak memory (resident):           %8.1f MB\n", usage.ru_maxrss / 1024.0);
            std::printf("Stop after %zu rows to idle:      %8.1f ms (goal: under 500)\n", f.stoppedRows, f.stop);
            std::printf("search-window: ratio %.2f stall %.1f ms stop %.1f ms\n", f.lastRow / p, f.stall, f.stop);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_search_window: %s\n", e.what());
            status = 1;
        }
    }
    return status;
}
