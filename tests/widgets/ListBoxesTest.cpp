// The extent and icon list boxes in a real window: the horizontal extent
// through adds, deletes and suspended updates, tab stops, the radio-like
// mode driven by the mouse and the space bar, a disabled item's double
// click kept from the parent, and the list drawn.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/imaglist.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include "dialogcore/ExtentListWidths.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CIconListBox.h"

namespace {

class ListBoxesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "list boxes", wxDefaultPosition, wxSize(260, 240));
        auto* column = new wxBoxSizer(wxVERTICAL);
        extent = new CExtentListBox(frame, wxID_ANY);
        icons = new CIconListBox(frame, wxID_ANY);
        column->Add(extent, 1, wxEXPAND | wxALL, 4);
        column->Add(icons, 2, wxEXPAND | wxALL, 4);
        frame->SetSizer(column);
        frame->Show();
        uitest::RunUntil([&] { return frame->IsShownOnScreen(); }, 5000);
        frame->Layout();
        uitest::RunFor(50);
    }
    void TearDown() override
    {
        frame->Destroy();
        uitest::RunFor(20);
    }
    int Width(const wxString& text) { return ExtentListWidths::ItemWidth(extent->MeasureTextWidth(text)); }
    wxPoint RowCentre(CExtentListBox& list, int row)
    {
        wxRect rect = list.GetItemRect(row);
        return list.ClientToScreen(wxPoint(rect.x + 30, rect.y + rect.height / 2));
    }

    wxFrame* frame = nullptr;
    CExtentListBox* extent = nullptr;
    CIconListBox* icons = nullptr;
};

TEST_F(ListBoxesTest, TheExtentFollowsAddsDeletesAndSuspendedUpdates)
{
    const wxString shortText = "ab";
    const wxString longText = "a rather long line that needs the scroll bar to be read";
    const wxString middle = "a middling line of text";
    struct Step {
        const char* what;
        std::function<void()> act;
        std::function<int()> extentAfter;
        int count;
    } steps[] = {
        {"add short", [&] { extent->AddString(shortText); }, [&] { return Width(shortText); }, 1},
        {"add long", [&] { extent->AddString(longText); }, [&] { return Width(longText); }, 2},
        {"insert middle first", [&] { extent->InsertString(0, middle); }, [&] { return Width(longText); }, 3},
        {"delete long", [&] { extent->DeleteString(2); }, [&] { return Width(middle); }, 2},
        {"suspend, add long", [&] { extent->SuspendExtentUpdates(); extent->AddString(longText); },
         [&] { return Width(middle); }, 3},
        {"resume: no re-measure", [&] { extent->ResumeExtentUpdates(); }, [&] { return Width(middle); }, 3},
        {"full re-measure with margin", [&] { extent->SetExtraMargin(10); extent->RemeasureAll(); },
         [&] { return Width(longText) + 10; }, 3},
        {"delete first", [&] { extent->DeleteString(0); }, [&] { return Width(longText); }, 2},
        {"reset", [&] { extent->ResetContent(); }, [] { return 0; }, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(extent->GetHorizontalExtent(), step.extentAfter());
        EXPECT_EQ(extent->GetCount(), step.count);
    }
    EXPECT_FALSE(extent->DeleteString(0));
    // A long item scrolls sideways: the bar's range is the extent.
    extent->AddString(longText);
    uitest::RunFor(50);
    EXPECT_GT(extent->GetHorizontalExtent(), extent->GetClientSize().GetWidth());
    EXPECT_EQ(extent->GetScrollRange(wxHORIZONTAL), extent->GetHorizontalExtent());
}

TEST_F(ListBoxesTest, TabStopsAreKeptInPixelsAndUsedToMeasure)
{
    auto* tabbed = new CExtentListBox(frame, wxID_ANY, ListTabStops::On);
    tabbed->AddString("a\tb");
    // A list that uses tab stops gets one of 2 dialog units before its first item is measured.
    wxClientDC dc(tabbed);
    dc.SetFont(tabbed->GetFont());
    int average = ExtentListWidths::AverageCharWidth(dc.GetTextExtent(ExtentListWidths::Alphabet()).GetWidth());
    ASSERT_GT(average, 0);
    EXPECT_EQ(tabbed->GetTabStopPixels(), ExtentListWidths::TabStopsToPixels({2}, average));
    ASSERT_TRUE(tabbed->SetTabStops({100}));
    int stop = (100 * average + 2) / 4;
    EXPECT_EQ(tabbed->GetTabStopPixels(), std::vector<int>{stop});
    // Re-measured at once: "a", a jump to the stop, then "b".
    EXPECT_EQ(tabbed->GetHorizontalExtent(), ExtentListWidths::ItemWidth(stop + dc.GetTextExtent("b").GetWidth()));
    tabbed->Destroy();
}

TEST_F(ListBoxesTest, RadioModeChecksTheClickedItemAndADisabledItemsDoubleClickStaysInside)
{
    wxImageList images(16, 16, true);
    wxImage red(16, 16);
    red.SetRGB(wxRect(0, 0, 16, 16), 200, 40, 40);
    images.Add(wxBitmap(red));
    icons->SetImageList(&images);
    icons->SetRadioMode(true);
    for (const char* text : {"First\nits description", "Second\nanother line", "Third (disabled)\nnot to be chosen"}) {
        int row = icons->AddItem(text, 1);
        icons->SetItemImage(row, 0);
        icons->SetItemValue(row, 100 + row);
    }
    icons->EnableItem(2, false);
    EXPECT_EQ(icons->GetItemCheck(0), 0);  // radio-like mode adds unchecked
    EXPECT_EQ(icons->GetItemData(1), 101);
    EXPECT_FALSE(icons->IsItemEnabled(2));
    int doubleClicks = 0;
    frame->Bind(wxEVT_LISTBOX_DCLICK, [&](wxCommandEvent&) { ++doubleClicks; });
    uitest::RunFor(50);

    wxUIActionSimulator mouse;
    auto click = [&](int row) {
        mouse.MouseMove(RowCentre(*icons, row));
        uitest::RunFor(30);
        mouse.MouseClick();
        uitest::RunUntil([&] { return icons->GetSelection() == row; }, 3000);
        uitest::RunFor(50);
    };
    click(0);
    EXPECT_EQ(icons->GetCurrentItem(), 0);
    click(1);
    EXPECT_EQ(icons->GetCurrentItem(), 1);
    EXPECT_EQ(icons->GetItemCheck(0), 0);
    EXPECT_EQ(icons->GetItemCheck(1), 1);
    // A disabled item changes nothing.
    click(2);
    EXPECT_EQ(icons->GetCurrentItem(), 1);
    EXPECT_EQ(icons->GetItemCheck(2), 0);
    // The space bar checks the selected item.
    icons->SetSelection(0);
    icons->SetFocus();
    uitest::RunUntil([&] { return icons->HasFocus(); }, 2000);
    mouse.Char(WXK_SPACE);
    uitest::RunFor(50);
    EXPECT_EQ(icons->GetCurrentItem(), 0);
    EXPECT_EQ(icons->GetItemCheck(1), 0);

    // A double click reaches the frame from an enabled item, never from the disabled one.
    mouse.MouseMove(RowCentre(*icons, 1));
    uitest::RunFor(30);
    mouse.MouseDblClick();
    uitest::RunUntil([&] { return doubleClicks == 1; }, 3000);
    EXPECT_EQ(doubleClicks, 1);
    uitest::RunFor(400);
    mouse.MouseMove(RowCentre(*icons, 2));
    uitest::RunFor(30);
    mouse.MouseDblClick();
    uitest::RunFor(300);
    EXPECT_EQ(doubleClicks, 1);

    // Moves keep the record; a replaced item is checked as asked (0 in radio-like mode).
    ASSERT_EQ(icons->GetCurrentItem(), 1);  // the enabled item double-clicked
    EXPECT_EQ(icons->MoveItemBottom(0), 2);
    EXPECT_EQ(icons->GetItemData(2), 100);
    EXPECT_EQ(icons->GetCurrentItem(), 0);  // it moved up with the others
    EXPECT_EQ(icons->MoveItemTop(0), 0);  // already at the top
    EXPECT_EQ(icons->ReplaceItem(1, "Replaced", 1), 1);
    EXPECT_EQ(icons->GetItemCheck(1), 0);
    icons->SetDrawMode(7);
    EXPECT_EQ(icons->GetDrawMode(), 0);

    icons->MoveItemTop(2);
    icons->EnableItem(2, false);
    icons->SetSelection(1);
    uitest::RunFor(100);
    std::string shot = uitest::Screenshot(*frame, "icon-list-box");
    EXPECT_FALSE(shot.empty());
    icons->SetImageList(nullptr);
}

} // namespace
