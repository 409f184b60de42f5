// The password manager and its check, driven as a person would under the
// test display.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "base/Base64.h"
#include "base/Utf8.h"
#include "dialogcore/PasswordHash.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CPasswordCheckDlg.h"
#include "dialogs/CPasswordManagerDlg.h"
#include "model/ports/ResourceText.h"
#include "model/values/PasswordScheme.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/ScriptedNodeDialogs.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using uitest::WhenShown;

// What a click on the control sends.
void Click(wxWindow* control, wxEventType type)
{
    ASSERT_NE(control, nullptr);
    wxCommandEvent click(type, control->GetId());
    click.SetEventObject(control);
    if (auto* box = dynamic_cast<wxCheckBox*>(control)) click.SetInt(box->GetValue() ? 1 : 0);
    control->GetEventHandler()->ProcessEvent(click);
}

void Toggle(wxCheckBox* box)
{
    ASSERT_NE(box, nullptr);
    box->SetValue(!box->GetValue());
    Click(box, wxEVT_CHECKBOX);
}

void Choose(CPasswordManagerDlg& dialog, int scheme)
{
    wxRadioButton* radio = dialog.GetSchemeControl(scheme);
    ASSERT_NE(radio, nullptr);
    radio->SetValue(true);
    Click(radio, wxEVT_RADIOBUTTON);
}

void PressOk(wxDialog& dialog)
{
    Click(dialog.FindWindow(wxID_OK), wxEVT_BUTTON);
}

std::string Decoded(const std::wstring& body)
{
    const std::string text = WideToUtf8Text(body);
    size_t n = 0;
    unsigned char* bytes = Base64Decode(text.data(), text.size(), &n);
    std::string out = bytes ? std::string(reinterpret_cast<char*>(bytes), n) : std::string();
    std::free(bytes);
    return out;
}

class PasswordManagerTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        uitest::Modals();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
    }

    // Runs the manager on value; action runs once it is up and must end it.
    int Run(const std::wstring& value, std::function<void(CPasswordManagerDlg&)> action, std::wstring* result)
    {
        CPasswordManagerDlg dialog(value, "userPassword", nullptr);
        WhenShown<CPasswordManagerDlg>(action);
        const int rc = dialog.ShowModal();
        if (result) *result = dialog.GetResult();
        return rc;
    }

    platform::HeadlessShell shell;
};

TEST_F(PasswordManagerTest, AClearValueFillsBothEditsAndShowsItsShaFormAtOnce)
{
    std::wstring result;
    const int rc = Run(L"password", [](CPasswordManagerDlg& dialog) {
        EXPECT_EQ(dialog.GetTitle(), wxString::FromUTF8("Password Manager [userPassword]"));
        EXPECT_EQ(dialog.GetPasswordControl()->GetValue(), "password");
        EXPECT_EQ(dialog.GetConfirmControl()->GetValue(), "password");
        EXPECT_TRUE(dialog.GetHashControl()->GetValue());
        EXPECT_TRUE(dialog.GetSchemeControl(kSchemeSHA)->GetValue());
        EXPECT_EQ(dialog.GetHashedValue(), L"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=");
        EXPECT_FALSE(dialog.GetHashedControl()->IsEditable());
        uitest::Screenshot(dialog, "password-manager-clear");
        PressOk(dialog);
    }, &result);
    EXPECT_EQ(rc, wxID_OK);
    EXPECT_EQ(result, L"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=");
}

TEST_F(PasswordManagerTest, HashedValuesShowTheirSchemeAndAPrivateOneIsKept)
{
    struct Case {
        std::wstring value;
        int radio;
    };
    const Case cases[] = {
        {L"{SSHA}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA==", kSchemeSSHA},
        {L"{smd5}/b3zQZ//mL2wJBOQ9iqds3NhbHRzYWx0", kSchemeSMD5},
        {L"{CRYPT}abJnggxhB/yWI", kSchemeCrypt},
        {L"{X-PRIVATE}whatever", kSchemeSHA},
    };
    for (const Case& c : cases) {
        std::wstring result;
        const int rc = Run(c.value, [&](CPasswordManagerDlg& dialog) {
            EXPECT_EQ(dialog.GetHashedValue(), c.value);
            EXPECT_TRUE(dialog.GetPasswordControl()->IsEmpty());
            EXPECT_TRUE(dialog.GetSchemeControl(c.radio)->GetValue()) << WideToUtf8Text(c.value);
            PressOk(dialog);
        }, &result);
        EXPECT_EQ(rc, wxID_OK);
        EXPECT_EQ(result, c.value);
    }
    EXPECT_TRUE(shell.MessageBox().asked.empty());
}

TEST_F(PasswordManagerTest, ADifferingConfirmationEmptiesBothUnlessAnExistingValueIsUsed)
{
    std::wstring result;
    const int rc = Run(std::wstring(), [this](CPasswordManagerDlg& dialog) {
        dialog.GetPasswordControl()->SetValue("one");
        dialog.GetConfirmControl()->SetValue("two");
        EXPECT_FALSE(dialog.GetHashedValue().empty());
        PressOk(dialog);
        ASSERT_EQ(shell.MessageBox().asked.size(), 1u);
        EXPECT_EQ(shell.MessageBox().asked[0].text, LoadResourceText(514));
        EXPECT_EQ(shell.MessageBox().asked[0].style & 0xF0, 0x30u);
        EXPECT_TRUE(dialog.IsModal()) << "the dialog stays open";
        EXPECT_TRUE(dialog.GetPasswordControl()->IsEmpty());
        EXPECT_TRUE(dialog.GetConfirmControl()->IsEmpty());
        EXPECT_TRUE(dialog.GetHashedValue().empty());
        // With an existing value the confirmation does not count.
        dialog.GetPasswordControl()->SetValue("one");
        dialog.GetConfirmControl()->SetValue("two");
        Toggle(dialog.GetExistingControl());
        EXPECT_TRUE(dialog.GetHashedControl()->IsEditable());
        EXPECT_FALSE(dialog.GetPasswordControl()->IsEnabled());
        EXPECT_FALSE(dialog.GetSchemeControl(kSchemeMD5)->IsEnabled());
        dialog.GetHashedControl()->ChangeValue("{MD5}X03MO1qnZdYdgyfeuILPmQ==");
        PressOk(dialog);
    }, &result);
    EXPECT_EQ(rc, wxID_OK);
    EXPECT_EQ(result, L"{MD5}X03MO1qnZdYdgyfeuILPmQ==");
    EXPECT_EQ(shell.MessageBox().asked.size(), 1u);
}

TEST_F(PasswordManagerTest, AValueWithoutAPrefixIsRefusedWithTheFocusOnIt)
{
    const int rc = Run(std::wstring(), [this](CPasswordManagerDlg& dialog) {
        Toggle(dialog.GetExistingControl());
        dialog.GetHashedControl()->ChangeValue("no scheme here");
        PressOk(dialog);
        ASSERT_EQ(shell.MessageBox().asked.size(), 1u);
        EXPECT_EQ(shell.MessageBox().asked[0].text, LoadResourceText(515) + LoadResourceText(516));
        EXPECT_EQ(shell.MessageBox().asked[0].style & 0xF0, 0x10u);
        EXPECT_TRUE(dialog.IsModal());
        long from = 0, to = 0;
        dialog.GetHashedControl()->GetSelection(&from, &to);
        EXPECT_EQ(from, 0);
        EXPECT_EQ(to, dialog.GetHashedControl()->GetLastPosition());
        dialog.EndModal(wxID_CANCEL);
    }, nullptr);
    EXPECT_EQ(rc, wxID_CANCEL);
}

TEST_F(PasswordManagerTest, EveryChangeOfTheSaltedSchemesDrawsANewSalt)
{
    Run(std::wstring(), [](CPasswordManagerDlg& dialog) {
        std::set<std::wstring> seen;
        for (int scheme : {kSchemeSSHA, kSchemeSMD5}) {
            Choose(dialog, scheme);
            std::wstring typed;
            for (wchar_t c : std::wstring(L"secret")) {
                typed.push_back(c);
                dialog.GetPasswordControl()->SetValue(wxString(typed));
                const std::wstring value = dialog.GetHashedValue();
                EXPECT_EQ(GetPasswordScheme(value), scheme);
                EXPECT_TRUE(seen.insert(value).second) << "the same salt twice";
                const size_t digest = scheme == kSchemeSSHA ? 20 : 16;
                const std::string bytes = Decoded(value.substr(6));
                EXPECT_GE(bytes.size(), digest + 8);
                EXPECT_LE(bytes.size(), digest + 41);
                EXPECT_TRUE(CheckPasswordHash(typed, scheme, value));
            }
            // Choosing the scheme again makes a new one too.
            const std::wstring before = dialog.GetHashedValue();
            Choose(dialog, scheme);
            EXPECT_NE(dialog.GetHashedValue(), before);
        }
        Choose(dialog, kSchemeCrypt);
        const std::wstring crypt = dialog.GetHashedValue();
        EXPECT_EQ(crypt.size(), 7u + 13u);
        // Hash mode off: no hashed value, the scheme choice is off, the password itself is the result.
        Toggle(dialog.GetHashControl());
        EXPECT_TRUE(dialog.GetHashedValue().empty());
        EXPECT_FALSE(dialog.GetSchemeControl(kSchemeSHA)->IsEnabled());
        EXPECT_FALSE(dialog.GetExistingControl()->IsEnabled());
        EXPECT_FALSE(dialog.GetCheckButton()->IsEnabled());
        dialog.GetConfirmControl()->SetValue("secret");
        PressOk(dialog);
    }, nullptr);
}

TEST_F(PasswordManagerTest, TheCheckShowsEachVerdictAndForgetsItOnEveryChange)
{
    Run(L"{SSHA}yrht1iYXEIkejLVu42JWkadd80RzYWx0c2FsdA==", [](CPasswordManagerDlg& dialog) {
        WhenShown<CPasswordCheckDlg>([](CPasswordCheckDlg& check) {
            EXPECT_EQ(check.GetTitle(), "Check Password [" + wxString(LoadResourceText(696)) + "]");
            check.GetPasswordControl()->SetValue("password");
            PressOk(check);
            EXPECT_EQ(check.GetVerdictControl()->GetLabel(), wxString(LoadResourceText(113)));
            EXPECT_TRUE(check.IsModal()) << "OK checks, it does not close";
            uitest::Screenshot(check, "password-check-match");
            check.GetPasswordControl()->SetValue("passwort");
            EXPECT_TRUE(check.GetVerdictControl()->GetLabel().empty());
            PressOk(check);
            EXPECT_EQ(check.GetVerdictControl()->GetLabel(), wxString(LoadResourceText(114)));
            check.EndModal(wxID_CANCEL);
        });
        Click(dialog.GetCheckButton(), wxEVT_BUTTON);
        // Against a {CRYPT} value chosen by its radio button: the value's own salt.
        dialog.GetHashedControl()->ChangeValue("{CRYPT}abJnggxhB/yWI");
        Choose(dialog, kSchemeCrypt);
        dialog.GetHashedControl()->ChangeValue("{CRYPT}abJnggxhB/yWI");
        WhenShown<CPasswordCheckDlg>([](CPasswordCheckDlg& check) {
            EXPECT_EQ(check.GetTitle(), "Check Password [" + wxString(LoadResourceText(163)) + "]");
            check.GetPasswordControl()->SetValue("password");
            PressOk(check);
            EXPECT_EQ(check.GetVerdictControl()->GetLabel(), wxString(LoadResourceText(113)));
            check.EndModal(wxID_CANCEL);
        });
        Click(dialog.GetCheckButton(), wxEVT_BUTTON);
        dialog.EndModal(wxID_CANCEL);
    }, nullptr);
}

TEST_F(PasswordManagerTest, AnUnknownSchemeWarnsBeforeTheCheck)
{
    ScriptedNodeDialogsScope scripted;
    ScriptedNodeDialogs& questions = scripted.Dialogs();
    Run(L"{X-PRIVATE}secret", [&](CPasswordManagerDlg& dialog) {
        Toggle(dialog.GetExistingControl());
        EXPECT_EQ(dialog.GetCurrentScheme(), kSchemePrivate);
        // No: the check does not open.
        questions.checkAnswers.push_back(platform::kIdNo);
        Click(dialog.GetCheckButton(), wxEVT_BUTTON);
        ASSERT_EQ(questions.checkBoxes.size(), 1u);
        EXPECT_EQ(questions.checkBoxes[0].first, LoadResourceText(517));
        EXPECT_EQ(uitest::FindTopLevel<CPasswordCheckDlg>(), nullptr);
        // Yes: it opens, under the unknown scheme's name, and nothing matches.
        questions.checkAnswers.push_back(platform::kIdYes);
        bool opened = false;
        WhenShown<CPasswordCheckDlg>([&opened](CPasswordCheckDlg& check) {
            opened = true;
            EXPECT_EQ(check.GetTitle(), "Check Password [" + wxString(LoadResourceText(167)) + "]");
            check.GetPasswordControl()->SetValue("secret");
            PressOk(check);
            EXPECT_EQ(check.GetVerdictControl()->GetLabel(), wxString(LoadResourceText(114)));
            check.EndModal(wxID_CANCEL);
        });
        Click(dialog.GetCheckButton(), wxEVT_BUTTON);
        EXPECT_EQ(questions.checkBoxes.size(), 2u);
        EXPECT_TRUE(opened);
        // A known scheme asks nothing.
        Toggle(dialog.GetExistingControl());
        WhenShown<CPasswordCheckDlg>([](CPasswordCheckDlg& check) { check.EndModal(wxID_CANCEL); });
        Click(dialog.GetCheckButton(), wxEVT_BUTTON);
        EXPECT_EQ(questions.checkBoxes.size(), 2u);
        dialog.EndModal(wxID_CANCEL);
    }, nullptr);
}

TEST_F(PasswordManagerTest, CancelGivesNoResult)
{
    std::wstring result = L"unchanged";
    const int rc = Run(L"password", [](CPasswordManagerDlg& dialog) {
        dialog.GetPasswordControl()->SetValue("other");
        dialog.EndModal(wxID_CANCEL);
    }, &result);
    EXPECT_EQ(rc, wxID_CANCEL);
    EXPECT_TRUE(result.empty());
}

} // namespace
