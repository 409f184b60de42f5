#include "ui/WxMessageBoxPort.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "shellcore/RememberedAnswers.h"
#include "widgets/DialogOwner.h"

namespace ui {

int WxMessageBoxPort::Show(const std::wstring& text, uint32_t style)
{
    long wxStyle = 0;
    const int set = static_cast<int>(style & kMbTypeMask);
    switch (set) {
    case kSetOkCancel: wxStyle = wxOK | wxCANCEL; break;
    case kSetYesNoCancel: wxStyle = wxYES_NO | wxCANCEL; break;
    case kSetYesNo: wxStyle = wxYES_NO; break;
    default: wxStyle = wxOK; break;
    }
    switch (style & kMbIconMask) {
    case 0x10: wxStyle |= wxICON_ERROR; break;
    case 0x20: wxStyle |= wxICON_QUESTION; break;
    case 0x30: wxStyle |= wxICON_WARNING; break;
    case 0x40: wxStyle |= wxICON_INFORMATION; break;
    default: break;
    }
    if ((style & kMbDefMask) == 0x100 && (set == kSetYesNo || set == kSetYesNoCancel)) wxStyle |= wxNO_DEFAULT;
    wxMessageDialog dialog(DialogOwner(), wxString(text), wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(), wxStyle);
    switch (dialog.ShowModal()) {
    case wxID_OK: return kIdOk;
    case wxID_YES: return kIdYes;
    case wxID_NO: return kIdNo;
    default: return kIdCancel;
    }
}

} // namespace ui
