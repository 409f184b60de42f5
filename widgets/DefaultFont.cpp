#include "widgets/DefaultFont.h"

#include <wx/settings.h>
#include <wx/window.h>

wxFont CreateDefaultFont(bool bold)
{
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (bold)
        font.MakeBold();
    return font;
}

void SetFontToChildren(wxWindow* window, const wxFont& font)
{
    if (!window)
        return;
    window->SetFont(font);
    window->Refresh();
    for (wxWindow* child : window->GetChildren()) {
        child->SetFont(font);
        child->Refresh();
    }
}
