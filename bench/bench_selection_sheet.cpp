// Opens the properties of many selected rows (the summary page of the
// program's sheet) and closes the sheet as soon as it is up, while a 10 ms
// timer on the event loop records how late it fires: the longest gap is the
// longest time the window did not answer while the sheet was made. Run it
// under a display, e.g.:
//
//   xvfb-run -a bench_selection_sheet [rounds] [rows]
//
// Goal: no stall over 100 ms.

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
#include <wx/propdlg.h>
#include <wx/timer.h>

#include "bench/BenchSupport.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CServerObject.h"
#include "model/ports/PropertySheetPort.h"
#include "platform/ResourceLibrary.h"
#include "platform/SettingsStore.h"
#include "ui/WxPropertySheet.h"

namespace {

using bench::Clock;
using bench::Millis;

struct Round {
    double open = 0;          // the command to the sheet up
    double longestStall = 0;  // the timer's longest gap beyond its period
};

class SheetRound : public wxTimer {
public:
    explicit SheetRound(const std::vector<CDataObject*>& rows) : m_rows(rows) {}

    Round Run()
    {
        m_last = Clock::now();
        Start(10);
        wxTheApp->CallAfter([this] {
            m_start = Clock::now();
            PropertyPageList pages;
            pages.push_back(std::make_unique<MultiTypePage>(m_rows));
            CloseWhenUp();
            RunPropertySheet(L"Properties", pages);
            m_loop.Exit();
        });
        m_loop.Run();
        Stop();
        return m_round;
    }

    void Notify() override
    {
        const Clock::time_point now = Clock::now();
        const double gap = Millis(now - m_last) - 10.0;
        m_last = now;
        if (m_start != Clock::time_point())
            m_round.longestStall = std::max(m_round.longestStall, gap);
    }

private:
    void CloseWhenUp()
    {
        wxTheApp->CallAfter([this] {
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* sheet = dynamic_cast<wxPropertySheetDialog*>(window); sheet && sheet->IsModal()) {
                    m_round.open = Millis(Clock::now() - m_start);
                    sheet->EndModal(wxID_CANCEL);
                    return;
                }
            CloseWhenUp();
        });
    }

    const std::vector<CDataObject*>& m_rows;
    wxGUIEventLoop m_loop;
    Clock::time_point m_start{};
    Clock::time_point m_last{};
    Round m_round;
};

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const size_t count = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 10000;

    bench::TempHome home;
    if (!home.IsOk()) return 1;

    int status = 0;
    {
        wxApp::SetInstance(new wxApp);
        wxInitializer toolkit(argc, argv);
        if (!toolkit.IsOk()) {
            std::fprintf(stderr, "no display (run under xvfb-run)\n");
            return 2;
        }
        try {
            if (!platform::ResourceLibrary::Current().LoadDefault()) throw std::runtime_error("no resource library");
            SetPropertySheetPort(std::make_shared<ui::WxPropertySheet>());
            CServerProfile profile;
            profile.SetHostName(L"ldap.example");
            profile.SetPort(389);
            auto server = std::make_unique<CServerObject>(profile);
            std::vector<std::unique_ptr<CEntryObject>> entries;
            std::vector<CDataObject*> rows;
            for (size_t i = 0; i < count; ++i) {
                entries.push_back(std::make_unique<CEntryObject>(
                    arbldap::LDAPConnectionPtr(), arbldap::LDAPDN("cn=row" + std::to_string(i) + ",ou=people,o=lab"),
                    server.get(), false, false));
                rows.push_back(entries.back().get());
            }
            std::vector<double> open, stall;
            for (int i = 0; i < rounds + 1; ++i) {
                SheetRound round(rows);
                Round r = round.Run();
                if (i == 0)
                    continue;  // the resources, once per run
                std::printf("round %d: sheet up %7.1f ms, longest stall %6.1f ms\n", i, r.open, r.longestStall);
                open.push_back(r.open);
                stall.push_back(r.longestStall);
            }
            std::printf("rows: %zu, rounds: %d\n", count, rounds);
            std::printf("command to the sheet up:    %8.1f ms median\n", bench::Median(open));
            std::printf("longest event-loop stall:   %8.1f ms (goal: at most 100)\n",
                        *std::max_element(stall.begin(), stall.end()));
            SetPropertySheetPort(nullptr);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_selection_sheet: %s\n", e.what());
            status = 1;
        }
    }
    return status;
}
