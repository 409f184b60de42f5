// The standard dialog font is the desktop's GUI font, bold when asked, and
// goes onto a window and each of its direct children.

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "widgets/DefaultFont.h"

namespace {

TEST(DefaultFontTest, TheDesktopsFontBoldWhenAsked)
{
    const wxFont desktop = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    const wxFont plain = ui::CreateDefaultFont();
    const wxFont bold = ui::CreateDefaultFont(ui::FontWeight::Bold);
    EXPECT_EQ(plain.GetFaceName(), desktop.GetFaceName());
    EXPECT_EQ(plain.GetPointSize(), desktop.GetPointSize());
    EXPECT_EQ(plain.GetWeight(), desktop.GetWeight());
    EXPECT_EQ(bold.GetFaceName(), desktop.GetFaceName());
    EXPECT_EQ(bold.GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_FALSE(bold.GetStyle() == wxFONTSTYLE_ITALIC || bold.GetUnderlined());
}

TEST(DefaultFontTest, OnTheWindowAndItsDirectChildren)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "fonts");
    auto* panel = new wxPanel(frame);
    auto* first = new wxStaticText(panel, wxID_ANY, "first");
    auto* inner = new wxPanel(panel);
    wxFont big = ui::CreateDefaultFont(ui::FontWeight::Bold);
    big.SetPointSize(big.GetPointSize() + 6);
    ui::SetFontToChildren(panel, big);
    EXPECT_EQ(panel->GetFont(), big);
    EXPECT_EQ(first->GetFont(), big);
    EXPECT_EQ(inner->GetFont(), big);
    ui::SetFontToChildren(nullptr, big);
    frame->Destroy();
}

} // namespace
