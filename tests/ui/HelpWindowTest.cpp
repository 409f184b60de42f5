#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <wx/evtloop.h>
#include <wx/ffile.h>
#include <wx/frame.h>
#include <wx/filesys.h>
#include <wx/sstream.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "dialogs/CCheckForUpdatesDlg.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CControlEditorDlg.h"
#include "dialogs/CLdifExportDlg.h"
#include "dialogs/OptionsSheet.h"
#include "model/profiles/CAppConfig.h"
#include "platform/Dispatcher.h"
#include "platform/Folders.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/FrameCommands.h"
#include "shellcore/HelpTables.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbMainFrame.h"
#include "widgets/DialogHelp.h"
#include "widgets/HelpFunctions.h"
#include "widgets/HelpPopup.h"
#include "widgets/HtmlHelpProxy.h"
#include "widgets/WxCommandIds.h"

namespace {

std::string BookPath()
{
    return platform::GetProgramFolder() + help::kHelpBookName;
}

// A popup topic as the book holds it, read from the zip beside the tests.
std::string TopicOfBook(const char* file, uint32_t topic)
{
    wxFileSystem fs;
    std::unique_ptr<wxFSFile> f(fs.OpenFile(wxString::FromUTF8(BookPath()) + "#zip:popups/" + file));
    if (!f || !f->GetStream())
        return std::string();
    wxStringOutputStream text(nullptr, wxConvUTF8);
    f->GetStream()->Read(text);
    return help::FindPopupTopic(text.GetString().utf8_string(), topic);
}

// A timer that runs a function.
class CallbackTimer : public wxTimer {
public:
    explicit CallbackTimer(std::function<void()> f) : m_f(std::move(f)) {}
    void Notify() override { m_f(); }

private:
    std::function<void()> m_f;
};

// Runs an event loop of its own until done or the time is up: "What's
// This?" dispatches the display's events only inside a running loop.
bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    wxEventLoop loop;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    CallbackTimer check([&] {
        if (done() || std::chrono::steady_clock::now() > deadline)
            loop.Exit();
    });
    check.Start(20);
    loop.Run();
    check.Stop();
    return done();
}

// Clicks a point of the screen as soon as "What's This?" holds the mouse (or
// after three seconds, which ends a help mode that holds it unseen).
class ClickWhenHelpModeStarts : public wxTimer {
public:
    explicit ClickWhenHelpModeStarts(std::function<wxPoint()> where)
        : m_where(std::move(where)), m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(3))
    {
        Start(30);
    }
    void Notify() override
    {
        if (!wxWindow::GetCapture() && std::chrono::steady_clock::now() < m_deadline)
            return;
        Stop();
        captured = wxWindow::GetCapture() != nullptr;
        wxUIActionSimulator mouse;
        mouse.MouseMove(m_where());
        mouse.MouseClick();
        clicked = true;
    }
    bool clicked = false;
    bool captured = false;

private:
    std::function<wxPoint()> m_where;
    std::chrono::steady_clock::time_point m_deadline;
};

wxPoint MiddleOf(const wxWindow* window)
{
    const wxRect r = window->GetScreenRect();
    return r.GetPosition() + wxPoint(r.width / 2, r.height / 2);
}

bool PageIs(const wxString& page)
{
    return help::ProgramHelp().GetOpenedPage().EndsWith(page);
}

bool HelpWindowShows(const wxString& page)
{
    wxWindow* window = help::ProgramHelp().GetHelpWindow();
    return window && window->IsShown() && PageIs(page);
}

class HelpWindowTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        ASSERT_TRUE(std::filesystem::exists(BookPath())) << "the help book beside the tests";
    }
    void TearDown() override
    {
        help::ProgramHelp().Close();
        if (m_frame)
            m_frame->Destroy();
        frametest::Pump();
        TempHomeTest::TearDown();
    }

    CArbMainFrame* MakeFrame() { return m_frame = frametest::ShowNewMainFrame(); }

    void Command(uint32_t command)
    {
        wxCommandEvent event(wxEVT_MENU, ui::WxId(command));
        event.SetEventObject(m_frame);
        m_frame->GetEventHandler()->ProcessEvent(event);
    }

    std::shared_ptr<platform::ManualDispatcher> m_dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope m_scope{m_dispatcher};
    CArbMainFrame* m_frame = nullptr;
};

TEST_F(HelpWindowTest, WhatsThisThenAClickOnTheTreeShowsTheTreesPopup)
{
    ASSERT_NE(MakeFrame(), nullptr);
    // Drawn whole before the popup covers part of it (the screenshot shows both).
    m_frame->Raise();
    m_frame->Refresh();
    m_frame->Update();
    uitest::RunFor(300);
    wxTreeCtrlBase* tree = m_frame->GetTreeCtrl();
    ClickWhenHelpModeStarts clicker([tree] { return MiddleOf(tree); });
    bool ended = false;
    wxTheApp->CallAfter([&] {
        Command(cmd::kContextHelp);
        ended = true;
    });
    ASSERT_TRUE(RunLoopUntil([&] { return ended; })) << "What's This? never ended";
    EXPECT_TRUE(clicker.captured) << "What's This? holds the mouse until the click";
    ASSERT_TRUE(frametest::PumpUntil([] { return help::ProgramHelp().GetPopup() != nullptr; },
                                     std::chrono::seconds(5)))
        << "no popup after the click on the tree";
    const std::string expected = TopicOfBook(help::kMainWindowPopupFile, help::kTopicTree);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(help::ProgramHelp().GetPopupText().utf8_string(), expected);
    help::HelpPopup* popup = help::ProgramHelp().GetPopup();
    EXPECT_TRUE(popup->IsShown());
    EXPECT_TRUE(m_frame->GetTreeCtrl()->GetScreenRect().Intersects(popup->GetScreenRect()))
        << "the popup stands where the click was";
    // Its text in 10-point Arial, 18 pixels in from the sides and 9 from the top and bottom.
    const wxStaticText* text = popup->GetTextControl();
    EXPECT_EQ(text->GetFont().GetFaceName(), "Arial");
    EXPECT_EQ(text->GetFont().GetPointSize(), 10);
    EXPECT_EQ(text->GetPosition(), wxPoint(18, 9));
    EXPECT_EQ(popup->GetClientSize(), text->GetSize() + wxSize(36, 18));
    uitest::RunFor(300);
    const wxRect area = popup->GetScreenRect().Union(m_frame->GetTreeCtrl()->GetScreenRect()).Inflate(20);
    const std::string shot = frametest::ScreenAreaCapture(area.Intersect(wxRect(wxPoint(0, 0), wxGetDisplaySize())),
                                               "help-popup-tree");
    EXPECT_GT(frametest::DistinctColours(shot), 4u);

    // A click on a toolbar button answers for its command.
    popup->Close();
    frametest::Pump();
    wxAuiToolBar* bar = m_frame->GetMainToolBar();
    ASSERT_NE(bar, nullptr);
    wxAuiToolBarItem* properties = bar->FindTool(ui::WxId(cmd::kProperties));
    ASSERT_NE(properties, nullptr);
    const wxRect toolRect = bar->GetToolRect(properties->GetId());
    ClickWhenHelpModeStarts tool(
        [bar, toolRect] { return bar->ClientToScreen(toolRect.GetPosition() + wxPoint(toolRect.width / 2, toolRect.height / 2)); });
    ended = false;
    wxTheApp->CallAfter([&] {
        Command(cmd::kContextHelp);
        ended = true;
    });
    ASSERT_TRUE(RunLoopUntil([&] { return ended; }));
    ASSERT_TRUE(tool.clicked);
    ASSERT_TRUE(frametest::PumpUntil([] { return help::ProgramHelp().GetPopup() != nullptr; },
                                     std::chrono::seconds(5)));
    EXPECT_EQ(help::ProgramHelp().GetPopupText().utf8_string(),
              TopicOfBook(help::kMenusPopupFile,
                          LookUpHelpId(help::kCommandPopupTopics, help::kCommandPopupTopicsSize, cmd::kProperties)));
}

TEST_F(HelpWindowTest, ShiftF1InTheControlEditorThenAClickOnTheOidFieldShowsItsPopup)
{
    std::unique_ptr<arbldap::LDAPControl> slot;
    auto* editor = new CControlEditorDlg(slot, nullptr);
    ASSERT_TRUE(frametest::ShowOnScreen(editor));
    EXPECT_NE(editor->FindWindow(wxID_CONTEXT_HELP), nullptr) << "the dialog's context-help button";
    wxWindow* oid = editor->FindWindow(CControlEditorDlg::kIdcOid);
    ASSERT_NE(oid, nullptr);
    oid->SetFocus();
    uitest::RunFor(100);
    ClickWhenHelpModeStarts clicker([oid] { return MiddleOf(oid); });
    wxUIActionSimulator keys;
    wxTheApp->CallAfter([&] { keys.Char(WXK_F1, wxMOD_SHIFT); });
    RunLoopUntil([&] { return clicker.clicked && help::ProgramHelp().GetPopup() != nullptr; });
    EXPECT_TRUE(clicker.captured) << "Shift+F1 started What's This?";
    ASSERT_TRUE(frametest::PumpUntil([] { return help::ProgramHelp().GetPopup() != nullptr; },
                                     std::chrono::seconds(5)));
    const std::string expected = TopicOfBook("ControlEditor.txt", CControlEditorDlg::kIdcOid);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(help::ProgramHelp().GetPopupText().utf8_string(), expected);
    uitest::RunFor(300);
    help::HelpPopup* popup = help::ProgramHelp().GetPopup();
    ASSERT_NE(popup, nullptr);
    uitest::SyncWithDisplay();
    const wxRect area = popup->GetScreenRect().Union(oid->GetScreenRect()).Inflate(40, 30);
    frametest::ScreenAreaCapture(area.Intersect(wxRect(wxPoint(0, 0), wxGetDisplaySize())), "help-popup-control-editor");
    popup->Close();
    editor->Destroy();
}

// A popup's text is shown as written (an '&' is no mnemonic), wrapped within its width.
TEST_F(HelpWindowTest, APopupShowsItsTextAsWritten)
{
    auto* owner = new wxFrame(nullptr, wxID_ANY, "owner");
    const wxString text = "A filter such as (&(objectclass=person)(mail=*)) finds people with a mail address; "
                          "R&D & co. stay as they are.";
    help::HelpPopup* popup = nullptr;
    popup = new help::HelpPopup(owner, text, 360, &popup);
    wxString shown = popup->GetTextControl()->GetLabelText();
    EXPECT_GT(shown.Freq('\n'), 0) << "wrapped";
    shown.Replace("\n", " ");
    EXPECT_EQ(shown, text);
    popup->Close();
    EXPECT_EQ(popup, nullptr);
    owner->Destroy();
    frametest::Pump();
}

// F1 with the focus on a sheet's own buttons opens the help of the page shown.
TEST_F(HelpWindowTest, F1OnASheetsButtonsOpensThePageShown)
{
    CAppConfig options;
    CNavigationHistory history(false);
    std::unique_ptr<CCommonPropertySheet> sheet = CreateOptionsSheet(nullptr, options, history);
    sheet->LayoutDialog();
    ASSERT_TRUE(frametest::ShowOnScreen(sheet.get()));
    struct Case {
        int page;
        int button;
        const char* shown;
    };
    for (const Case& c : {Case{0, wxID_OK, "options-interface.htm"}, Case{1, wxID_CANCEL, "options-update.htm"},
                          Case{2, wxID_APPLY, "options-confirmations.htm"}}) {
        ASSERT_TRUE(sheet->SelectPage(c.page));
        wxWindow* button = sheet->FindWindow(c.button);
        ASSERT_NE(button, nullptr);
        button->Enable();
        button->SetFocus();
        uitest::RunFor(100);
        wxUIActionSimulator keys;
        keys.Char(WXK_F1);
        EXPECT_TRUE(frametest::PumpUntil([&] { return HelpWindowShows(c.shown); }, std::chrono::seconds(5)))
            << c.shown << ": F1 opened " << help::ProgramHelp().GetOpenedPage();
    }
    sheet.reset();
}

TEST_F(HelpWindowTest, F1InADialogOpensItsContextPage)
{
    auto* dialog = new CLdifExportDlg(L"Export", L"/tmp/entries.ldif", "(objectclass=*)", nullptr);
    ASSERT_TRUE(frametest::ShowOnScreen(dialog));
    EXPECT_EQ(GetDialogHelpContext(dialog), help::WindowHelpContext(364));
    wxWindow* file = dialog->FindWindow(1090);
    ASSERT_NE(file, nullptr);
    file->SetFocus();
    uitest::RunFor(100);
    wxUIActionSimulator keys;
    keys.Char(WXK_F1);
    if (!frametest::PumpUntil([] { return HelpWindowShows("ldif-export.htm"); }, std::chrono::seconds(5))) {
        dialog->Destroy();
        FAIL() << "F1 opened " << help::ProgramHelp().GetOpenedPage();
    }
    dialog->Destroy();
}

TEST_F(HelpWindowTest, TheUpdateDialogsHelpButtonAndF1OpenItsPage)
{
    auto* dialog = new CCheckForUpdatesDlg(nullptr, nullptr);
    ASSERT_TRUE(frametest::ShowOnScreen(dialog));
    EXPECT_EQ(GetDialogHelpContext(dialog), help::kContextUpdateDialog);
    uitest::Click(*dialog, wxID_HELP);
    EXPECT_TRUE(frametest::PumpUntil([] { return HelpWindowShows("update-check.htm"); }, std::chrono::seconds(5)))
        << help::ProgramHelp().GetOpenedPage();
    help::ProgramHelp().Close();
    frametest::Pump();
    dialog->Raise();
    dialog->SetFocus();
    uitest::RunFor(100);
    wxUIActionSimulator().Char(WXK_F1);
    EXPECT_TRUE(frametest::PumpUntil([] { return HelpWindowShows("update-check.htm"); }, std::chrono::seconds(5)))
        << help::ProgramHelp().GetOpenedPage();
    dialog->Destroy();
}

// Nothing but a modal dialog takes input while one runs: help asked from
// one comes as a modal help window over it, and the dialog goes on after.
TEST_F(HelpWindowTest, F1InAModalDialogOpensTheHelpAsAModalWindowOverIt)
{
    CLdifExportDlg dialog(L"Export", L"/tmp/entries.ldif", "(objectclass=*)", nullptr);
    enum class Step { WaitForDialog, WaitForHelp, WaitForHelpGone, Done } step = Step::WaitForDialog;
    wxString helpPage;
    bool helpWasModal = false;
    int rounds = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    wxUIActionSimulator keys;
    CallbackTimer driver([&] {
        auto* help = dynamic_cast<wxDialog*>(help::ProgramHelp().GetHelpWindow());
        if (std::chrono::steady_clock::now() > deadline) {
            if (help && help->IsModal())
                help->EndModal(wxID_CANCEL);
            else if (dialog.IsModal())
                dialog.EndModal(wxID_CANCEL);
            return;
        }
        switch (step) {
        case Step::WaitForDialog:
            if (dialog.IsModal() && dialog.IsShownOnScreen()) {
                dialog.FindWindow(1090)->SetFocus();
                keys.Char(WXK_F1);
                step = Step::WaitForHelp;
            }
            break;
        case Step::WaitForHelp:
            if (help && help->IsModal() && help->IsShownOnScreen()) {
                helpWasModal = true;
                helpPage = help::ProgramHelp().GetOpenedPage();
                help->EndModal(wxID_OK);
                step = Step::WaitForHelpGone;
            }
            break;
        case Step::WaitForHelpGone:
            if (!help || !help->IsModal()) {
                // Twice: the second request finds the viewer as the first left it.
                if (++rounds < 2) {
                    keys.Char(WXK_F1);
                    step = Step::WaitForHelp;
                } else {
                    dialog.EndModal(wxID_CANCEL);
                    step = Step::Done;
                }
            }
            break;
        case Step::Done:
            break;
        }
    });
    driver.Start(50);
    dialog.ShowModal();
    driver.Stop();
    EXPECT_EQ(step, Step::Done);
    EXPECT_EQ(rounds, 2);
    EXPECT_TRUE(helpWasModal);
    EXPECT_TRUE(helpPage.EndsWith("ldif-export.htm")) << helpPage;
}

// In a display of its own (see the test list): a screenshot of the help frame.
TEST_F(HelpWindowTest, HelpTopicsAndTheIndexOpenTheirPagesAndAContextTheBookLacksTheWelcomePage)
{
    ASSERT_NE(MakeFrame(), nullptr);
    Command(cmd::kHelpFinder);
    ASSERT_TRUE(frametest::PumpUntil([] { return HelpWindowShows("welcome.htm"); }))
        << help::ProgramHelp().GetOpenedPage();
    wxWindow* window = help::ProgramHelp().GetHelpWindow();
    window->SetSize(900, 640);
    const std::string shot = frametest::ScreenCapture(window, "help-frame");
    EXPECT_FALSE(shot.empty());
    EXPECT_GT(frametest::DistinctColours(shot), 16u) << "the help frame shows its page";

    Command(cmd::kHelpIndex);
    EXPECT_TRUE(frametest::PumpUntil([] { return HelpWindowShows("topics.htm"); }));
    // The framework's help of the main window: its own page.
    Command(cmd::kHelp);
    EXPECT_TRUE(frametest::PumpUntil([] { return HelpWindowShows("mainwindow.htm"); }));

    struct Case {
        uint32_t context;
        const char* page;
    } cases[] = {{help::kContextUpdateDialog, "update-check.htm"}, {35, "search.htm"}, {56, "options-update.htm"},
                 {0, "welcome.htm"}, {9, "welcome.htm"}, {9999, "welcome.htm"}};
    for (const Case& c : cases) {
        EXPECT_NE(ShowHelpContext(m_frame, c.context), 0) << c.context;
        EXPECT_TRUE(frametest::PumpUntil([&] { return PageIs(c.page); }, std::chrono::seconds(5)))
            << c.context << " opened " << help::ProgramHelp().GetOpenedPage();
    }
}

// The loader looks for the book once: missing then, every later call gives
// 0 even with a book put in place; a loader made afterwards finds it.
TEST(HtmlHelpLoader, ABookMissingAtTheFirstCallStaysMissingForTheRun)
{
    testsupport::TempFolder home;
    const std::string folder = home.Path() + "/help/";
    std::filesystem::create_directories(folder);
    help::HelpPopupRequest popup;
    popup.topic = 1;
    {
        help::CHtmlHelpLoader loader({folder});
        EXPECT_EQ(loader.Call(nullptr, wxString(), help::kHelpContext, 7), 0);
        std::filesystem::copy_file(BookPath(), folder + help::kHelpBookName);
        EXPECT_EQ(loader.Call(nullptr, wxString(), help::kHelpContext, 7), 0);
        EXPECT_EQ(loader.Call(nullptr, wxString(), help::kDisplayTopic, 0), 0);
        EXPECT_EQ(loader.Call(nullptr, "Menus.txt", help::kDisplayTextPopup, reinterpret_cast<intptr_t>(&popup)), 0);
    }
    {
        help::CHtmlHelpLoader loader({folder});
        EXPECT_NE(loader.Call(nullptr, wxString(), help::kHelpContext, 7), 0);
        loader.Close();
    }
    // A book that is no zip is unreadable: 0, quietly.
    wxFFile(wxString::FromUTF8(folder + help::kHelpBookName), "w").Write("not a zip");
    help::CHtmlHelpLoader broken({folder});
    EXPECT_EQ(broken.Call(nullptr, wxString(), help::kHelpContext, 7), 0);
    frametest::Pump();
}

// At its end the toolkit deletes every window still open; the loader that
// ends after it must not reach the help window again.
TEST(HtmlHelpLoader, EndsSafelyAfterTheToolkitDeletedItsWindows)
{
    testsupport::TempFolder folder;
    std::filesystem::copy_file(BookPath(), folder.Path() + "/" + help::kHelpBookName);
    {
        help::CHtmlHelpLoader loader({folder.Path() + "/"});
        ASSERT_NE(loader.Call(nullptr, wxString(), help::kHelpContext, help::kContextTopics), 0);
        wxWindow* window = loader.GetHelpWindow();
        ASSERT_NE(window, nullptr);
        delete window;
    }
    frametest::Pump();
}

} // namespace
