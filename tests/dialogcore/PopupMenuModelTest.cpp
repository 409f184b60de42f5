#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogcore/CPopupMenuModel.h"

namespace {

using Kind = PopupMenuEntry::Kind;
using Key = PopupMenuKey;
using Action = PopupMenuAction;

// 0 Refresh, 1 the filter box, 2 separator, 3 Copy, 4 Cut (disabled),
// 5 Cancel (shares C with Copy), 6 Properties.
std::vector<PopupMenuEntry> Entries(bool filterEnabled = true)
{
    return {
        {1, L"&Refresh", true, Kind::Command},     {2, L"&Filter:", filterEnabled, Kind::EditBox},
        {0, L"", true, Kind::Separator},           {3, L"&Copy\tCtrl+C", true, Kind::Command},
        {4, L"Cu&t", false, Kind::Command},        {5, L"&Cancel", true, Kind::Command},
        {6, L"&Properties", true, Kind::Command},
    };
}

TEST(PopupMenuModel, AccessLetters)
{
    struct Case {
        const wchar_t* text;
        wchar_t letter;
    } cases[] = {
        {L"&Refresh", L'R'},   {L"Cu&t", L'T'},        {L"Save && &quit", L'Q'}, {L"No letter", 0},
        {L"&&only", 0},        {L"trailing&", 0},      {L"Copy\t&C", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPopupMenuModel::AccessLetter(c.text), c.letter) << testing::PrintToString(std::wstring(c.text));
}

// Each row: keys pressed from a fresh menu, then the last action and the
// highlighted item.
TEST(PopupMenuModel, KeysOutsideEditing)
{
    struct Case {
        const char* what;
        std::vector<std::pair<Key, wchar_t>> keys;
        Action last;
        int highlighted;
    } cases[] = {
        {"Down highlights the first", {{Key::Down, 0}}, Action::Highlight, 0},
        {"Up wraps to the last", {{Key::Up, 0}}, Action::Highlight, 6},
        {"separator skipped", {{Key::Down, 0}, {Key::Down, 0}, {Key::Down, 0}}, Action::Highlight, 3},
        {"disabled skipped", {{Key::Home, 0}, {Key::Down, 0}, {Key::Down, 0}, {Key::Down, 0}}, Action::Highlight, 5},
        {"Down wraps to the first", {{Key::End, 0}, {Key::Down, 0}}, Action::Highlight, 0},
        {"Enter without highlight", {{Key::Enter, 0}}, Action::None, -1},
        {"Enter runs", {{Key::Home, 0}, {Key::Enter, 0}}, Action::Run, 0},
        {"Enter on the edit box edits", {{Key::Home, 0}, {Key::Down, 0}, {Key::Enter, 0}}, Action::StartEdit, 1},
        {"letter runs its only item", {{Key::Character, L'r'}}, Action::Run, 0},
        {"letter of the edit box edits", {{Key::Character, L'f'}}, Action::StartEdit, 1},
        {"shared letter walks", {{Key::Character, L'c'}}, Action::Highlight, 3},
        {"shared letter walks on", {{Key::Character, L'c'}, {Key::Character, L'C'}}, Action::Highlight, 5},
        {"shared letter wraps", {{Key::Character, L'c'}, {Key::Character, L'c'}, {Key::Character, L'c'}},
         Action::Highlight, 3},
        {"disabled item's letter", {{Key::Character, L't'}}, Action::None, -1},
        {"unknown letter", {{Key::Character, L'z'}}, Action::None, -1},
        {"Alt does nothing", {{Key::Alt, 0}}, Action::None, -1},
        {"Escape closes", {{Key::Down, 0}, {Key::Escape, 0}}, Action::Close, 0},
    };
    for (const Case& c : cases) {
        CPopupMenuModel model(Entries());
        Action last = Action::None;
        for (auto [key, character] : c.keys)
            last = model.OnKey(key, character);
        EXPECT_EQ(last, c.last) << c.what;
        EXPECT_EQ(model.GetHighlighted(), c.highlighted) << c.what;
    }
}

TEST(PopupMenuModel, EditingKeepsTheKeysUntilEnterOrEscape)
{
    CPopupMenuModel model(Entries());
    ASSERT_EQ(model.OnKey(Key::Character, L'f'), Action::StartEdit);
    EXPECT_TRUE(model.IsEditing());
    // Letters (Copy's too), arrows and the rest belong to the field; Alt is swallowed.
    EXPECT_EQ(model.OnKey(Key::Character, L'c'), Action::PassToEdit);
    EXPECT_EQ(model.OnKey(Key::Down), Action::PassToEdit);
    EXPECT_EQ(model.OnKey(Key::Other), Action::PassToEdit);
    EXPECT_EQ(model.OnKey(Key::Alt), Action::None);
    // The pointer moves nothing and clicks run nothing while editing.
    EXPECT_FALSE(model.Highlight(6));
    EXPECT_EQ(model.OnClick(6), Action::None);
    EXPECT_EQ(model.GetHighlighted(), 1);
    // Escape: back to the menu, which goes on as before.
    EXPECT_EQ(model.OnKey(Key::Escape), Action::CancelEdit);
    EXPECT_FALSE(model.IsEditing());
    EXPECT_EQ(model.OnKey(Key::Down), Action::Highlight);
    EXPECT_EQ(model.GetHighlighted(), 3);
    // A click on the edit box edits again; Enter takes the text.
    EXPECT_EQ(model.OnClick(1), Action::StartEdit);
    EXPECT_EQ(model.OnKey(Key::Enter), Action::TakeEdit);
    EXPECT_FALSE(model.IsEditing());
}

TEST(PopupMenuModel, ADisabledEditBoxOrItemNeverActs)
{
    CPopupMenuModel model(Entries(false));
    EXPECT_EQ(model.OnClick(1), Action::None);
    EXPECT_EQ(model.OnKey(Key::Character, L'f'), Action::None);
    EXPECT_FALSE(model.Highlight(1));
    EXPECT_EQ(model.OnKey(Key::Home), Action::Highlight);
    EXPECT_EQ(model.OnKey(Key::Down), Action::Highlight);
    EXPECT_EQ(model.GetHighlighted(), 3) << "the disabled box and the separator are passed";
    EXPECT_FALSE(model.IsEditing());
    EXPECT_EQ(model.OnClick(4), Action::None);
    EXPECT_EQ(model.OnClick(2), Action::None);
    EXPECT_EQ(model.OnClick(-1), Action::None);
    EXPECT_EQ(model.OnClick(6), Action::Run);
}

TEST(PopupMenuModel, TheFilterItemBecomesAnEditBox)
{
    std::vector<PopupMenuEntry> entries = Entries();
    entries[1] = {2, L"(objectClass=*)", true, Kind::Command};
    CPopupMenuModel model(entries);
    EXPECT_EQ(model.OnKey(Key::Home), Action::Highlight);
    EXPECT_EQ(model.OnKey(Key::Down), Action::Highlight);
    ASSERT_TRUE(model.MakeEditBox(2, L"Filter:"));
    EXPECT_FALSE(model.MakeEditBox(42, L"Filter:"));
    EXPECT_EQ(model.Entries()[1].text, L"Filter:");
    EXPECT_EQ(model.OnKey(Key::Enter), Action::StartEdit);
    // A menu without items does nothing.
    CPopupMenuModel empty({});
    EXPECT_EQ(empty.OnKey(Key::Down), Action::None);
    EXPECT_EQ(empty.OnKey(Key::Enter), Action::None);
}

} // namespace
