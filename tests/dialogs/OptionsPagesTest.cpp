#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "dialogs/CCheckForUpdatesPP.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CConfirmationsPage.h"
#include "dialogs/CInterfacePage.h"
#include "dialogs/CPreferencesPage.h"
#include "dialogs/OptionsSheet.h"
#include "model/ports/ResourceText.h"
#include "model/profiles/CAppConfig.h"
#include "platform/RegistryKey.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/ConfirmationTable.h"
#include "shellcore/OptionsRules.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/RememberedAnswers.h"
#include "shellcore/TipOfTheDay.h"
#include "tests/dialogs/PumpedDispatcher.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/StoredAnswers.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

uint32_t StoredDepth()
{
    RegistryKey key(RegRoot::CurrentUser, true);
    uint32_t depth = 0;
    if (!key.Open(g_strSettingsKey) || !key.Read(L"HistoryDepth", depth)) return 0;
    return depth;
}

// What the store holds, as the program reads it at its next start.
struct FreshRecord {
    FreshRecord() { loaded = record.Load(); }
    CAppConfig record;
    bool loaded = false;
};

class OptionsPagesTest : public testsupport::TempHomeTest {
public:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        RegisterConfirmations();
        m_pump = std::make_unique<PumpedDispatcher>();
        m_history = std::make_unique<CNavigationHistory>(false);
    }
    void TearDown() override
    {
        m_sheet.reset();
        m_history.reset();
        m_pump.reset();
        TempHomeTest::TearDown();
    }

    void OpenSheet()
    {
        m_sheet = CreateOptionsSheet(nullptr, m_options, *m_history);
        m_sheet->LayoutDialog();
        m_sheet->Show();
        for (int i = m_sheet->GetPageCount() - 1; i >= 0; --i) ASSERT_TRUE(m_sheet->SelectPage(i));
    }

    template <class T>
    T& Field(int id)
    {
        auto* control = dynamic_cast<T*>(m_sheet->FindWindow(id));
        if (!control) throw std::runtime_error("no control " + std::to_string(id));
        return *control;
    }
    template <class T>
    T* Page(int index)
    {
        return dynamic_cast<T*>(m_sheet->GetPageWindow(index));
    }


    CAppConfig m_options;
    std::unique_ptr<PumpedDispatcher> m_pump;
    platform::HeadlessShell m_shell;
    std::unique_ptr<CNavigationHistory> m_history;
    std::unique_ptr<CCommonPropertySheet> m_sheet;
};

TEST_F(OptionsPagesTest, ThreePagesInOrderUnderTheCaption)
{
    OpenSheet();
    EXPECT_EQ(m_sheet->GetTitle(), wxString(LoadResourceText(kStrOptionsCaption)));
    ASSERT_EQ(m_sheet->GetPageCount(), 3);
    EXPECT_TRUE(Page<CInterfacePage>(0));
    EXPECT_TRUE(Page<CCheckForUpdatesPP>(1));
    EXPECT_TRUE(Page<CConfirmationsPage>(2));
    const char* shots[] = {"options-interface", "options-update", "options-confirmations"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(m_sheet->SelectPage(i));
        if (i == 2) Page<CConfirmationsPage>(2)->SelectRow(0);
        uitest::RunFor(150);
        uitest::Screenshot(*m_sheet, shots[i], "dialogs");
    }
}

TEST_F(OptionsPagesTest, ControlsToTheRecordReadBackByAFreshRecord)
{
    struct Case {
        const char* name;
        std::function<void(OptionsPagesTest&)> set;
        std::function<int(const CAppConfig&)> read;
        int expected;
    };
    auto check = [](int id, bool value) {
        return [id, value](OptionsPagesTest& t) { t.Field<wxCheckBox>(id).SetValue(value); };
    };
    auto choose = [](int id, int position) {
        return [id, position](OptionsPagesTest& t) { t.Field<wxChoice>(id).SetSelection(position); };
    };
    const std::vector<Case> cases = {
        {"label click expands", check(1260, false), [](const CAppConfig& c) { return int(c.m_bExpandOnClick); }, 1},
        {"label click selects", check(1260, true), [](const CAppConfig& c) { return int(c.m_bExpandOnClick); }, 0},
        {"no scrolling", check(1261, false), [](const CAppConfig& c) { return int(c.m_bEnsureVisible); }, 0},
        {"no re-sort", check(1186, false), [](const CAppConfig& c) { return int(c.m_bAutoSortList); }, 0},
        {"forget sort", check(1187, true), [](const CAppConfig& c) { return int(c.m_bForgetSortColumn); }, 1},
        {"keep info", check(1189, false), [](const CAppConfig& c) { return int(c.m_bAutoRemoveInfo); }, 0},
        {"timeout 60", choose(1190, 3), [](const CAppConfig& c) { return int(c.m_nInfoTimeoutSec); }, 60},
        {"timeout 300", choose(1190, 6), [](const CAppConfig& c) { return int(c.m_nInfoTimeoutSec); }, 300},
        {"timeout gap", choose(1190, 5), [](const CAppConfig& c) { return int(c.m_nInfoTimeoutSec); }, 30},
        {"no update check", check(1184, false), [](const CAppConfig& c) { return int(c.m_bCheckForUpdates); }, 0},
        {"weekly", choose(1188, 3), [](const CAppConfig& c) { return int(c.m_nUpdateIntervalDays); }, 7},
        {"daily", choose(1188, 0), [](const CAppConfig& c) { return int(c.m_nUpdateIntervalDays); }, 1},
        {"proxy",
         [](OptionsPagesTest& t) {
             t.Field<wxCheckBox>(1249).SetValue(true);
             t.Field<wxTextCtrl>(1195).SetValue("proxy.lab");
             t.Field<wxTextCtrl>(1197).SetValue("8080");
         },
         [](const CAppConfig& c) {
             return c.m_bUseProxy * 100000 + c.m_nProxyPort + (c.m_strProxyHost == L"proxy.lab" ? 1000000 : 0);
         },
         1108080},
        {"proxy without host",
         [](OptionsPagesTest& t) {
             t.Field<wxCheckBox>(1249).SetValue(true);
             t.Field<wxTextCtrl>(1197).SetValue("8080");
         },
         [](const CAppConfig& c) { return c.m_bUseProxy * 100000 + c.m_nProxyPort; }, 8080},
    };
    for (const Case& c : cases) {
        m_options.SetDefaults();
        ASSERT_TRUE(m_options.Save());
        OpenSheet();
        c.set(*this);
        ASSERT_TRUE(m_sheet->ApplyPages()) << c.name;
        EXPECT_EQ(c.read(m_options), c.expected) << c.name;
        FreshRecord fresh;
        ASSERT_TRUE(fresh.loaded) << c.name;
        EXPECT_EQ(c.read(fresh.record), c.expected) << c.name;
        m_sheet.reset();
    }

    // And back: a stored record fills the controls.
    m_options.m_bExpandOnClick = 1;
    m_options.m_bEnsureVisible = 0;
    m_options.m_bAutoSortList = 0;
    m_options.m_bForgetSortColumn = 1;
    m_options.m_bAutoRemoveInfo = 0;
    m_options.m_nInfoTimeoutSec = 120;
    m_options.m_bCheckForUpdates = 0;
    m_options.m_nUpdateIntervalDays = 2;
    m_options.m_bUseProxy = 1;
    m_options.m_strProxyHost = L"gate";
    m_options.m_nProxyPort = 3128;
    m_history->SetDepth(22);
    OpenSheet();
    EXPECT_FALSE(Field<wxCheckBox>(1260).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1261).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1186).GetValue());
    EXPECT_TRUE(Field<wxCheckBox>(1187).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1187).IsEnabled());
    EXPECT_FALSE(Field<wxCheckBox>(1189).GetValue());
    EXPECT_EQ(Field<wxChoice>(1190).GetSelection(), 4);
    EXPECT_FALSE(Field<wxChoice>(1190).IsEnabled());
    EXPECT_EQ(Field<wxTextCtrl>(1092).GetValue(), "22");
    EXPECT_FALSE(Field<wxCheckBox>(1184).GetValue());
    EXPECT_EQ(Field<wxChoice>(1188).GetSelection(), 1);
    EXPECT_FALSE(Field<wxChoice>(1188).IsEnabled());
    EXPECT_TRUE(Field<wxCheckBox>(1249).GetValue());
    EXPECT_EQ(Field<wxTextCtrl>(1195).GetValue(), "gate");
    EXPECT_EQ(Field<wxTextCtrl>(1197).GetValue(), "3128");
    EXPECT_TRUE(Field<wxTextCtrl>(1197).IsEnabled());
}

TEST_F(OptionsPagesTest, UntouchedUnusualIntervalIsKept)
{
    m_options.m_nUpdateIntervalDays = 30;
    ASSERT_TRUE(m_options.Save());
    OpenSheet();
    EXPECT_EQ(Field<wxChoice>(1188).GetSelection(), wxNOT_FOUND);
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(FreshRecord().record.m_nUpdateIntervalDays, 30);
}

TEST_F(OptionsPagesTest, DefaultsAreShownButNotStoredUntilOk)
{
    m_options.m_bAutoSortList = 0;
    m_options.m_nInfoTimeoutSec = 120;
    m_options.m_bExpandOnClick = 1;
    ASSERT_TRUE(m_options.Save());
    m_history->SetDepth(30);
    OpenSheet();
    auto* page = Page<CInterfacePage>(0);
    ASSERT_TRUE(page);
    ASSERT_TRUE(m_sheet->SelectPage(0));
    page->OnDefaults();
    EXPECT_TRUE(Field<wxCheckBox>(1186).GetValue());
    EXPECT_TRUE(Field<wxCheckBox>(1260).GetValue());
    EXPECT_EQ(Field<wxChoice>(1190).GetSelection(), 2);
    EXPECT_EQ(Field<wxTextCtrl>(1092).GetValue(), "15");
    EXPECT_TRUE(page->IsModified());
    // The running options and the store are as they were.
    EXPECT_EQ(m_options.m_bAutoSortList, 0);
    EXPECT_EQ(m_options.m_nInfoTimeoutSec, 120);
    EXPECT_EQ(FreshRecord().record.m_nInfoTimeoutSec, 120);
    EXPECT_EQ(StoredDepth(), 30u);
    EXPECT_EQ(m_history->GetDepth(), 30u);

    // Cancel: nothing changes.
    m_sheet.reset();
    EXPECT_EQ(FreshRecord().record.m_bAutoSortList, 0);

    // OK: the defaults are stored.
    OpenSheet();
    Page<CInterfacePage>(0)->OnDefaults();
    ASSERT_TRUE(m_sheet->ApplyPages());
    FreshRecord fresh;
    EXPECT_EQ(fresh.record.m_bAutoSortList, 1);
    EXPECT_EQ(fresh.record.m_nInfoTimeoutSec, 30);
    EXPECT_EQ(fresh.record.m_bExpandOnClick, 0);
    EXPECT_EQ(StoredDepth(), 15u);
}

TEST_F(OptionsPagesTest, MenuClearsAndSetsTheTreeAndListBoxes)
{
    OpenSheet();
    auto* page = Page<CInterfacePage>(0);
    page->OnClear();
    for (int id : {1260, 1261, 1186}) EXPECT_FALSE(Field<wxCheckBox>(id).GetValue()) << id;
    EXPECT_FALSE(Field<wxCheckBox>(1187).IsEnabled());
    page->OnSet();
    for (int id : {1260, 1261, 1186}) EXPECT_TRUE(Field<wxCheckBox>(id).GetValue()) << id;
    EXPECT_TRUE(Field<wxCheckBox>(1187).IsEnabled());
    // The menu runs the same commands.
    page->OnClear();
    wxCommandEvent set(wxEVT_MENU, CInterfacePage::kCmdSet);
    page->ProcessWindowEvent(set);
    for (int id : {1260, 1261, 1186}) EXPECT_TRUE(Field<wxCheckBox>(id).GetValue()) << id;
}

TEST_F(OptionsPagesTest, HistoryDepthOutsideFiveToFortyIsRefused)
{
    m_history->SetDepth(20);
    OpenSheet();
    for (const char* depth : {"4", "41", "", "x"}) {
        Field<wxTextCtrl>(1092).SetValue(depth);
        EXPECT_FALSE(m_sheet->ApplyPages()) << depth;
        ASSERT_FALSE(m_shell.MessageBox().asked.empty());
        EXPECT_EQ(m_shell.MessageBox().asked.back().text, IntegerRangeMessage(5, 40));
        EXPECT_EQ(StoredDepth(), 20u) << depth;
    }
    for (const char* depth : {"5", "40"}) {
        Field<wxTextCtrl>(1092).SetValue(depth);
        EXPECT_TRUE(m_sheet->ApplyPages()) << depth;
        EXPECT_EQ(StoredDepth(), static_cast<uint32_t>(std::stoi(depth)));
    }
}

TEST_F(OptionsPagesTest, ProxyPortIsCheckedOnlyWithTheProxy)
{
    OpenSheet();
    Field<wxCheckBox>(1249).SetValue(true);
    Field<wxTextCtrl>(1195).SetValue("gate");
    for (const char* port : {"79", "65536", "", "80x"}) {
        Field<wxTextCtrl>(1197).SetValue(port);
        EXPECT_FALSE(m_sheet->ApplyPages()) << port;
        ASSERT_FALSE(m_shell.MessageBox().asked.empty());
        EXPECT_EQ(m_shell.MessageBox().asked.back().text, IntegerRangeMessage(80, 65535));
    }
    EXPECT_EQ(FreshRecord().record.m_bUseProxy, 0);
    Field<wxCheckBox>(1249).SetValue(false);
    Field<wxTextCtrl>(1197).SetValue("79");
    EXPECT_TRUE(m_sheet->ApplyPages());
    FreshRecord fresh;
    EXPECT_EQ(fresh.record.m_bUseProxy, 0);
    EXPECT_EQ(fresh.record.m_nProxyPort, 0);
}

TEST_F(OptionsPagesTest, ARememberedAnswerOfFourIsNotShownAndGoesAtApply)
{
    testsupport::StoreRawAnswer(5, 4);
    OpenSheet();
    auto* page = Page<CConfirmationsPage>(2);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->GetList()->GetItemCount(), 1);
    EXPECT_EQ(page->GetList()->GetItemText(0), wxString(LoadResourceText(207)));
    EXPECT_EQ(page->GetList()->GetItemText(0, 1), wxString(LoadResourceText(193)));
    EXPECT_FALSE(page->GetList()->IsItemChecked(0));
    page->SelectRow(0);
    EXPECT_EQ(page->GetAnswerList()->GetSelection(), wxNOT_FOUND);
    EXPECT_FALSE(page->GetAnswerList()->IsEnabled());
    ASSERT_TRUE(m_sheet->ApplyPages());
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(g_strSettingsKey + g_strConfirmationsKey));
    EXPECT_FALSE(key.ValueExists(L"5"));
}

TEST_F(OptionsPagesTest, CheckedRowsRememberTheChosenAnswer)
{
    testsupport::StoreRawAnswer(5, 1);
    OpenSheet();
    auto* page = Page<CConfirmationsPage>(2);
    EXPECT_TRUE(page->GetList()->IsItemChecked(0));
    page->SelectRow(0);
    ASSERT_EQ(page->GetAnswerList()->GetCount(), 2u);
    EXPECT_EQ(page->GetAnswerList()->GetString(0), wxString(LoadResourceText(148)));
    EXPECT_EQ(page->GetAnswerList()->GetString(1), wxString(LoadResourceText(151)));
    EXPECT_EQ(page->GetAnswerList()->GetSelection(), 0);
    EXPECT_TRUE(page->GetAnswerList()->IsEnabled());
    page->ChooseAnswer(1);
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(ReadRememberedAnswer(5), 2);
    // Unchecking empties and disables the answer.
    page->CheckRow(0, false);
    EXPECT_EQ(page->GetAnswerList()->GetSelection(), wxNOT_FOUND);
    EXPECT_FALSE(page->GetAnswerList()->IsEnabled());
    EXPECT_TRUE(page->IsModified());
    page->CheckRow(0, true);
    EXPECT_EQ(page->GetAnswerList()->GetSelection(), 1);
}

TEST_F(OptionsPagesTest, ApplyWithNoneCheckedLeavesOtherAnswersAlone)
{
    testsupport::StoreRawAnswer(5, 2);
    OpenSheet();
    auto* page = Page<CConfirmationsPage>(2);
    page->OnClear();
    ASSERT_TRUE(m_sheet->ApplyPages());
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        ASSERT_TRUE(key.Open(g_strSettingsKey + g_strConfirmationsKey));
        std::vector<std::wstring> names;
        ASSERT_TRUE(key.ReadValueNames(names));
        EXPECT_TRUE(names.empty());
    }
    // Numbers the page does not list keep their answers.
    testsupport::StoreRawAnswer(2, 1);
    testsupport::StoreRawAnswer(3, 2);
    testsupport::StoreRawAnswer(5, 1);
    m_sheet.reset();
    OpenSheet();
    Page<CConfirmationsPage>(2)->OnClear();
    ASSERT_TRUE(m_sheet->ApplyPages());
    EXPECT_EQ(ReadRememberedAnswer(5), -1);
    EXPECT_EQ(ReadRememberedAnswer(2), 1);
    EXPECT_EQ(ReadRememberedAnswer(3), 2);
}

TEST_F(OptionsPagesTest, PreferencesPageOnItsOwn)
{
    m_options.m_bShowNamingContexts = 0;
    m_options.m_bOption1 = 1;
    m_options.m_bShowOutputBar = 1;
    CTipOfTheDay::StoreShowAtStartup(false);
    m_sheet = std::make_unique<CCommonPropertySheet>(nullptr, "Preferences");
    auto* page = new CPreferencesPage(m_sheet->GetBook(), m_options);
    m_sheet->AddPage(page);
    m_sheet->LayoutDialog();
    m_sheet->Show();
    // What the sheet's modal run does for its first page.
    ASSERT_TRUE(page->OnSetActive());
    EXPECT_FALSE(Field<wxCheckBox>(1182).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1183).GetValue());
    EXPECT_TRUE(Field<wxCheckBox>(1185).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1191).GetValue());
    uitest::RunFor(150);
    uitest::Screenshot(*m_sheet, "options-preferences", "dialogs");

    // Defaults: the record's, the tips box as stored; nothing stored yet.
    page->OnDefaults();
    EXPECT_TRUE(Field<wxCheckBox>(1182).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1183).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1185).GetValue());
    EXPECT_FALSE(Field<wxCheckBox>(1191).GetValue());
    EXPECT_EQ(m_options.m_bShowOutputBar, 1);

    Field<wxCheckBox>(1183).SetValue(true);
    Field<wxCheckBox>(1191).SetValue(true);
    ASSERT_TRUE(m_sheet->ApplyPages());
    FreshRecord fresh;
    EXPECT_EQ(fresh.record.m_bShowNamingContexts, 1);
    EXPECT_EQ(fresh.record.m_bOption1, 0);
    EXPECT_EQ(fresh.record.m_bShowOutputBar, 0);
    EXPECT_TRUE(CTipOfTheDay::ReadShowAtStartup());
}

} // namespace
