#include "dialogs/NodePageControls.h"

#include <wx/artprov.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "widgets/UiResources.h"

namespace {

// The error node's icon; every other missing one is shown as information.
bool IsErrorIcon(unsigned iconId)
{
    return iconId == 274;
}

} // namespace

void SetPageText(wxWindow& page, int id, const std::wstring& text)
{
    if (auto* edit = dynamic_cast<wxTextCtrl*>(page.FindWindow(id)))
        edit->ChangeValue(wxString(text));
}

void SetPageIcon(wxWindow& page, int id, unsigned iconId)
{
    auto* icon = dynamic_cast<wxStaticBitmap*>(page.FindWindow(id));
    if (!icon)
        return;
    wxBitmap bitmap = ui::LoadBitmapResource("icon", iconId);
    if (!bitmap.IsOk())
        bitmap = wxArtProvider::GetBitmap(IsErrorIcon(iconId) ? wxART_ERROR : wxART_INFORMATION, wxART_MESSAGE_BOX,
                                          wxSize(32, 32));
    icon->SetBitmap(bitmap);
}
