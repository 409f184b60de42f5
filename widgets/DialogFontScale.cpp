#include "widgets/DialogFontScale.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/dcscreen.h>
#include <wx/settings.h>
#include <wx/window.h>

int GuiFontLetterWidth()
{
    wxScreenDC dc;
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    const int width = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").x;
    return width > 0 ? (width / 26 + 1) / 2 : kDialogFontLetterWidth;
}

int ScaleFromDialogFont(int pixels)
{
    const int letter = GuiFontLetterWidth();
    return (pixels * letter + kDialogFontLetterWidth / 2) / kDialogFontLetterWidth;
}

int WidestText(wxWindow& window, const std::vector<wxString>& texts)
{
    wxClientDC dc(&window);
    dc.SetFont(window.GetFont());
    int widest = 0;
    for (const wxString& text : texts)
        widest = std::max(widest, dc.GetTextExtent(text).x);
    return widest;
}
