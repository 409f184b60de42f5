#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/accel.h>
#include <wx/bmpbuttn.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CEditListBoxEx.h"

namespace {

// Records what reaches the hooks and lets the list do its own work.
class RecordingList : public CEditListBoxEx {
public:
    std::vector<size_t> clicked;
    std::vector<int> opened;
    std::vector<std::string> renamed;
    int selectionChanges = 0;
    std::string refuse;  // a name a rename may not take

protected:
    void OnClickButton(size_t index) override
    {
        clicked.push_back(index);
        CEditListBoxEx::OnClickButton(index);
    }
    void OnEditItem(int index) override
    {
        opened.push_back(index);
        CEditListBoxEx::OnEditItem(index);
    }
    bool OnEndEditLabel(int, const wxString& text) override
    {
        renamed.push_back(text.utf8_string());
        return text.utf8_string() != refuse;
    }
    void OnSelectionChanged() override { ++selectionChanges; }
};

wxBitmap Icon(const wxColour& colour)
{
    wxImage image(CEditListBoxEx::kIconWidth, CEditListBoxEx::kIconHeight);
    image.SetRGB(wxRect(0, 0, image.GetWidth(), image.GetHeight()), colour.Red(), colour.Green(), colour.Blue());
    return wxBitmap(image);
}

class EditListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "edit list", wxDefaultPosition, wxSize(320, 260));
        list = new RecordingList();
        ASSERT_TRUE(list->Create(frame, wxID_ANY, "Names"));
        const struct {
            const char* tooltip;
            int key, flags, command;
        } buttons[] = {
            {"New", WXK_INSERT, 0, CEditListBoxEx::kCmdNew},
            {"Rename", WXK_F2, 0, CEditListBoxEx::kCmdRename},
            {"Delete", WXK_DELETE, 0, CEditListBoxEx::kCmdDelete},
            {"Move Up", WXK_UP, wxACCEL_ALT, CEditListBoxEx::kCmdMoveUp},
            {"Move Down", WXK_DOWN, wxACCEL_ALT, CEditListBoxEx::kCmdMoveDown},
            {"Nothing", 0, 0, 0},
        };
        for (const auto& b : buttons)
            ASSERT_TRUE(list->AddButton(Icon(*wxBLUE), b.tooltip, b.key, b.flags, b.command));
        for (const char* name : {"alpha", "beta", "gamma"})
            list->AddItem(name, &data[list->GetCount()]);
        frame->Show();
        uitest::RunFor(100);
    }
    void TearDown() override
    {
        frame->Destroy();
        uitest::RunFor(20);
    }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list->GetCount(); ++i)
            rows.push_back(list->GetItemText(i).utf8_string());
        return rows;
    }
    // The data of each row, as the index into data.
    std::vector<int> RowData() const
    {
        std::vector<int> rows;
        for (int i = 0; i < list->GetCount(); ++i)
            rows.push_back(list->GetItemData(i) ? static_cast<const int*>(list->GetItemData(i)) - data : -1);
        return rows;
    }
    // The key, pressed in the list, or in the rename's editor while it is open.
    void Press(int key, int modifiers = wxMOD_NONE)
    {
        wxWindow* target = list->GetListCtrl()->GetEditControl();
        if (!target)
            target = list->GetListCtrl();
        target->SetFocus();
        ASSERT_TRUE(uitest::RunUntil([&] { return target->HasFocus(); }, 2000));
        wxUIActionSimulator keys;
        keys.Char(key, modifiers);
        uitest::RunFor(100);
    }

    wxFrame* frame = nullptr;
    RecordingList* list = nullptr;
    int data[8] = {};
};

TEST(EditListBox, AButtonAddedBeforeTheWindowExistsIsRefused)
{
    CEditListBoxEx list;
    EXPECT_FALSE(list.AddButton(Icon(*wxRED), "New", WXK_INSERT, 0, CEditListBoxEx::kCmdNew));
    EXPECT_EQ(list.GetButtonCount(), 0u);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(EditListBoxTest, TooltipsNameTheKeysAndTheButtonsKeepTheirKeysAndCommands)
{
    const struct {
        const char* tooltip;
        uint32_t accelerator;
        int command;
    } expected[] = {
        {"New (Insert)", WXK_INSERT, CEditListBoxEx::kCmdNew},
        {"Rename (F2)", WXK_F2, CEditListBoxEx::kCmdRename},
        {"Delete (Delete)", WXK_DELETE, CEditListBoxEx::kCmdDelete},
        {"Move Up (Alt+Up)", (uint32_t(wxACCEL_ALT) << 16) | WXK_UP, CEditListBoxEx::kCmdMoveUp},
        {"Move Down (Alt+Down)", (uint32_t(wxACCEL_ALT) << 16) | WXK_DOWN, CEditListBoxEx::kCmdMoveDown},
        {"Nothing", 0, 0},
    };
    ASSERT_EQ(list->GetButtonCount(), std::size(expected));
    for (size_t i = 0; i < list->GetButtonCount(); ++i) {
        wxBitmapButton* button = list->GetButton(i);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetToolTipText().utf8_string(), expected[i].tooltip);
        EXPECT_EQ(list->GetButtonAccelerator(i), expected[i].accelerator) << i;
        EXPECT_EQ(list->GetButtonCommand(i), expected[i].command) << i;
        EXPECT_EQ(button->GetId(), static_cast<int>(i + 2));
        // The icon decides the size: a small button beside the caption.
        EXPECT_LE(button->GetSize().y, 40) << i;
    }
    EXPECT_EQ(CEditListBoxEx::AcceleratorName('A', wxACCEL_CTRL | wxACCEL_SHIFT), "Ctrl+Shift+A");
    EXPECT_EQ(CEditListBoxEx::AcceleratorName(WXK_F12, 0), "F12");
    uitest::Screenshot(*frame, "edit-list-box");
}

TEST_F(EditListBoxTest, TheKeysDoTheButtonsWork)
{
    list->SelectItem(0);
    Press(WXK_DOWN, wxMOD_ALT);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "alpha", "gamma"}));
    EXPECT_EQ(RowData(), (std::vector<int>{1, 0, 2})) << "the data moves with its row";
    EXPECT_EQ(list->GetSelItem(), 1);
    Press(WXK_DOWN, wxMOD_ALT);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "gamma", "alpha"}));
    Press(WXK_DOWN, wxMOD_ALT);  // the last row stays above the new-item row
    EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "gamma", "alpha"}));
    Press(WXK_UP, wxMOD_ALT);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "alpha", "gamma"}));
    EXPECT_EQ(RowData(), (std::vector<int>{1, 0, 2}));
    Press(WXK_DELETE);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "gamma"}));
    EXPECT_EQ(list->GetSelItem(), 1);
    EXPECT_EQ(list->clicked, (std::vector<size_t>{4, 4, 4, 3, 2}));
    // A plain arrow key only moves the selection.
    Press(WXK_UP);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"beta", "gamma"}));
    EXPECT_EQ(list->GetSelItem(), 0);
    EXPECT_GT(list->selectionChanges, 0);

    // A click on a button does the same as its key.
    wxCommandEvent click(wxEVT_BUTTON, list->GetButton(4)->GetId());
    click.SetEventObject(list->GetButton(4));
    list->GetButton(4)->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"gamma", "beta"}));
}

TEST_F(EditListBoxTest, RenamingInPlaceAndTheNewItemRow)
{
    ASSERT_EQ(list->GetListCtrl()->GetItemCount(), 4) << "three rows and the empty row for a new item";
    EXPECT_EQ(list->GetListCtrl()->GetItemText(3), "");

    // F2 renames the selected row; a refused name keeps the old one.
    list->refuse = "taken";
    list->SelectItem(1);
    Press(WXK_F2);
    wxTextCtrl* editor = list->GetListCtrl()->GetEditControl();
    ASSERT_NE(editor, nullptr);
    editor->SetValue("taken");
    Press(WXK_RETURN);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
    list->BeginRename(1);
    editor = list->GetListCtrl()->GetEditControl();
    ASSERT_NE(editor, nullptr);
    editor->SetValue("bravo");
    Press(WXK_RETURN);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "bravo", "gamma"}));
    EXPECT_EQ(list->renamed, (std::vector<std::string>{"taken", "bravo"}));

    // Insert names a new row on the empty last row; another empty row follows.
    Press(WXK_INSERT);
    editor = list->GetListCtrl()->GetEditControl();
    ASSERT_NE(editor, nullptr);
    editor->SetValue("delta");
    Press(WXK_RETURN);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alpha", "bravo", "gamma", "delta"}));
    EXPECT_EQ(list->GetItemData(3), nullptr);
    EXPECT_EQ(list->GetListCtrl()->GetItemCount(), 5);
    EXPECT_EQ(list->GetListCtrl()->GetItemText(4), "");

    // Opening the empty row starts a new item too; left empty, nothing is added.
    list->SelectItem(list->GetNewItemRow());
    Press(WXK_RETURN);
    EXPECT_EQ(list->opened.back(), list->GetNewItemRow());
    editor = list->GetListCtrl()->GetEditControl();
    ASSERT_NE(editor, nullptr);
    Press(WXK_RETURN);
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_EQ(list->GetListCtrl()->GetItemCount(), 5);
}

} // namespace
