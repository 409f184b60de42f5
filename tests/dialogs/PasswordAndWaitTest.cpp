#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>
#include <vector>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/modalhook.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include "dialogs/CPasswordDlg.h"
#include "dialogs/CWaitDlg.h"
#include "dialogs/WxNodeDialogs.h"
#include "platform/ResourceLibrary.h"
#include "widgets/CInputLanguageWnd.h"
#include "tests/dialogs/DialogsFixture.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using uitest::Click;
using uitest::FindTopLevel;
using uitest::Modals;
using uitest::WhenShown;

using dialogtest::DialogsFixture;

using PasswordPromptTest = DialogsFixture;

TEST_F(PasswordPromptTest, OkGivesTheTypedPasswordAndTheSaveBox)
{
    WxNodeDialogs dialogs;
    WhenShown<CPasswordDlg>([](CPasswordDlg& dialog) {
        ASSERT_NE(dialog.GetPasswordControl(), nullptr);
        ASSERT_NE(dialog.GetSaveControl(), nullptr);
        EXPECT_TRUE(dialog.GetPasswordControl()->GetValue().empty());
        EXPECT_FALSE(dialog.GetSaveControl()->GetValue());
        // Typed as the keyboard would, into the field that has the focus.
        wxUIActionSimulator keys;
        dialog.GetPasswordControl()->SetFocus();
        uitest::RunFor(100);
        keys.Text("s3cret");
        uitest::RunUntil([&] { return dialog.GetPasswordControl()->GetValue() == "s3cret"; }, 3000);
        if (dialog.GetPasswordControl()->GetValue() != "s3cret")
            dialog.GetPasswordControl()->ChangeValue("s3cret");  // no synthetic keyboard here
        dialog.GetSaveControl()->SetValue(true);
        uitest::Screenshot(dialog, "password-prompt");
        Click(dialog, wxID_OK);
    });
    std::wstring password = L"left over";
    bool save = false;
    EXPECT_TRUE(dialogs.AskPassword(password, save));
    EXPECT_EQ(password, L"s3cret");
    EXPECT_TRUE(save);

    // Text beyond ASCII comes back unchanged, and an unticked box as false.
    WhenShown<CPasswordDlg>([](CPasswordDlg& dialog) {
        dialog.GetPasswordControl()->ChangeValue(wxString::FromUTF8("pä$$wörd €"));
        Click(dialog, wxID_OK);
    });
    save = true;
    EXPECT_TRUE(dialogs.AskPassword(password, save));
    EXPECT_EQ(password, L"pä$$wörd €");
    EXPECT_FALSE(save);
}

TEST_F(PasswordPromptTest, CancelIsFalseAndLeavesTheAnswersAlone)
{
    WxNodeDialogs dialogs;
    WhenShown<CPasswordDlg>([](CPasswordDlg& dialog) {
        dialog.GetPasswordControl()->ChangeValue("typed");
        dialog.GetSaveControl()->SetValue(true);
        Click(dialog, wxID_CANCEL);
    });
    std::wstring password = L"before";
    bool save = false;
    EXPECT_FALSE(dialogs.AskPassword(password, save));
    EXPECT_EQ(password, L"before");
    EXPECT_FALSE(save);

    // Closing the window is a cancel too.
    WhenShown<CPasswordDlg>([](CPasswordDlg& dialog) {
        dialog.GetPasswordControl()->ChangeValue("typed");
        dialog.Close();
    });
    EXPECT_FALSE(dialogs.AskPassword(password, save));
    EXPECT_EQ(password, L"before");
}

TEST_F(PasswordPromptTest, TheIndicatorBesideTheFieldFollowsTheKeyboardLayout)
{
    auto tag = std::make_shared<std::string>("en");
    CInputLanguageWnd::TagSource previous = CInputLanguageWnd::SetTagSource([tag] { return *tag; });
    WxNodeDialogs dialogs;
    WhenShown<CPasswordDlg>([tag](CPasswordDlg& dialog) {
        CInputLanguageWnd* indicator = dialog.GetLanguageIndicator();
        ASSERT_NE(indicator, nullptr);
        EXPECT_EQ(indicator->GetId(), 100);
        EXPECT_TRUE(indicator->IsShownOnScreen());
        EXPECT_EQ(indicator->GetTag(), "EN");
        const wxRect field = dialog.GetPasswordControl()->GetScreenRect();
        const wxRect box = indicator->GetScreenRect();
        EXPECT_GE(box.x, field.GetRight());
        EXPECT_LT(box.x - field.GetRight(), 12);
        EXPECT_GT(box.width, 8);
        EXPECT_GT(box.height, 8);

        // The layout switches while the prompt is open: the next pass of the
        // event loop shows it.
        *tag = "de";
        wxWakeUpIdle();
        uitest::RunUntil([&] { return indicator->GetTag() == "DE"; }, 3000);
        EXPECT_EQ(indicator->GetTag(), "DE");
        Click(dialog, wxID_CANCEL);
    });
    std::wstring password;
    bool save = false;
    EXPECT_FALSE(dialogs.AskPassword(password, save));
    CInputLanguageWnd::SetTagSource(previous);
}

class WaitPopupTest : public DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        m_owner = new wxFrame(nullptr, wxID_ANY, "Owner", wxPoint(100, 80), wxSize(600, 400));
        m_owner->Show();
        uitest::RunFor(100);
    }
    void TearDown() override
    {
        m_owner->Destroy();
        uitest::RunFor(50);
        DialogsFixture::TearDown();
    }

    static void PressEscape(wxWindow& window)
    {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(&window);
        window.GetEventHandler()->ProcessEvent(key);
    }

    wxFrame* m_owner = nullptr;
};

TEST_F(WaitPopupTest, ModelessPopupStaysUntilItsOwnerLetsItGo)
{
    auto* popup = new CWaitDlg(m_owner, L"Waiting for the search to end ...");
    ASSERT_TRUE(popup->Create());
    wxWeakRef<CWaitDlg> alive(popup);
    ASSERT_NE(popup->GetTextControl(), nullptr);
    EXPECT_EQ(popup->GetTextControl()->GetLabel(), "Waiting for the search to end ...");
    popup->Show();
    uitest::RunFor(200);

    // Centred over the owner's client area.
    const wxPoint ownerOrigin = m_owner->ClientToScreen(wxPoint(0, 0));
    const wxSize ownerSize = m_owner->GetClientSize();
    const wxRect popupRect(popup->ClientToScreen(wxPoint(0, 0)), popup->GetClientSize());
    EXPECT_NEAR(popupRect.x + popupRect.width / 2, ownerOrigin.x + ownerSize.x / 2, 4);
    EXPECT_NEAR(popupRect.y + popupRect.height / 2, ownerOrigin.y + ownerSize.y / 2, 4);
    uitest::Screenshot(*popup, "wait-popup");

    // The close box or Alt+F4 (a close request) and Escape leave it open.
    EXPECT_FALSE(popup->Close());
    PressEscape(*popup);
    wxTheApp->ProcessIdle();
    uitest::RunFor(50);
    ASSERT_TRUE(alive);
    EXPECT_TRUE(popup->IsShown());

    // Its owner lets it close.
    popup->SetMayClose(true);
    popup->Close();
    uitest::RunUntil([&] {
        wxTheApp->ProcessIdle();
        return !alive;
    }, 5000);
    EXPECT_FALSE(alive);
}

TEST_F(WaitPopupTest, ModalPopupEndsOnlyWhenItsOwnerEndsIt)
{
    CWaitDlg popup(m_owner, L"Reading the monitor entry ...");
    ASSERT_TRUE(popup.Create());
    bool stayedOpen = false;
    WhenShown<CWaitDlg>([&](CWaitDlg& shown) {
        shown.Close();
        PressEscape(shown);
        uitest::RunFor(50);
        stayedOpen = shown.IsModal() && shown.IsShown();
        shown.EndModal(wxID_OK);
    });
    EXPECT_EQ(popup.ShowModal(), wxID_OK);
    EXPECT_TRUE(stayedOpen);
}

TEST(FileFilters, ResourceFiltersBecomeWildcards)
{
    struct Case {
        const wchar_t* filter;
        const wchar_t* wildcard;
    };
    const Case cases[] = {
        {L"Text Files (*.txt)|*.txt|Binary Files (*.bin)|*.bin|All Files (*.*)|*.*||",
         L"Text Files (*.txt)|*.txt|Binary Files (*.bin)|*.bin|All Files (*.*)|*"},
        {L"LDIF Files (*.ldif)|*.ldif;*.ldi||", L"LDIF Files (*.ldif)|*.ldif;*.ldi"},
        {L"", L""},
        {L"Odd|", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(FilterToWildcard(c.filter), c.wildcard) << c.filter;

    const std::wstring wildcard = FilterToWildcard(cases[0].filter);
    EXPECT_EQ(FilterIndexForExtension(wildcard, L"bin"), 1);
    EXPECT_EQ(FilterIndexForExtension(wildcard, L"TXT"), 0);
    EXPECT_EQ(FilterIndexForExtension(wildcard, L"jpg"), 0);
}

// The toolkit's file box is the desktop's own; its buttons are reached
// through the desktop library's response call.
void RespondToFileBox(wxFileDialog& dialog, int response)
{
    uitest::RespondToDesktopBox(dialog, response);
}
constexpr int kAccept = -3;  // GTK_RESPONSE_ACCEPT
constexpr int kCancel = -6;  // GTK_RESPONSE_CANCEL

using SaveFileTest = DialogsFixture;

TEST_F(SaveFileTest, ProposesTheNameAsksBeforeOverwritingAndGivesThePath)
{
    WxNodeDialogs dialogs;
    const std::string target = (std::filesystem::path(testing::TempDir()) / "arb-save-file-test.bin").string();
    std::remove(target.c_str());
    WhenShown<wxFileDialog>([&](wxFileDialog& box) {
        EXPECT_TRUE(box.HasFlag(wxFD_SAVE));
        EXPECT_TRUE(box.HasFlag(wxFD_OVERWRITE_PROMPT));
        EXPECT_EQ(box.GetWildcard(), "Text Files (*.txt)|*.txt|Binary Files (*.bin)|*.bin|All Files (*.*)|*");
        EXPECT_EQ(box.GetFilterIndex(), 1);
        EXPECT_EQ(box.GetFilename(), "Smith_jpegPhoto.bin");
        // The desktop's box itself is set to ask before overwriting.
        using AsksToOverwrite = int (*)(void*);
        auto asks = reinterpret_cast<AsksToOverwrite>(dlsym(RTLD_DEFAULT, "gtk_file_chooser_get_do_overwrite_confirmation"));
        ASSERT_NE(asks, nullptr);
        EXPECT_TRUE(asks(box.GetHandle()));
        uitest::Screenshot(box, "save-file");
        box.SetPath(wxString::FromUTF8(target));
        uitest::RunFor(300);
        RespondToFileBox(box, kAccept);
    });
    std::wstring path;
    ASSERT_TRUE(dialogs.ChooseSaveFile(L"bin", L"Smith_jpegPhoto",
                                       L"Text Files (*.txt)|*.txt|Binary Files (*.bin)|*.bin|All Files (*.*)|*.*||",
                                       path));
    EXPECT_EQ(wxString(path).utf8_string(), target);

    WhenShown<wxFileDialog>([&](wxFileDialog& box) { RespondToFileBox(box, kCancel); });
    path.clear();
    EXPECT_FALSE(dialogs.ChooseSaveFile(L"txt", L"name", L"Text Files (*.txt)|*.txt||", path));
    EXPECT_TRUE(path.empty());
}

} // namespace
