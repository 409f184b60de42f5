#include "widgets/CHtmlCtrl.h"

#include <wx/sizer.h>

#include "platform/DesktopLauncher.h"

namespace {

bool HasScheme(const wxString& href, const char* scheme)
{
    const wxString prefix = wxString(scheme) + ":";
    return href.Length() >= prefix.Length() && href.Left(prefix.Length()).IsSameAs(prefix, false);
}

} // namespace

bool CHtmlCtrl::CreateFromStatic(int id, wxWindow* parent)
{
    wxWindow* placeholder = parent ? parent->FindWindow(id) : nullptr;
    if (!placeholder || placeholder == this) return false;
    const wxRect rect = placeholder->GetRect();
    wxSizer* sizer = placeholder->GetContainingSizer();
    if (!Create(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(), wxHW_SCROLLBAR_NEVER | wxBORDER_NONE)) {
        placeholder->Destroy();
        return false;
    }
    if (sizer) sizer->Replace(placeholder, this);
    placeholder->Destroy();
    SetId(id);
    SetMinSize(rect.GetSize());
    SetBorders(4);
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    Bind(wxEVT_RIGHT_DOWN, [](wxMouseEvent&) {});
    Bind(wxEVT_RIGHT_UP, [](wxMouseEvent&) {});
    return true;
}

bool CHtmlCtrl::SetHtmlText(const wxString& text)
{
    if (!GetHandle()) return false;
    return SetPage(text);
}

void CHtmlCtrl::OnAppCommand(const wxString&) {}

void CHtmlCtrl::FollowLink(const wxString& href)
{
    if (HasScheme(href, "app")) {
        OnAppCommand(href.Mid(4));
        return;
    }
    if (!HasScheme(href, "http") && !HasScheme(href, "https") && !HasScheme(href, "mailto")) return;
    if (std::shared_ptr<platform::DesktopLauncher> launcher = platform::GetDesktopLauncher())
        launcher->OpenUrl(href.utf8_string());
}

void CHtmlCtrl::OnLinkClicked(const wxHtmlLinkInfo& link)
{
    FollowLink(link.GetHref());
}

wxHtmlOpeningStatus CHtmlCtrl::OnOpeningURL(wxHtmlURLType, const wxString&, wxString*) const
{
    // Only the text handed over is shown: nothing is fetched, from the net
    // or from files.
    return wxHTML_BLOCK;
}
