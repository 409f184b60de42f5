#include "widgets/DataExchange.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include "base/Utf8.h"
#include "dialogcore/ControlOid.h"
#include "model/ports/ResourceText.h"
#include "platform/ShellPorts.h"

namespace {
constexpr unsigned kStrAllowedChars = 702;
constexpr uint32_t kMbIconExclamation = 0x30;
}

wxWindow* CDataExchange::PrepareCtrl(int id)
{
    m_lastControl = m_pDlgWnd ? m_pDlgWnd->FindWindow(id) : nullptr;
    return m_lastControl;
}

void CDataExchange::Fail()
{
    m_failed = true;
    if (m_lastControl) {
        m_lastControl->SetFocus();
        if (auto* text = dynamic_cast<wxTextCtrl*>(m_lastControl)) text->SelectAll();
    }
}

void DDX_TextUtf8(CDataExchange* pDX, int id, std::string& value)
{
    auto* text = dynamic_cast<wxTextCtrl*>(pDX->PrepareCtrl(id));
    if (!text) return;
    if (pDX->m_bSaveAndValidate)
        WideToUtf8String(text->GetValue().wc_str(), value);
    else
        text->ChangeValue(wxString(Utf8ToWideString(value)));
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    auto* check = dynamic_cast<wxCheckBox*>(pDX->PrepareCtrl(id));
    if (!check) return;
    if (pDX->m_bSaveAndValidate)
        value = check->GetValue() ? 1 : 0;
    else
        check->SetValue(value != 0);
}

void DDV_AllowedChars(CDataExchange* pDX, const std::string& value, const std::string& allowed)
{
    if (!pDX->m_bSaveAndValidate || pDX->Failed()) return;
    if (dialogcore::FindDisallowedChar(value, allowed) == std::string::npos) return;
    platform::ShowMessageBox(LoadResourceText(kStrAllowedChars) + Utf8ToWideString(allowed),
                             platform::kMbOk | kMbIconExclamation);
    pDX->Fail();
}
