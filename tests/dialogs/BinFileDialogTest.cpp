// The binary value file dialog on the desktop's file box: its save and load
// forms, which line-limit controls each enables, the limits it refuses (the
// box stays, the focus goes back to the limit) and what it hands back.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include "dialogs/CBinFileDialog.h"
#include "dialogs/WxNodeDialogs.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/UiResources.h"

namespace {

using uitest::WhenShown;

constexpr int kAccept = -3;  // GTK_RESPONSE_ACCEPT
constexpr int kCancel = -6;  // GTK_RESPONSE_CANCEL

const std::wstring kFilter = L"Text Files (*.txt)|*.txt|Binary Files (*.bin)|*.bin|All Files (*.*)|*.*||";

void Choose(wxRadioButton* button)
{
    ASSERT_NE(button, nullptr);
    button->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, button->GetId());
    event.SetEventObject(button);
    event.SetInt(1);
    button->GetEventHandler()->ProcessEvent(event);
}

void Check(wxCheckBox* box, bool on)
{
    ASSERT_NE(box, nullptr);
    box->SetValue(on);
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(on ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(event);
}

// What the panel enables, as (check box, limit edit, spin).
std::vector<bool> Enabled(CBinFileDialog& dialog)
{
    return {dialog.LimitCheck()->IsEnabled(), dialog.LimitEdit()->IsEnabled(), dialog.LimitSpin()->IsEnabled()};
}

// OK as the desktop's box sends it to the dialog.
void PressOk(CBinFileDialog& dialog)
{
    wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
    ok.SetEventObject(&dialog);
    dialog.GetEventHandler()->ProcessEvent(ok);
}

class BinFileDialogTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        uitest::Modals();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
    }

    platform::HeadlessShell shell;
};

TEST_F(BinFileDialogTest, TheSaveFormEnablesTheLimitForBase64AndRefusesBadLimits)
{
    WxNodeDialogs dialogs;
    const std::string target = (std::filesystem::path(testing::TempDir()) / "arb-bin-file-test.b64").string();
    WhenShown<CBinFileDialog>([&](CBinFileDialog& dialog) {
        EXPECT_EQ(dialog.GetForm(), binfile::Form::Save);
        EXPECT_EQ(dialog.GetMessage(), ui::ResourceString(676));
        EXPECT_TRUE(dialog.HasFlag(wxFD_SAVE));
        EXPECT_TRUE(dialog.HasFlag(wxFD_OVERWRITE_PROMPT));
        EXPECT_EQ(dialog.GetFilename(), "Smith_jpegPhoto.bin");
        EXPECT_EQ(dialog.GetFilterIndex(), 1);
        ASSERT_NE(dialog.GetExtraControl(), nullptr);
        ASSERT_NE(dialog.LimitEdit(), nullptr);
        ASSERT_NE(dialog.GetExtraControl()->FindWindow(kIdcBinFileLine), nullptr);
        // The frame line stretches with the panel and ends 16 pixels before its right edge.
        const wxRect line = dialog.GetExtraControl()->FindWindow(kIdcBinFileLine)->GetRect();
        EXPECT_EQ(dialog.GetExtraControl()->GetClientSize().x - line.GetRight() - 1, 16);
        EXPECT_GT(line.width, dialog.GetExtraControl()->GetClientSize().x / 2);
        // Raw bytes first: nothing of the limit is enabled, the box is on.
        EXPECT_TRUE(dialog.RawButton()->GetValue());
        EXPECT_TRUE(dialog.LimitCheck()->GetValue());
        EXPECT_EQ(dialog.LimitEdit()->GetValue(), "76");
        EXPECT_EQ(dialog.LimitSpin()->GetMin(), 1);
        EXPECT_EQ(dialog.LimitSpin()->GetMax(), 32767);
        EXPECT_EQ(dialog.LimitSpin()->GetValue(), 76);
        EXPECT_EQ(Enabled(dialog), (std::vector<bool>{false, false, false}));
        EXPECT_FALSE(dialog.IsLimitOn());

        Choose(dialog.Base64Button());
        EXPECT_EQ(dialog.GetFormat(), binfile::kBase64Text);
        EXPECT_EQ(Enabled(dialog), (std::vector<bool>{true, true, true}));
        EXPECT_TRUE(dialog.IsLimitOn());
        Check(dialog.LimitCheck(), false);
        EXPECT_EQ(Enabled(dialog), (std::vector<bool>{true, false, false}));
        EXPECT_FALSE(dialog.IsLimitOn());
        Check(dialog.LimitCheck(), true);
        // Back to raw with the box still on: the limit is off.
        Choose(dialog.RawButton());
        EXPECT_FALSE(dialog.IsLimitOn());
        EXPECT_EQ(Enabled(dialog), (std::vector<bool>{false, false, false}));
        Choose(dialog.Base64Button());

        for (const char* bad : {"0", "-1", "", "abc", "32768", "7x"}) {
            SCOPED_TRACE(bad);
            shell.MessageBox().asked.clear();
            dialog.LimitEdit()->SetValue(bad);
            PressOk(dialog);
            uitest::RunFor(50);
            EXPECT_TRUE(dialog.IsModal()) << "the box stays";
            ASSERT_EQ(shell.MessageBox().asked.size(), 1u);
            EXPECT_NE(shell.MessageBox().asked[0].text.find(L"32767"), std::wstring::npos);
            EXPECT_EQ(wxWindow::FindFocus(), dialog.LimitEdit()) << "the focus goes back to the limit";
        }
        shell.MessageBox().asked.clear();
        dialog.LimitEdit()->SetValue("64");
        EXPECT_EQ(dialog.LimitSpin()->GetValue(), 64);
        uitest::DesktopBoxScreenshot(dialog, "binary-save", "dialogs");
        dialog.SetPath(wxString::FromUTF8(target));
        uitest::RunFor(200);
        uitest::RespondToDesktopBox(dialog, kAccept);
    });
    BinaryFileChoice choice;
    ASSERT_TRUE(dialogs.ChooseBinaryFile(L"bin", L"Smith_jpegPhoto", kFilter, choice));
    EXPECT_EQ(wxString(choice.path).utf8_string(), target);
    EXPECT_TRUE(choice.base64);
    EXPECT_TRUE(choice.limitOn);
    EXPECT_EQ(choice.limit, 64);
    EXPECT_TRUE(shell.MessageBox().asked.empty());
}

TEST_F(BinFileDialogTest, TheLoadFormAsksForAnExistingFileAndNeverALimit)
{
    WxNodeDialogs dialogs;
    EXPECT_TRUE(dialogs.HasDialog(NodeDialog::BinaryFile));
    const std::string source = (std::filesystem::path(testing::TempDir()) / "arb-bin-load-test.b64").string();
    { std::ofstream(source) << "QUJD\n"; }
    WhenShown<CBinFileDialog>([&](CBinFileDialog& dialog) {
        EXPECT_EQ(dialog.GetForm(), binfile::Form::Load);
        EXPECT_EQ(dialog.GetMessage(), ui::ResourceString(675));
        EXPECT_TRUE(dialog.HasFlag(wxFD_OPEN));
        EXPECT_TRUE(dialog.HasFlag(wxFD_FILE_MUST_EXIST));
        EXPECT_EQ(dialog.GetWildcard(), "Text Files (*.txt)|*.txt|Binary Files (*.bin)|*.bin|All Files (*.*)|*");
        ASSERT_NE(dialog.LimitEdit(), nullptr);
        EXPECT_EQ(Enabled(dialog), (std::vector<bool>{false, false, false}));
        Choose(dialog.Base64Button());
        EXPECT_EQ(Enabled(dialog), (std::vector<bool>{false, false, false}));
        EXPECT_FALSE(dialog.IsLimitOn());
        uitest::DesktopBoxScreenshot(dialog, "binary-load", "dialogs");
        dialog.SetPath(wxString::FromUTF8(source));
        uitest::RunFor(200);
        uitest::RespondToDesktopBox(dialog, kAccept);
    });
    BinaryFileChoice choice;
    ASSERT_TRUE(dialogs.ChooseBinaryLoadFile(choice));
    EXPECT_EQ(wxString(choice.path).utf8_string(), source);
    EXPECT_TRUE(choice.base64);
    EXPECT_FALSE(choice.limitOn);

    WhenShown<CBinFileDialog>([](CBinFileDialog& dialog) { uitest::RespondToDesktopBox(dialog, kCancel); });
    EXPECT_FALSE(dialogs.ChooseBinaryLoadFile(choice));
}

} // namespace
