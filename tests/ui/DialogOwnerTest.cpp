// A box or dialog opened from a dialog is kept above that dialog (the
// desktop's transient parent), not above the main window behind it: the
// wizard's messages, its remembered-answer question and its advanced sheet;
// the property sheet's messages, its advanced sheet and that sheet's own
// dialogs.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include "dialogs/CAdvancedPropertySheet.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CControlEditorDlg.h"
#include "dialogs/CControlsPropertyPage.h"
#include "dialogs/CLDAPSettingsPropertiesDlg.h"
#include "dialogs/CProfileEditorHostDlg.h"
#include "dialogs/CProfileEditorLDAPSettings.h"
#include "dialogs/CProfileEditorNameDlg.h"
#include "dialogs/CProfileEditorWizard.h"
#include "dialogs/CServerPropertiesDlg.h"
#include "dialogs/WxProfileWizard.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "model/ports/PropertySheetPort.h"
#include "model/ports/ResourceText.h"
#include "platform/ShellPorts.h"
#include "shellcore/RememberedAnswers.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/WxMessageBoxPort.h"
#include "ui/WxPropertySheet.h"

namespace {

using uitest::OwnerHandle;
using uitest::WhenShown;

constexpr int kDesktopOk = -5;  // the desktop box's OK response

void Click(wxWindow& window, int id)
{
    wxWindow* button = window.FindWindow(id);
    ASSERT_NE(button, nullptr) << "button " << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

void Type(wxWindow& window, int id, const char* text)
{
    auto* field = dynamic_cast<wxTextEntry*>(window.FindWindow(id));
    ASSERT_NE(field, nullptr) << "field " << id;
    field->SetValue(text);
}

// What one dialog was kept above.
struct Seen {
    std::string what;
    void* owner = nullptr;
    void* expected = nullptr;
};

class DialogOwnerTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        frametest::Prepare();
        uitest::Modals();
        m_previousBox = platform::SetMessageBoxPort(std::make_shared<ui::WxMessageBoxPort>());
        m_previousSheet = SetPropertySheetPort(std::make_shared<ui::WxPropertySheet>());
        // The main window behind everything, as in the program.
        m_frame = new wxFrame(nullptr, wxID_ANY, "Arbolite", wxDefaultPosition, wxSize(800, 600));
        wxTheApp->SetTopWindow(m_frame);
        m_frame->Show();
        uitest::RunFor(100);
    }

    void TearDown() override
    {
        EXPECT_TRUE(uitest::RunUntil([] { return GetRunningThreadCount() == 0; }, 30000));
        wxTheApp->SetTopWindow(nullptr);
        m_frame->Destroy();
        uitest::RunFor(50);
        SetPropertySheetPort(m_previousSheet);
        platform::SetMessageBoxPort(m_previousBox);
        TempHomeTest::TearDown();
    }

    // Notes what the innermost box of kind T is kept above once it is up,
    // then closes it with close.
    template <class T>
    void NoteOwner(const std::string& what, wxWindow& expected, std::function<void(T&)> close)
    {
        void* expectedHandle = expected.GetHandle();
        WhenShown<T>([this, what, expectedHandle, close](T& dialog) {
            m_seen.push_back({what, OwnerHandle(dialog), expectedHandle});
            close(dialog);
        });
    }

    void ExpectEveryOwner(size_t count)
    {
        ASSERT_EQ(m_seen.size(), count);
        for (const Seen& seen : m_seen) {
            EXPECT_EQ(seen.owner, seen.expected) << seen.what << " is not kept above the dialog it came from"
                                                 << (seen.owner == m_frame->GetHandle() ? " (but the main window)" : "");
        }
    }

    wxFrame* m_frame = nullptr;
    std::vector<Seen> m_seen;
    std::shared_ptr<platform::MessageBoxPort> m_previousBox;
    std::shared_ptr<PropertySheetPort> m_previousSheet;
};

TEST_F(DialogOwnerTest, WhatTheWizardOpensStaysAboveIt)
{
    WhenShown<CProfileEditorWizard>([this](CProfileEditorWizard& wizard) {
        Type(*wizard.GetNamePage(), CProfileEditorNameDlg::kIdcName, "Lab");
        Click(wizard, CProfileEditorWizard::kIdNext);
        CProfileEditorHostDlg& host = *wizard.GetHostPage();
        Type(host, CProfileEditorHostDlg::kIdcHost, "127.0.0.1");
        Type(host, CProfileEditorHostDlg::kIdcBaseDN, "o=lab");
        Type(host, CProfileEditorHostDlg::kIdcPort, "0");
        NoteOwner<wxMessageDialog>("the bad port's message", wizard, [](wxMessageDialog& box) {
            uitest::RespondToDesktopBox(box, kDesktopOk);
        });
        Click(wizard, CProfileEditorWizard::kIdNext);

        Type(host, CProfileEditorHostDlg::kIdcPort, std::to_string(testsupport::FreePort()).c_str());
        Type(host, CProfileEditorHostDlg::kIdcBaseDN, "");
        NoteOwner<CCheckMessageBox>("the empty base DN's question", wizard, [](CCheckMessageBox& box) {
            uitest::Screenshot(box, "wizard-empty-base-dn-question");
            Click(box, kIdcFirst);  // Yes
        });
        Click(wizard, CProfileEditorWizard::kIdNext);
        Click(wizard, CProfileEditorWizard::kIdNext);
        EXPECT_EQ(wizard.GetActiveIndex(), CProfileEditorWizard::kSettingsPage);

        NoteOwner<CAdvancedPropertySheet>("the advanced sheet", wizard, [](CAdvancedPropertySheet& sheet) {
            Click(sheet, wxID_CANCEL);
        });
        Click(*wizard.GetSettingsPage(), CProfileEditorLDAPSettings::kIdcAdvanced);
        Click(wizard, wxID_CANCEL);
    });
    bool connect = false;
    EXPECT_EQ(WxProfileWizard().CreateProfile(LoadResourceText(119), connect), nullptr);
    ExpectEveryOwner(3);
}

TEST_F(DialogOwnerTest, WhatThePropertySheetOpensStaysAboveIt)
{
    CServerProfile profile;
    profile.SetProfileName(L"Lab");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(testsupport::FreePort());
    ASSERT_TRUE(profile.SaveProfile());
    CServerObject server(profile);

    WhenShown<CCommonPropertySheet>([this](CCommonPropertySheet& sheet) {
        // The first page is activated once the sheet's loop runs.
        uitest::RunFor(100);
        ASSERT_TRUE(sheet.SelectPage(0));
        Type(sheet, kIdcHost, "");
        NoteOwner<wxMessageDialog>("the empty host's message", sheet, [](wxMessageDialog& box) {
            uitest::RespondToDesktopBox(box, kDesktopOk);
        });
        Click(sheet, wxID_APPLY);
        Type(sheet, kIdcHost, "127.0.0.1");

        ASSERT_TRUE(sheet.SelectPage(2));
        NoteOwner<CAdvancedPropertySheet>("the advanced sheet", sheet, [this](CAdvancedPropertySheet& advanced) {
            // Its client controls page adds a control through the editor.
            advanced.GetBookCtrl()->SetSelection(1);
            uitest::RunFor(50);
            NoteOwner<CControlEditorDlg>("the control editor", advanced, [](CControlEditorDlg& editor) {
                Click(editor, wxID_CANCEL);
            });
            wxWindow* page = advanced.GetBookCtrl()->GetPage(1);
            Click(*page, CControlsPropertyPage::kIdcAdd);
            Click(advanced, wxID_CANCEL);
        });
        Click(sheet, kIdcAdvanced);
        Click(sheet, wxID_CANCEL);
    });
    EXPECT_EQ(RunPropertySheet(server.GetPropertiesTitle(), server.AddPropertyPages()), 2);
    ExpectEveryOwner(3);
}

} // namespace
