#include "dialogs/CBinFileDialog.h"

#include <wx/checkbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include "platform/ShellPorts.h"
#include "widgets/UiResources.h"

namespace {

constexpr uint32_t kMbIconExclamation = 0x30;

wxString Text(unsigned id)
{
    return ui::ResourceString(id);
}

template <class T>
T* PanelControl(const wxFileDialog& dialog, int id)
{
    wxWindow* panel = dialog.GetExtraControl();
    return panel ? dynamic_cast<T*>(panel->FindWindow(id)) : nullptr;
}

} // namespace

CBinFileDialog::CBinFileDialog(wxWindow* parent, int format, const wxString& wildcard)
    : wxFileDialog(parent, Text(kStrBinFileLoadTitle), wxString(), wxString(), wildcard,
                   wxFD_OPEN | wxFD_FILE_MUST_EXIST),
      m_form(binfile::Form::Load),
      m_format(format)
{
    SetUp();
}

CBinFileDialog::CBinFileDialog(wxWindow* parent, int format, const wxString& fileName, const wxString& wildcard,
                               int filterIndex)
    : wxFileDialog(parent, Text(kStrBinFileSaveTitle), wxString(), fileName, wildcard,
                   wxFD_SAVE | wxFD_OVERWRITE_PROMPT),
      m_form(binfile::Form::Save),
      m_format(format)
{
    SetFilterIndex(filterIndex);
    SetUp();
}

CBinFileDialog::~CBinFileDialog() = default;

void CBinFileDialog::SetUp()
{
    SetExtraControlCreator(&CBinFileDialog::CreatePanel);
    // Before the dialog's own handler of its accept button.
    Bind(wxEVT_BUTTON, &CBinFileDialog::OnOk, this, wxID_OK);
}

wxWindow* CBinFileDialog::CreatePanel(wxWindow* parent)
{
    auto* dialog = dynamic_cast<CBinFileDialog*>(parent);
    auto* panel = new wxPanel();
    const unsigned id = dialog && dialog->m_form == binfile::Form::Save ? kDlgBinFileSavePanel : kDlgBinFileLoadPanel;
    if (!ui::LoadPanelResource(panel, parent, id))
        panel->Create(parent, wxID_ANY);
    if (dialog)
        dialog->InitPanel(panel);
    return panel;
}

void CBinFileDialog::InitPanel(wxWindow* panel)
{
    // Not the extra control yet: the dialog takes it when this returns.
    m_panel = panel;
    auto find = [panel](int id) { return panel->FindWindow(id); };
    if (auto* spin = dynamic_cast<wxSpinButton*>(find(kIdcBinFileSpin))) {
        spin->SetRange(binfile::kMinLimit, binfile::kMaxLimit);
        spin->SetValue(m_limit);
        spin->Bind(wxEVT_SPIN, &CBinFileDialog::OnSpin, this);
    }
    if (auto* edit = dynamic_cast<wxTextCtrl*>(find(kIdcBinFileLimit))) {
        edit->ChangeValue(wxString::Format("%d", m_limit));
        edit->Bind(wxEVT_TEXT, &CBinFileDialog::OnLimitText, this);
    }
    if (auto* check = dynamic_cast<wxCheckBox*>(find(kIdcBinFileLimitOn))) {
        check->SetValue(m_checked);
        check->Bind(wxEVT_CHECKBOX, &CBinFileDialog::OnLimitCheck, this);
    }
    auto* raw = dynamic_cast<wxRadioButton*>(find(kIdcBinFileRaw));
    auto* base64 = dynamic_cast<wxRadioButton*>(find(kIdcBinFileBase64));
    if (raw && base64) {
        raw->SetValue(m_format == binfile::kRawBytes);
        base64->SetValue(m_format == binfile::kBase64Text);
        raw->Bind(wxEVT_RADIOBUTTON, &CBinFileDialog::OnFormat, this);
        base64->Bind(wxEVT_RADIOBUTTON, &CBinFileDialog::OnFormat, this);
    }
    UpdateLimitControls();
}

wxRadioButton* CBinFileDialog::RawButton() const
{
    return PanelControl<wxRadioButton>(*this, kIdcBinFileRaw);
}

wxRadioButton* CBinFileDialog::Base64Button() const
{
    return PanelControl<wxRadioButton>(*this, kIdcBinFileBase64);
}

wxCheckBox* CBinFileDialog::LimitCheck() const
{
    return PanelControl<wxCheckBox>(*this, kIdcBinFileLimitOn);
}

wxTextCtrl* CBinFileDialog::LimitEdit() const
{
    return PanelControl<wxTextCtrl>(*this, kIdcBinFileLimit);
}

wxSpinButton* CBinFileDialog::LimitSpin() const
{
    return PanelControl<wxSpinButton>(*this, kIdcBinFileSpin);
}

bool CBinFileDialog::IsLimitOn() const
{
    return binfile::IsLimitOn(m_form, m_format, m_checked);
}

void CBinFileDialog::UpdateLimitControls()
{
    wxWindow* panel = m_panel;
    if (!panel)
        return;
    if (wxWindow* check = panel->FindWindow(kIdcBinFileLimitOn))
        check->Enable(binfile::IsLimitCheckEnabled(m_form, m_format));
    for (int id : {kIdcBinFileLimit, kIdcBinFileSpin})
        if (wxWindow* control = panel->FindWindow(id))
            control->Enable(IsLimitOn());
}

void CBinFileDialog::OnFormat(wxCommandEvent& event)
{
    m_format = event.GetId() == kIdcBinFileBase64 ? binfile::kBase64Text : binfile::kRawBytes;
    UpdateLimitControls();
}

void CBinFileDialog::OnLimitCheck(wxCommandEvent& event)
{
    m_checked = event.IsChecked();
    UpdateLimitControls();
}

void CBinFileDialog::OnLimitText(wxCommandEvent& event)
{
    int limit = 0;
    m_limitValid = binfile::ParseLimit(event.GetString().ToStdWstring(), limit);
    if (m_limitValid) {
        m_limit = limit;
        if (wxSpinButton* spin = LimitSpin())
            spin->SetValue(limit);
    }
}

void CBinFileDialog::OnSpin(wxSpinEvent& event)
{
    m_limit = event.GetPosition();
    m_limitValid = true;
    if (wxTextCtrl* edit = LimitEdit())
        edit->ChangeValue(wxString::Format("%d", m_limit));
}

bool CBinFileDialog::CheckLimit()
{
    if (!IsLimitOn() || m_limitValid)
        return true;
    platform::ShowMessageBox(binfile::LimitRangeMessage(), platform::kMbOk | kMbIconExclamation);
    if (wxTextCtrl* edit = LimitEdit()) {
        edit->SetFocus();
        edit->SelectAll();
    }
    return false;
}

void CBinFileDialog::OnOk(wxCommandEvent& event)
{
    if (CheckLimit())
        event.Skip();
}
