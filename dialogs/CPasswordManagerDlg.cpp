#include "dialogs/CPasswordManagerDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/PasswordHash.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/CPasswordCheckDlg.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/ResourceText.h"
#include "model/values/PasswordScheme.h"
#include "platform/ShellPorts.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
constexpr HelpIdPair kPopupTopics[] = {{1047, 2}, {1154, 3}, {1332, 4}, {1161, 5}, {1155, 6}, {1156, 7},
                                       {1157, 7}, {1158, 7}, {1333, 8}, {1, 9},    {2, 10},   {0, 0}};

constexpr unsigned kDialog = 347;
constexpr int kCheckId = 1333;
constexpr int kHashedLabelId = 1162;
constexpr int kHashId = 1332;
constexpr int kPasswordId = 1047;
constexpr int kHashedId = 1155;
constexpr int kExistingId = 1161;
constexpr int kConfirmId = 1154;
// The radio buttons by scheme: SHA, SSHA, MD5, SMD5, CRYPT.
constexpr int kSchemeIds[] = {1156, 1159, 1157, 1160, 1158};

constexpr unsigned kStrConfirmDiffers = 514;
constexpr unsigned kStrNoScheme = 515;
constexpr unsigned kStrNoSchemeHelp = 516;
constexpr unsigned kStrUnknownScheme = 517;

constexpr uint32_t kMbYesNo = 0x04;
constexpr uint32_t kMbIconExclamation = 0x30;

} // namespace

CPasswordManagerDlg::CPasswordManagerDlg(const std::wstring& value, const std::string& displayName,
                                         wxWindow* parent)
{
    if (!ui::LoadDialogResource(this, parent, kDialog)) {
        wxDialog::Create(parent, wxID_ANY, "Password Manager");
        new wxTextCtrl(this, kPasswordId, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
        new wxTextCtrl(this, kConfirmId, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
        new wxCheckBox(this, kHashId, wxString());
        for (int id : kSchemeIds) new wxRadioButton(this, id, wxString());
        new wxCheckBox(this, kExistingId, wxString());
        new wxStaticText(this, kHashedLabelId, wxString());
        new wxTextCtrl(this, kHashedId, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        new wxButton(this, kCheckId, wxString());
    }
    m_password = dynamic_cast<wxTextCtrl*>(FindWindow(kPasswordId));
    m_confirm = dynamic_cast<wxTextCtrl*>(FindWindow(kConfirmId));
    m_hashed = dynamic_cast<wxTextCtrl*>(FindWindow(kHashedId));
    m_hash = dynamic_cast<wxCheckBox*>(FindWindow(kHashId));
    m_existing = dynamic_cast<wxCheckBox*>(FindWindow(kExistingId));
    m_hashedLabel = dynamic_cast<wxStaticText*>(FindWindow(kHashedLabelId));
    m_check = dynamic_cast<wxButton*>(FindWindow(kCheckId));
    for (size_t i = 0; i < m_schemes.size(); ++i)
        m_schemes[i] = dynamic_cast<wxRadioButton*>(FindWindow(kSchemeIds[i]));

    if (m_hash) m_hash->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { SetHashMode(m_hash->GetValue()); });
    if (m_existing)
        m_existing->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { SetExistingMode(m_existing->GetValue()); });
    if (m_password) m_password->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Recompute(); });
    for (wxRadioButton* radio : m_schemes)
        if (radio) radio->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { Recompute(); });
    if (m_check) m_check->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCheck(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); }, wxID_OK);
    Bind(wxEVT_CONTEXT_MENU, &CPasswordManagerDlg::OnContextMenu, this);

    Initialise(value, displayName);
    GiveDialogHelp(this, help::WindowHelpContext(kDialog), "PasswordManager.txt", kPopupTopics, sizeof(kPopupTopics));
    Fit();
    CentreOnParent();
}

void CPasswordManagerDlg::Initialise(const std::wstring& value, const std::string& displayName)
{
    SetTitle(GetTitle() + " [" + wxString::FromUTF8(displayName) + "]");
    if (m_schemes[kSchemeSHA]) m_schemes[kSchemeSHA]->SetValue(true);
    bool clearValue = false;
    if (!value.empty()) {
        const int scheme = GetPasswordScheme(value);
        if (scheme != kSchemeNone) {
            if (m_hashed) m_hashed->ChangeValue(wxString(value));
            if (scheme >= kSchemeSHA && scheme <= kSchemeCrypt && m_schemes[scheme])
                m_schemes[scheme]->SetValue(true);
        } else {
            clearValue = true;
            if (m_password) m_password->ChangeValue(wxString(value));
            if (m_confirm) m_confirm->ChangeValue(wxString(value));
        }
    }
    if (m_hash) m_hash->SetValue(true);
    if (clearValue) Recompute();
    if (m_password) m_password->SetFocus();
}

wxRadioButton* CPasswordManagerDlg::GetSchemeControl(int scheme) const
{
    return scheme >= 0 && scheme < static_cast<int>(m_schemes.size()) ? m_schemes[scheme] : nullptr;
}

std::wstring CPasswordManagerDlg::GetHashedValue() const
{
    return m_hashed ? m_hashed->GetValue().ToStdWstring() : std::wstring();
}

int CPasswordManagerDlg::GetCurrentScheme() const
{
    if (m_existing && m_existing->GetValue()) return GetPasswordScheme(GetHashedValue());
    // Tested in the order of the buttons' ids.
    for (int scheme : {kSchemeSHA, kSchemeMD5, kSchemeCrypt, kSchemeSSHA, kSchemeSMD5})
        if (m_schemes[scheme] && m_schemes[scheme]->GetValue()) return scheme;
    return kSchemeNone;
}

void CPasswordManagerDlg::Recompute()
{
    if (!m_hashed) return;
    std::wstring value;
    if (m_password && !m_password->IsEmpty() && m_hash && m_hash->GetValue())
        value = MakePasswordHash(m_password->GetValue().ToStdWstring(), GetCurrentScheme());
    m_hashed->ChangeValue(wxString(value));
}

void CPasswordManagerDlg::SetHashMode(bool on)
{
    if (on) {
        Recompute();
    } else {
        if (m_existing) m_existing->SetValue(false);
        SetExistingMode(false);
        if (m_hashed) m_hashed->ChangeValue(wxString());
    }
    for (wxRadioButton* radio : m_schemes)
        if (radio) radio->Enable(on);
    for (wxWindow* window : {static_cast<wxWindow*>(m_hashed), static_cast<wxWindow*>(m_existing),
                             static_cast<wxWindow*>(m_hashedLabel), static_cast<wxWindow*>(m_check)})
        if (window) window->Enable(on);
}

void CPasswordManagerDlg::SetExistingMode(bool on)
{
    if (m_password) m_password->Enable(!on);
    if (m_confirm) m_confirm->Enable(!on);
    for (wxRadioButton* radio : m_schemes)
        if (radio) radio->Enable(!on);
    if (m_hashed) m_hashed->SetEditable(on);
    if (m_password && !m_password->IsEmpty()) Recompute();
    if (on && m_hashed) {
        m_hashed->SetFocus();
        m_hashed->SelectAll();
    }
}

void CPasswordManagerDlg::OnCheck()
{
    const int scheme = GetCurrentScheme();
    if (scheme == kSchemeNone || scheme == kSchemePrivate) {
        // The program's check message box, through the dialogs the nodes use.
        std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
        const int answer =
            dialogs ? dialogs->ShowCheckMessageBox(LoadResourceText(kStrUnknownScheme), std::wstring(), 0,
                                                   kMbYesNo | kMbIconExclamation)
                    : ShowCheckMessageBox(LoadResourceText(kStrUnknownScheme), std::wstring(),
                                          kMbYesNo | kMbIconExclamation, 0, this);
        if (answer != platform::kIdYes) return;
    }
    CPasswordCheckDlg check(*this, this);
    check.ShowModal();
}

void CPasswordManagerDlg::OnOk()
{
    const bool existing = m_existing && m_existing->GetValue();
    const bool hash = m_hash && m_hash->GetValue();
    if (m_password && m_confirm && m_password->GetValue() != m_confirm->GetValue() && !existing) {
        platform::ShowMessageBox(LoadResourceText(kStrConfirmDiffers), platform::kMbOk | kMbIconExclamation);
        m_password->ChangeValue(wxString());
        m_confirm->ChangeValue(wxString());
        Recompute();
        m_password->SetFocus();
        return;
    }
    if (hash && GetPasswordScheme(GetHashedValue()) == kSchemeNone) {
        platform::ShowMessageBox(LoadResourceText(kStrNoScheme) + LoadResourceText(kStrNoSchemeHelp),
                                 platform::kMbOk | platform::kMbIconError);
        if (m_hashed) {
            m_hashed->SetFocus();
            m_hashed->SelectAll();
        }
        return;
    }
    m_result = hash ? GetHashedValue() : (m_password ? m_password->GetValue().ToStdWstring() : std::wstring());
    EndModal(wxID_OK);
}

void CPasswordManagerDlg::OnContextMenu(wxContextMenuEvent&) {}
