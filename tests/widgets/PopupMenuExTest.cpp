// The context menu with its edit box, driven through the real keyboard and
// pointer (XTest) on a display with or without a window manager: keys,
// access letters, clicks, editing, Escape, Alt, a disabled edit box, a
// click outside, and what it looks like.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "shellcore/CRecentItemsList.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CBCGPopupMenuEx.h"
#include "widgets/CMenuEditBoxButton.h"
#include "widgets/WxCommandIds.h"

namespace {

// The commands as the toolkit's ids.
constexpr int kRefresh = ui::WxId(32832);
constexpr uint32_t kFilterCommand = 32922;
constexpr int kFilter = ui::WxId(kFilterCommand);
constexpr int kCopy = ui::WxId(57634);
constexpr int kCut = ui::WxId(57635);
constexpr int kProperties = ui::WxId(32842);
const wchar_t* const kRecentKey = L"Software\\Vellumar\\Arbolite\\Settings\\RecentItems\\Filters\\";

// Items: 0 Refresh, 1 the filter, 2 separator, 3 Copy, 4 Cut (disabled), 5 Properties.
std::unique_ptr<wxMenu> MakeMenu(bool filterEnabled)
{
    auto menu = std::make_unique<wxMenu>();
    menu->Append(kRefresh, "&Refresh");
    menu->Append(kFilter, "(objectClass=*)")->Enable(filterEnabled);
    menu->AppendSeparator();
    menu->Append(kCopy, "&Copy");
    menu->Append(kCut, "Cu&t")->Enable(false);
    menu->Append(kProperties, "&Properties");
    return menu;
}

class PopupMenuExTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_frame = new wxFrame(nullptr, wxID_ANY, "owner", wxPoint(40, 40), wxSize(600, 500));
        m_outside = new wxButton(m_frame, wxID_ANY, "outside", wxPoint(450, 400), wxSize(100, 40));
        m_outside->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ++m_outsidePressed; });
        m_frame->Show();
        m_frame->Raise();
        uitest::RunUntil([&] { return m_frame->IsShownOnScreen(); }, 5000);
        uitest::SyncWithDisplay();
        uitest::RunFor(200);
    }

    void TearDown() override
    {
        m_frame->Destroy();
        uitest::RunFor(50);
        TempHomeTest::TearDown();
    }

    // The menu with its filter item as an edit box labelled "&Filter:".
    CBCGPopupMenuEx::Ptr MakePopup(bool filterEnabled)
    {
        std::unique_ptr<wxMenu> menu = MakeMenu(filterEnabled);
        CBCGPopupMenuEx::Ptr popup = CBCGPopupMenuEx::Create(m_frame, *menu);
        auto box = std::make_unique<CMenuEditBoxButton>(
            kFilterCommand, L"&Filter:", L"(objectClass=*)",
            [this](uint32_t command, const std::wstring& text) { m_taken.push_back({command, text}); }, 0);
        box->SetRecentItemsKey(kRecentKey);
        EXPECT_TRUE(popup->ReplaceWithEditBox(std::move(box)));
        return popup;
    }

    // Shows the popup at (20, 20) of the owner, runs the script once it has
    // the keyboard, and gives what the menu chose.
    int Run(CBCGPopupMenuEx& popup, const std::function<void()>& script)
    {
        bool focused = false;
        popup.CallAfter([&] {
            focused = uitest::RunUntil(
                [&] {
                    wxWindow* focus = wxWindow::FindFocus();
                    return popup.IsShownOnScreen() && focus && wxGetTopLevelParent(focus) == &popup;
                },
                5000);
            uitest::SyncWithDisplay();
            if (focused)
                script();
            // A script that left the menu open ends it as a person would.
            if (!popup.IsClosed()) {
                wxUIActionSimulator keys;
                for (int i = 0; i < 3 && !popup.IsClosed(); ++i) {
                    keys.Char(WXK_ESCAPE);
                    uitest::RunUntil([&] { return popup.IsClosed(); }, 1000);
                }
            }
            popup.Cancel();
        });
        const int chosen = popup.TrackPopupMenu(wxPoint(20, 20));
        EXPECT_TRUE(focused) << "the menu never had the keyboard";
        EXPECT_EQ(CBCGPopupMenuEx::GetActiveMenu(), nullptr);
        return chosen;
    }

    static void Wait(int ms = 150) { uitest::RunFor(ms); }

    wxTextCtrl* Edit(CBCGPopupMenuEx& popup) { return popup.GetEditBox()->GetEditWnd(); }

    void Click(const wxPoint& screen)
    {
        wxUIActionSimulator mouse;
        mouse.MouseMove(screen);
        Wait(100);
        mouse.MouseClick();
    }

    std::vector<std::wstring> Recorded()
    {
        CRecentItemsList list(platform::RegRoot::CurrentUser, kRecentKey);
        std::vector<std::wstring> texts;
        list.GetRecentStrings(texts, -1);
        return texts;
    }

    struct Taken {
        uint32_t command;
        std::wstring text;
    };

    wxFrame* m_frame = nullptr;
    wxButton* m_outside = nullptr;
    int m_outsidePressed = 0;
    std::vector<Taken> m_taken;
};

// The arrows skip the separator and the disabled item, Enter runs; an
// access letter runs its item at once; a disabled item's letter does nothing.
TEST_F(PopupMenuExTest, KeysAndAccessLettersChooseItems)
{
    struct Case {
        const char* what;
        std::vector<int> keys;
        int chosen;
    } cases[] = {
        {"Down to the first item", {WXK_DOWN, WXK_RETURN}, kRefresh},
        {"past the separator", {WXK_DOWN, WXK_DOWN, WXK_DOWN, WXK_RETURN}, kCopy},
        {"past the disabled item", {WXK_DOWN, WXK_DOWN, WXK_DOWN, WXK_DOWN, WXK_RETURN}, kProperties},
        {"Up wraps to the last", {WXK_UP, WXK_RETURN}, kProperties},
        {"End, then Up", {WXK_END, WXK_UP, WXK_RETURN}, kCopy},
        {"access letter", {'c'}, kCopy},
        {"upper-case access letter", {'P'}, kProperties},
        {"a disabled item's letter, then Escape", {'t', WXK_ESCAPE}, wxID_NONE},
        {"Escape", {WXK_ESCAPE}, wxID_NONE},
    };
    for (const Case& c : cases) {
        CBCGPopupMenuEx::Ptr popup = MakePopup(true);
        const int chosen = Run(*popup, [&] {
            wxUIActionSimulator keys;
            for (int key : c.keys) {
                keys.Char(key);
                Wait();
            }
        });
        EXPECT_EQ(chosen, c.chosen) << c.what;
    }
    EXPECT_TRUE(m_taken.empty());
}

// Typed text: its letters are the field's, not the menu's; Enter takes it
// trimmed, records it and chooses the filter command.
TEST_F(PopupMenuExTest, TypedTextIsTakenTrimmedAndRecorded)
{
    CBCGPopupMenuEx::Ptr popup = MakePopup(true);
    std::string selectedAtStart;
    bool editing = false;
    const int chosen = Run(*popup, [&] {
        wxUIActionSimulator keys;
        keys.Char('f');  // the edit box's access letter
        uitest::RunUntil([&] { return Edit(*popup)->IsShownOnScreen(); }, 3000);
        Wait();
        selectedAtStart = Edit(*popup)->GetStringSelection().utf8_string();
        // Letters that are access letters of other items ("c", "p", "r").
        keys.Text("  (cn=pr*) ");
        uitest::RunUntil([&] { return Edit(*popup)->GetValue() == "  (cn=pr*) "; }, 3000);
        editing = popup->GetModel().IsEditing() && !popup->IsClosed();
        uitest::Screenshot(*popup, "popup-menu-editing", "widgets");
        keys.Char(WXK_RETURN);
        uitest::RunUntil([&] { return popup->IsClosed(); }, 3000);
    });
    EXPECT_EQ(selectedAtStart, "(objectClass=*)");
    EXPECT_TRUE(editing);
    EXPECT_EQ(chosen, kFilter);
    ASSERT_EQ(m_taken.size(), 1u);
    EXPECT_EQ(m_taken[0].command, kFilterCommand);
    EXPECT_EQ(m_taken[0].text, L"(cn=pr*)");
    EXPECT_EQ(Recorded(), std::vector<std::wstring>{L"(cn=pr*)"});
}

// Escape gives the old text back and leaves the menu open with its items
// usable; Alt (alone or with a letter) while editing stays in the field.
TEST_F(PopupMenuExTest, EscapeRestoresAndAltStaysInTheField)
{
    CBCGPopupMenuEx::Ptr popup = MakePopup(true);
    std::string afterEscape;
    bool openAfterEscape = false, editingAfterAlt = false;
    const int chosen = Run(*popup, [&] {
        wxUIActionSimulator keys;
        // Down twice: the edit box; Enter edits it.
        keys.Char(WXK_DOWN);
        keys.Char(WXK_DOWN);
        keys.Char(WXK_RETURN);
        uitest::RunUntil([&] { return Edit(*popup)->IsShownOnScreen(); }, 3000);
        keys.Text("zz");
        Wait();
        keys.Char(WXK_ESCAPE);
        uitest::RunUntil([&] { return !popup->GetModel().IsEditing(); }, 3000);
        Wait();
        afterEscape = Edit(*popup)->GetValue().utf8_string();
        openAfterEscape = !popup->IsClosed() && popup->IsShown() && !Edit(*popup)->IsShown();

        // Edit again: Alt, and Alt+c (Copy's letter), change nothing.
        keys.Char(WXK_RETURN);
        uitest::RunUntil([&] { return Edit(*popup)->IsShownOnScreen(); }, 3000);
        keys.KeyDown(WXK_ALT);
        keys.KeyUp(WXK_ALT);
        Wait();
        keys.Char('c', wxMOD_ALT);
        Wait(300);
        editingAfterAlt = popup->GetModel().IsEditing() && !popup->IsClosed();
        // Escape leaves editing, a second one closes the menu.
        keys.Char(WXK_ESCAPE);
        Wait();
        keys.Char(WXK_ESCAPE);
        uitest::RunUntil([&] { return popup->IsClosed(); }, 3000);
    });
    EXPECT_EQ(afterEscape, "(objectClass=*)");
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(editingAfterAlt);
    EXPECT_EQ(chosen, wxID_NONE);
    EXPECT_TRUE(m_taken.empty());
    EXPECT_TRUE(Recorded().empty());
}

// A disabled edit box never edits: not on a click, its letter, nor Enter.
TEST_F(PopupMenuExTest, ADisabledEditBoxNeverEdits)
{
    CBCGPopupMenuEx::Ptr popup = MakePopup(false);
    bool everEdited = false;
    bool stillOpen = false;
    const int chosen = Run(*popup, [&] {
        wxUIActionSimulator keys;
        const wxRect box = popup->GetItemScreenRect(1);
        Click(box.GetLeftTop() + wxPoint(box.width / 2, box.height / 2));
        Wait(200);
        everEdited |= popup->GetModel().IsEditing() || Edit(*popup)->IsShown();
        keys.Char('f');
        Wait(200);
        everEdited |= popup->GetModel().IsEditing() || Edit(*popup)->IsShown();
        keys.Char(WXK_DOWN);
        keys.Char(WXK_DOWN);
        keys.Char(WXK_RETURN);
        Wait(200);
        everEdited |= popup->GetModel().IsEditing() || Edit(*popup)->IsShown();
        // Down, Down went past it to Copy, which Enter ran.
        stillOpen = !popup->IsClosed();
    });
    EXPECT_FALSE(everEdited);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(chosen, kCopy);
    EXPECT_TRUE(m_taken.empty());
}

// A click on an item chooses it; a click outside closes the menu and does
// not reach the window under it.
TEST_F(PopupMenuExTest, ClicksChooseAndAClickOutsideCloses)
{
    CBCGPopupMenuEx::Ptr popup = MakePopup(true);
    int chosen = Run(*popup, [&] {
        const wxRect item = popup->GetItemScreenRect(5);
        Click(item.GetLeftTop() + wxPoint(item.width / 2, item.height / 2));
        uitest::RunUntil([&] { return popup->IsClosed(); }, 3000);
    });
    EXPECT_EQ(chosen, kProperties);

    popup = MakePopup(true);
    chosen = Run(*popup, [&] {
        const wxRect disabled = popup->GetItemScreenRect(4);
        Click(disabled.GetLeftTop() + wxPoint(disabled.width / 2, disabled.height / 2));
        Wait(200);
        EXPECT_FALSE(popup->IsClosed()) << "a click on a disabled item closes nothing";
        const wxRect button = m_outside->GetScreenRect();
        Click(button.GetLeftTop() + wxPoint(button.width / 2, button.height / 2));
        uitest::RunUntil([&] { return popup->IsClosed(); }, 3000);
    });
    EXPECT_EQ(chosen, wxID_NONE);
    Wait(200);
    EXPECT_EQ(m_outsidePressed, 0);
}

// Another window taking the keyboard closes the menu.
TEST_F(PopupMenuExTest, LosingTheFocusCloses)
{
    CBCGPopupMenuEx::Ptr popup = MakePopup(true);
    auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(700, 100), wxSize(200, 150));
    const int chosen = Run(*popup, [&] {
        other->Show();
        other->Raise();
        uitest::RunUntil([&] { return popup->IsClosed(); }, 5000);
    });
    EXPECT_EQ(chosen, wxID_NONE);
    other->Destroy();
    Wait(100);
}

} // namespace
