// Resizable dialogs and sheets in a real display: children follow their
// anchors, the grip drags the corner, the opening size is the minimum, and
// the placement and active page come back from the user's settings.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/notebook.h>
#include <wx/textctrl.h>

#include "dialogcore/WindowPlacementText.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CResizableDialog.h"
#include "widgets/CResizablePage.h"
#include "widgets/CResizableSheet.h"

namespace {

constexpr int kIdList = 1001;
constexpr int kIdText = 1002;
constexpr int kIdCheck = 1003;

// A dialog of 300 x 200 (client) laid out like the schema viewer.
class TestDialog : public CResizableDialog {
public:
    explicit TestDialog(const wchar_t* section = nullptr, bool rectOnly = false)
        : m_section(section), m_rectOnly(rectOnly)
    {
    }

protected:
    bool OnInitDialog() override
    {
        new wxListBox(this, kIdList, wxPoint(10, 10), wxSize(80, 150));
        new wxTextCtrl(this, kIdText, "", wxPoint(100, 10), wxSize(190, 150), wxTE_MULTILINE);
        new wxCheckBox(this, kIdCheck, "by OID", wxPoint(10, 170), wxSize(80, 20));
        new wxButton(this, wxID_CANCEL, "Close", wxPoint(210, 168), wxSize(80, 24));
        CResizableDialog::OnInitDialog();
        AddAnchoredChildren({{kIdCheck, AnchorBottomLeft},
                             {kIdList, AnchorTopLeft, AnchorBottomLeft},
                             {kIdText, AnchorTopLeft, AnchorBottomRight},
                             {wxID_CANCEL, AnchorBottomRight}});
        ShowSizeGrip(true);
        if (m_section) EnableSaveRestore(m_section, m_rectOnly);
        return true;
    }

private:
    const wchar_t* m_section;
    bool m_rectOnly;
};

wxRect RectOf(wxWindow& dialog, int id)
{
    return dialog.FindWindow(id)->GetRect();
}

void CloseAndFlush(wxDialog* dialog)
{
    dialog->Destroy();
    uitest::RunFor(50);
}

class ResizableWindowTest : public testsupport::TempHomeTest {};

TestDialog* OpenSized(const wchar_t* section = nullptr, bool rectOnly = false)
{
    auto* dialog = new TestDialog(section, rectOnly);
    // The client size is fixed before the controls are registered.
    EXPECT_TRUE(dialog->Create(nullptr, wxID_ANY, "Resizable", wxPoint(40, 30), wxSize(300, 200)));
    return dialog;
}

TEST_F(ResizableWindowTest, ChildrenFollowTheirAnchorsAndTheGripTheCorner)
{
    TestDialog* dialog = OpenSized();
    dialog->Show();
    uitest::RunFor(100);
    const wxSize client0 = dialog->GetClientSize();
    const wxRect list0 = RectOf(*dialog, kIdList), text0 = RectOf(*dialog, kIdText);
    const wxRect check0 = RectOf(*dialog, kIdCheck), close0 = RectOf(*dialog, wxID_CANCEL);

    dialog->SetSize(dialog->GetSize() + wxSize(120, 90));
    ASSERT_TRUE(uitest::RunUntil([&] { return dialog->GetClientSize() == client0 + wxSize(120, 90); }, 5000));
    uitest::RunFor(50);
    EXPECT_EQ(RectOf(*dialog, kIdList), wxRect(list0.GetPosition(), list0.GetSize() + wxSize(0, 90)));
    EXPECT_EQ(RectOf(*dialog, kIdText), wxRect(text0.GetPosition(), text0.GetSize() + wxSize(120, 90)));
    EXPECT_EQ(RectOf(*dialog, kIdCheck), wxRect(check0.GetPosition() + wxPoint(0, 90), check0.GetSize()));
    EXPECT_EQ(RectOf(*dialog, wxID_CANCEL), wxRect(close0.GetPosition() + wxPoint(120, 90), close0.GetSize()));
    wxWindow* grip = dialog->GetGripWindow();
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->IsShown());
    EXPECT_EQ(grip->GetRect().GetBottomRight() + wxPoint(1, 1), wxPoint(dialog->GetClientSize().x, dialog->GetClientSize().y));
    uitest::Screenshot(*dialog, "resizable-dialog");
    CloseAndFlush(dialog);
}

TEST_F(ResizableWindowTest, TheGripDragsTheCornerButNotBelowTheOpeningSize)
{
    TestDialog* dialog = OpenSized();
    dialog->Show();
    uitest::RunFor(100);
    const wxSize opening = dialog->GetSize();
    EXPECT_EQ(dialog->GetMinSize(), opening);
    wxWindow* grip = dialog->GetGripWindow();
    const wxPoint corner(grip->GetClientSize().x - 2, grip->GetClientSize().y - 2);

    auto mouse = [&](wxEventType type, wxPoint at, bool down) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetLeftDown(down);
        event.SetEventObject(grip);
        grip->GetEventHandler()->ProcessEvent(event);
    };
    mouse(wxEVT_LEFT_DOWN, corner, true);
    mouse(wxEVT_MOTION, corner + wxPoint(60, 40), true);
    ASSERT_TRUE(uitest::RunUntil([&] { return dialog->GetSize() == opening + wxSize(60, 40); }, 5000))
        << dialog->GetSize().x << "x" << dialog->GetSize().y;
    // Dragged far inwards: the opening size holds.
    mouse(wxEVT_MOTION, corner - wxPoint(200, 150), true);
    uitest::RunFor(100);
    EXPECT_EQ(dialog->GetSize(), opening);
    mouse(wxEVT_LEFT_UP, corner, false);

    // A click outside the triangle is not a drag.
    mouse(wxEVT_LEFT_DOWN, wxPoint(0, 0), true);
    mouse(wxEVT_MOTION, wxPoint(80, 80), true);
    uitest::RunFor(50);
    EXPECT_EQ(dialog->GetSize(), opening);
    mouse(wxEVT_LEFT_UP, wxPoint(80, 80), false);

    // Nor may the program make it smaller.
    dialog->SetSize(100, 80);
    uitest::RunFor(100);
    EXPECT_EQ(dialog->GetSize(), opening);
    CloseAndFlush(dialog);
}

TEST_F(ResizableWindowTest, ADialogOpensAgainWhereItWasClosed)
{
    TestDialog* first = OpenSized(L"TestDlg");
    first->Show();
    uitest::RunFor(100);
    first->SetSize(150, 120, 520, 410);
    ASSERT_TRUE(uitest::RunUntil([&] { return first->GetRect() == wxRect(150, 120, 520, 410); }, 5000));
    uitest::RunFor(50);
    CloseAndFlush(first);
    EXPECT_EQ(ReadWindowPlacementText(L"TestDlg"), L"150,120,670,530,1,0");

    TestDialog* second = OpenSized(L"TestDlg");
    EXPECT_EQ(second->GetRect(), wxRect(150, 120, 520, 410));
    second->Show();
    uitest::RunFor(100);
    EXPECT_EQ(second->GetRect(), wxRect(150, 120, 520, 410));
    // Laid out for the restored size.
    EXPECT_EQ(RectOf(*second, wxID_CANCEL).GetBottomRight() + wxPoint(1, 1),
              wxPoint(second->GetClientSize().x - 10, second->GetClientSize().y - 8));
    CloseAndFlush(second);
}

TEST_F(ResizableWindowTest, StoredPlacementTexts)
{
    struct Case {
        const char* name;
        const wchar_t* text;
        bool rectOnly;
        bool restored;
    };
    const Case cases[] = {
        {"full", L"120,80,620,480,1,0", false, true},
        {"rectangle only", L"120,80,620,480,1,0", true, true},
        {"three numbers", L"120,80,620", false, false},
        {"not numbers", L"left,top", false, false},
        {"an empty rectangle", L"120,80,120,80,1,0", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteWindowPlacementText(L"Stored", c.text));
        TestDialog* dialog = OpenSized(L"Stored", c.rectOnly);
        const wxRect expected = c.restored ? wxRect(120, 80, 500, 400) : wxRect(wxPoint(40, 30), dialog->GetMinSize());
        EXPECT_EQ(dialog->GetRect(), expected);
        CloseAndFlush(dialog);
    }
    // A rectangle smaller than the opening size opens at the opening size.
    ASSERT_TRUE(WriteWindowPlacementText(L"Stored", L"10,10,60,40,1,0"));
    TestDialog* dialog = OpenSized(L"Stored");
    EXPECT_EQ(dialog->GetRect(), wxRect(wxPoint(10, 10), dialog->GetMinSize()));
    CloseAndFlush(dialog);
}

// ---- sheets ----

constexpr int kIdPageText = 1100;

class TestPage : public CResizablePage {
protected:
    bool OnInitDialog() override
    {
        SetSize(260, 180);
        new wxTextCtrl(this, kIdPageText, "", wxPoint(8, 8), wxSize(244, 164), wxTE_MULTILINE);
        CResizablePage::OnInitDialog();
        AddAnchoredChild(kIdPageText, AnchorTopLeft, AnchorBottomRight);
        return true;
    }
};

CResizableSheet* OpenSheet(const wchar_t* section)
{
    auto* sheet = new CResizableSheet;
    EXPECT_TRUE(sheet->Create(nullptr, "Sheet"));
    for (const char* title : {"First", "Second", "Third"}) {
        auto* page = new TestPage;
        EXPECT_TRUE(page->Create(sheet->GetBookCtrl()));
        sheet->AddPage(page, title);
    }
    sheet->EnableSaveRestore(section, false, true);
    return sheet;
}

TEST_F(ResizableWindowTest, ASheetReopensOnItsLastPageAndItsPagesGrowWithIt)
{
    CResizableSheet* first = OpenSheet(L"TestSheet");
    first->Show();
    uitest::RunFor(100);
    EXPECT_EQ(first->GetActiveIndex(), 0);
    const wxSize opening = first->GetSize();
    EXPECT_EQ(first->GetMinSize(), opening);

    ASSERT_TRUE(first->SetActivePage(2));
    wxWindow* page = first->GetBookCtrl()->GetPage(2);
    uitest::RunFor(50);
    const wxSize text0 = page->FindWindow(kIdPageText)->GetSize();
    first->SetSize(first->GetSize() + wxSize(100, 60));
    ASSERT_TRUE(uitest::RunUntil([&] { return page->FindWindow(kIdPageText)->GetSize() == text0 + wxSize(100, 60); },
                                 5000))
        << page->FindWindow(kIdPageText)->GetSize().x;
    wxWindow* ok = first->FindWindow(wxID_OK);
    EXPECT_EQ(ok->GetRect().GetRight() + 1 + 7 + 6 + ok->GetSize().x, first->GetClientSize().x);
    uitest::Screenshot(*first, "resizable-sheet");
    const wxRect closedAt = first->GetRect();
    CloseAndFlush(first);
    EXPECT_EQ(ReadActivePage(L"TestSheet", -1), 2);

    CResizableSheet* second = OpenSheet(L"TestSheet");
    second->Show();
    uitest::RunFor(100);
    EXPECT_EQ(second->GetActiveIndex(), 2);
    EXPECT_EQ(second->GetRect(), closedAt);
    CloseAndFlush(second);

    // A page the sheet does not have leaves it on its first page.
    ASSERT_TRUE(WriteActivePage(L"TestSheet", 9));
    CResizableSheet* third = OpenSheet(L"TestSheet");
    third->Show();
    uitest::RunFor(50);
    EXPECT_EQ(third->GetActiveIndex(), 0);
    CloseAndFlush(third);
    EXPECT_EQ(ReadActivePage(L"TestSheet", -1), 0);
}

} // namespace
