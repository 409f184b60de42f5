// The search dialog against the real test servers, its event loop running:
// results and columns, rows that never stay selected, a click on a label
// chooses, Stop and Close while a search runs (also against a server that
// never answers), a bad filter's error, and the texts offered next time.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/activityindicator.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "base/Utf8.h"
#include "dialogs/CReportFile.h"
#include "dialogs/CReportWizard.h"
#include "dialogs/CSearchDlg.h"
#include "dialogs/CSearchResultList.h"
#include "dialogs/CWaitDlg.h"
#include "jobs/CLDAPThread.h"
#include "platform/ResourceLibrary.h"
#include "tests/dialogs/PumpedDispatcher.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/PlainLdapSearch.h"
#include "tests/support/ScriptedBackend.h"
#include "tests/support/TempHome.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using namespace std::chrono_literals;

SearchTarget MainTarget(const std::wstring& dn)
{
    SearchTarget target;
    target.connection = live::Open(live::MainServer().Port());
    target.host = L"127.0.0.1";
    target.port = live::MainServer().Port();
    target.dn = dn;
    return target;
}

std::set<std::string> ShownDNs(CSearchResultList& list)
{
    std::set<std::string> dns;
    for (size_t i = 0; i < list.GetRowCount(); ++i)
        dns.insert(list.GetRow(i).dn);
    return dns;
}

class SearchDlgTest : public PumpedDialogTest {
protected:
    void CloseWindows() override { m_dialog.reset(); }

    CSearchDlg& Open(const std::wstring& dn)
    {
        m_dialog = std::make_unique<CSearchDlg>(nullptr, MainTarget(dn));
        EXPECT_TRUE(m_dialog->Create());
        m_dialog->Show();
        uitest::RunFor(100);
        return *m_dialog;
    }

    void Search(CSearchDlg& dialog, const std::wstring& base, const std::wstring& filter,
                const std::wstring& attributes, bool oneLevel)
    {
        dialog.GetBaseCombo()->SetValue(wxString(base));
        dialog.GetFilterCombo()->SetValue(wxString(filter));
        dialog.GetAttributesCombo()->SetValue(wxString(attributes));
        dynamic_cast<wxRadioButton*>(dialog.FindWindow(oneLevel ? kIdcSearchScopeOneLevel : kIdcSearchScopeSubtree))
            ->SetValue(true);
        dialog.StartSearch();
        EXPECT_TRUE(uitest::RunUntil([&] { return !dialog.IsSearching(); }, 30000));
    }

    platform::HeadlessShell m_shell;
    std::unique_ptr<CSearchDlg> m_dialog;
};

TEST_F(SearchDlgTest, OpensOnTheNodesDNWithTheDefaults)
{
    struct Case {
        const wchar_t* dn;
        const char* base;
    };
    const Case cases[] = {{L"ou=people,o=lab", "ou=people,o=lab"}, {L"", "RootDSE"}};
    for (const Case& c : cases) {
        CSearchDlg& dialog = Open(c.dn);
        EXPECT_EQ(dialog.GetBaseCombo()->GetValue().utf8_string(), c.base);
        EXPECT_EQ(dialog.GetFilterCombo()->GetValue(), "(objectclass=*)");
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(kIdcSearchScopeSubtree))->GetValue());
        EXPECT_EQ(dialog.GetTitle(), wxString::Format("Search on 127.0.0.1:%d", live::MainServer().Port()));
        EXPECT_EQ(dialog.GetResultList()->GetColumnCount(), 1);
        EXPECT_EQ(dialog.GetResultList()->GetColumnWidth(0), dialog.GetResultList()->GetClientSize().GetWidth());
        EXPECT_FALSE(dialog.FindWindow(kIdcSearchStop)->IsEnabled());
        EXPECT_FALSE(dialog.FindWindow(kIdcSearchReport)->IsEnabled());
        EXPECT_FALSE(dialog.FindWindow(kIdcSearchAnimation)->IsShown());
    }
    uitest::Screenshot(*m_dialog, "search-dialog-open");
}

TEST_F(SearchDlgTest, ShowsWhatAPlainSearchFindsInTheColumnsAskedFor)
{
    CSearchDlg& dialog = Open(L"o=lab");
    struct Case {
        bool oneLevel;
        int scope;
    };
    for (const Case& c : {Case{true, 1}, Case{false, 2}}) {
        SCOPED_TRACE(c.scope);
        Search(dialog, L"o=lab", L"(objectclass=*)", L" cn , mail ,", c.oneLevel);
        std::set<std::string> plain;
        for (const auto& entry :
             testsupport::PlainLdapSearch(live::MainServer().Port(), "o=lab", c.scope, "(objectclass=*)", {"1.1"}))
            plain.insert(entry.dn);
        EXPECT_EQ(ShownDNs(*dialog.GetResultList()), plain);
        EXPECT_EQ(dialog.GetResultList()->GetItemCount(), static_cast<int>(plain.size()));
    }
    CSearchResultList& list = *dialog.GetResultList();
    ASSERT_EQ(list.GetColumnCount(), 3);
    wxListItem header;
    header.SetMask(wxLIST_MASK_TEXT);
    std::vector<std::string> headers;
    int widths = 0;
    for (int i = 0; i < 3; ++i) {
        list.GetColumn(i, header);
        headers.push_back(header.GetText().utf8_string());
        widths += list.GetColumnWidth(i);
    }
    EXPECT_EQ(headers, (std::vector<std::string>{"DN", "cn", "mail"}));
    // A third of the width each, measured before the rows came; the last the rest.
    EXPECT_EQ(list.GetColumnWidth(0), widths / 3);
    EXPECT_EQ(list.GetColumnWidth(1), widths / 3);
    EXPECT_GE(widths, list.GetClientSize().GetWidth());
    bool aliceSeen = false;
    for (long i = 0; i < list.GetItemCount(); ++i) {
        if (list.GetItemText(i, 0) == "cn=Alice Example,ou=people,o=lab") {
            aliceSeen = true;
            EXPECT_EQ(list.GetItemText(i, 1), "Alice Example");
            EXPECT_EQ(list.GetItemText(i, 2), "alice@example.org");
        }
    }
    EXPECT_TRUE(aliceSeen);
    EXPECT_TRUE(dialog.FindWindow(wxID_OK)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(kIdcSearchStop)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(kIdcSearchAnimation)->IsShown());
    uitest::Screenshot(dialog, "search-dialog-results");

    // Rows never stay selected.
    list.SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    uitest::RunFor(50);
    EXPECT_EQ(list.GetSelectedItemCount(), 0);
}

TEST_F(SearchDlgTest, AClickOnALabelChoosesItsDNAndBesideItNothing)
{
    m_dialog = std::make_unique<CSearchDlg>(nullptr, MainTarget(L"ou=people,o=lab"));
    CSearchDlg& dialog = *m_dialog;
    ASSERT_TRUE(dialog.Create());
    std::string chosen;
    int besideRows = -1;
    dialog.CallAfter([&] {
        Search(dialog, L"ou=people,o=lab", L"(cn=Alice*)", L"", true);
        CSearchResultList& list = *dialog.GetResultList();
        besideRows = static_cast<int>(list.GetRowCount());
        wxRect row;
        ASSERT_TRUE(list.GetItemRect(0, row));
        wxUIActionSimulator mouse;
        // Below the only row: no label there.
        mouse.MouseMove(list.ClientToScreen(wxPoint(row.x + 20, row.GetBottom() + 40)));
        mouse.MouseClick();
        uitest::RunFor(200);
        EXPECT_TRUE(dialog.IsModal()) << "a click beside every label chose";
        mouse.MouseMove(list.ClientToScreen(wxPoint(row.x + 20, row.y + row.height / 2)));
        mouse.MouseClick();
    });
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        ADD_FAILURE() << "no row was chosen";
        dialog.EndModal(wxID_CANCEL);
    });
    guard.StartOnce(15000);
    EXPECT_EQ(dialog.ShowModal(), CSearchDlg::kGoToChosenDN);
    EXPECT_EQ(besideRows, 1);
    EXPECT_EQ(WideToUtf8Text(dialog.GetChosenDN()), "cn=Alice Example,ou=people,o=lab");
}

TEST_F(SearchDlgTest, ReportWritesTheRowsTheListShows)
{
    CSearchDlg& dialog = Open(L"o=lab");
    EXPECT_FALSE(dialog.FindWindow(kIdcSearchReport)->IsEnabled());
    Search(dialog, L"ou=people,o=lab", L"(objectclass=*)", L"cn,mail", true);
    CSearchResultList& list = *dialog.GetResultList();
    ASSERT_GT(list.GetItemCount(), 1);
    ASSERT_TRUE(dialog.FindWindow(kIdcSearchReport)->IsEnabled());

    const std::string file = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "search-report.csv";
    unlink(file.c_str());
    bool shown = false;
    uitest::WhenShown<CReportWizard>([&](CReportWizard& wizard) {
        shown = true;
        // Over the search dialog, which owns it.
        EXPECT_EQ(wizard.GetParent(), &dialog);
        wizard.SetFormat(ReportFormat::Csv);
        uitest::Click(wizard, CReportWizard::kIdNext);
        wizard.GetFilePage()->GetPathControl()->SetValue(wxString::FromUTF8(file.c_str()));
        wizard.GetFilePage()->GetMailControl()->SetValue(false);
        uitest::Click(wizard, CReportWizard::kIdFinish);
    });
    uitest::Click(dialog, kIdcSearchReport);
    EXPECT_TRUE(shown);

    // Read back by Python's own CSV reader: the headings, then a row per result.
    const std::string rows = testsupport::Run("python3 -c \"import csv,sys\nfor r in csv.reader(open(sys.argv[1], "
                                              "newline='', encoding='utf-8')): print('|'.join(r))\" '" + file + "'");
    std::vector<std::string> lines;
    for (size_t at = 0, next; at < rows.size(); at = next + 1) {
        next = rows.find('\n', at);
        if (next == std::string::npos) next = rows.size();
        if (next > at) lines.push_back(rows.substr(at, next - at));
    }
    ASSERT_EQ(lines.size(), static_cast<size_t>(list.GetItemCount()) + 1) << rows;
    EXPECT_EQ(lines[0], "DN|cn|mail");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "cn=Alice Example,ou=people,o=lab|Alice Example|alice@example.org"),
              lines.end())
        << rows;
}

TEST_F(SearchDlgTest, ABadFilterIsReportedAndTheDialogWorksOn)
{
    CSearchDlg& dialog = Open(L"o=lab");
    Search(dialog, L"o=lab", L"(cn=", L"", false);
    ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(m_shell.MessageBox().asked[0].text.rfind(L"[ERROR 87] ", 0), 0u)
        << WideToUtf8Text(m_shell.MessageBox().asked[0].text);
    EXPECT_EQ(m_shell.MessageBox().asked[0].style & 0xF0, 0x10u);
    EXPECT_TRUE(dialog.IsEnabled());
    EXPECT_TRUE(dialog.FindWindow(wxID_OK)->IsEnabled());
    Search(dialog, L"o=lab", L"(cn=printer)", L"", false);
    EXPECT_EQ(ShownDNs(*dialog.GetResultList()), std::set<std::string>{"cn=printer,ou=devices,o=lab"});
    EXPECT_EQ(m_shell.MessageBox().asked.size(), 1u);
}

// A backend that holds every search until released.
class HeldBackend {
public:
    HeldBackend()
        : m_backend([this](const testsupport::ScriptedBackend::Request&) {
              std::unique_lock<std::mutex> hold(m_lock);
              m_released.wait_for(hold, 30s, [this] { return m_release; });
              return testsupport::ScriptedResult(0);
          })
    {
    }
    ~HeldBackend() { Release(); }
    void Release()
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_release = true;
        }
        m_released.notify_all();
    }
    testsupport::ScriptedBackend& Backend() { return m_backend; }

private:
    std::mutex m_lock;
    std::condition_variable m_released;
    bool m_release = false;
    testsupport::ScriptedBackend m_backend;
};

TEST_F(SearchDlgTest, StopEndsASearchTheServerNeverAnswers)
{
    HeldBackend held;
    CSearchDlg& dialog = Open(L"o=lab");
    dialog.GetBaseCombo()->SetValue("ou=scripted,o=lab");
    dialog.StartSearch();
    ASSERT_TRUE(held.Backend().WaitForRequests(1, 10000));
    EXPECT_TRUE(dialog.IsSearching());
    EXPECT_TRUE(dialog.FindWindow(kIdcSearchStop)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(wxID_OK)->IsEnabled());
    EXPECT_TRUE(dialog.FindWindow(kIdcSearchAnimation)->IsShown());
    uitest::Screenshot(dialog, "search-dialog-searching");

    wxCommandEvent stop(wxEVT_BUTTON, kIdcSearchStop);
    dialog.GetEventHandler()->ProcessEvent(stop);
    ASSERT_TRUE(dialog.GetWaitPopup());
    EXPECT_TRUE(dialog.GetWaitPopup()->IsShown());
    EXPECT_EQ(dialog.GetWaitPopup()->GetTextControl()->GetLabel(), "Stopping the search...");
    // A hang check, not a speed goal.
    EXPECT_TRUE(uitest::RunUntil([&] { return !dialog.IsSearching(); }, 2000)) << "still searching";
    EXPECT_FALSE(dialog.GetWaitPopup());
    EXPECT_TRUE(dialog.IsEnabled());
    EXPECT_TRUE(dialog.FindWindow(wxID_OK)->IsEnabled());
    EXPECT_TRUE(m_shell.MessageBox().asked.empty()) << "the user stopped it";
}

TEST_F(SearchDlgTest, CloseWhileSearchingStopsThenGoesToTheBase)
{
    HeldBackend held;
    m_dialog = std::make_unique<CSearchDlg>(nullptr, MainTarget(L"o=lab"));
    CSearchDlg& dialog = *m_dialog;
    ASSERT_TRUE(dialog.Create());
    bool waitShown = false;
    dialog.CallAfter([&] {
        dialog.GetBaseCombo()->SetValue("ou=scripted,o=lab");
        dialog.StartSearch();
        ASSERT_TRUE(held.Backend().WaitForRequests(1, 10000));
        wxCommandEvent close(wxEVT_BUTTON, wxID_CANCEL);
        dialog.GetEventHandler()->ProcessEvent(close);
        waitShown = dialog.GetWaitPopup() && dialog.GetWaitPopup()->IsShown();
        EXPECT_TRUE(dialog.IsModal()) << "closed before the worker ended";
    });
    EXPECT_EQ(dialog.ShowModal(), CSearchDlg::kGoToChosenDN);
    EXPECT_TRUE(waitShown);
    EXPECT_EQ(dialog.GetChosenDN(), L"ou=scripted,o=lab");
    EXPECT_EQ(GetRunningThreadCount(), 0) << "the dialog ended before its worker";
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
}

// Escape is the Close button, while idle and while searching.
TEST_F(SearchDlgTest, CloseWhenIdleCancelsAndRootDSEGoesNowhere)
{
    auto pressEscape = [](CSearchDlg& dialog) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(&dialog);
        dialog.ProcessWindowEvent(key);
    };
    for (bool escape : {false, true}) {
        {
            CSearchDlg& dialog = Open(L"o=lab");
            escape ? pressEscape(dialog) : dialog.CloseDialog();
            EXPECT_EQ(dialog.GetReturnCode(), wxID_CANCEL) << escape;
        }
        HeldBackend held;
        CSearchDlg& dialog = Open(L"");
        dialog.StartSearch();
        escape ? pressEscape(dialog) : dialog.CloseDialog();
        EXPECT_TRUE(uitest::RunUntil([&] { return !dialog.IsSearching(); }, 5000)) << escape;
        EXPECT_EQ(dialog.GetReturnCode(), CSearchDlg::kGoToChosenDN) << escape;
        EXPECT_EQ(dialog.GetChosenDN(), L"") << "the root DSE is nowhere to go";
    }
}

TEST_F(SearchDlgTest, TextsSearchedAreOfferedInTheNextDialog)
{
    {
        CSearchDlg& dialog = Open(L"o=lab");
        Search(dialog, L"ou=devices,o=lab", L"(objectclass=device)", L"cn,serialNumber", true);
        // The empty attribute text is not recorded.
        Search(dialog, L"ou=devices,o=lab", L"(cn=printer)", L"", true);
    }
    m_dialog.reset();
    CSearchDlg& next = Open(L"o=lab");
    auto items = [](wxComboBox* combo) {
        std::vector<std::string> texts;
        for (unsigned i = 0; i < combo->GetCount(); ++i)
            texts.push_back(combo->GetString(i).utf8_string());
        return texts;
    };
    EXPECT_EQ(items(next.GetBaseCombo()), std::vector<std::string>{"ou=devices,o=lab"});
    const std::vector<std::string> filters = items(next.GetFilterCombo());
    EXPECT_NE(std::find(filters.begin(), filters.end(), "(cn=printer)"), filters.end());
    EXPECT_NE(std::find(filters.begin(), filters.end(), "(objectclass=device)"), filters.end());
    EXPECT_EQ(items(next.GetAttributesCombo()), std::vector<std::string>{"cn,serialNumber"});
    // The texts stay what the dialog opens with.
    EXPECT_EQ(next.GetBaseCombo()->GetValue(), "o=lab");
    EXPECT_EQ(next.GetFilterCombo()->GetValue(), "(objectclass=*)");
}

} // namespace
