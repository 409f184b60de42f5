#include "widgets/DefaultFont.h"

#include <wx/settings.h>
#include <wx/window.h>

namespace ui {

wxFont CreateDefaultFont(FontWeight weight)
{
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetWeight(weight == FontWeight::Bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
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

} // namespace ui
