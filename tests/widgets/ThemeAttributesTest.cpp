#include <gtest/gtest.h>

#include <wx/frame.h>

#include "tests/support/gui/UiTestSupport.h"
#include "widgets/LazyTreeCtrl.h"
#include "widgets/ThemeAttributes.h"

namespace {

// The theme's attributes are asked for once, and again after Forget (a
// change of the system's colours): a window must not keep an old theme.
TEST(ThemeAttributes, AsksOnceUntilForgotten)
{
    ThemeAttributes theme;
    int asked = 0;
    auto ask = [&] {
        ++asked;
        wxVisualAttributes attributes;
        attributes.colFg = asked == 1 ? *wxBLACK : *wxWHITE;
        return attributes;
    };
    EXPECT_EQ(theme.Get(ask).colFg, *wxBLACK);
    EXPECT_EQ(theme.Get(ask).colFg, *wxBLACK);
    EXPECT_EQ(asked, 1);
    theme.Forget();
    EXPECT_EQ(theme.Get(ask).colFg, *wxWHITE);
    EXPECT_EQ(asked, 2);
}

// The tree gives the toolkit's own defaults, before and after a change of
// the system's colours.
TEST(ThemeAttributes, TheTreeGivesTheToolkitsDefaults)
{
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "theme");
    auto* tree = new ui::LazyTreeCtrl(frame);
    frame->Show();
    uitest::RunFor(30);
    auto expectToolkits = [&] {
        const wxVisualAttributes own = tree->GetDefaultAttributes();
        const wxVisualAttributes toolkit = tree->wxTreeCtrlBase::GetDefaultAttributes();
        EXPECT_EQ(own.font, toolkit.font);
        EXPECT_EQ(own.colFg, toolkit.colFg);
        EXPECT_EQ(own.colBg, toolkit.colBg);
        EXPECT_EQ(tree->GetFont(), toolkit.font);
    };
    expectToolkits();
    wxSysColourChangedEvent changed;
    changed.SetEventObject(tree);
    tree->GetEventHandler()->ProcessEvent(changed);
    expectToolkits();
    frame->Destroy();
    uitest::RunFor(20);
}

} // namespace
