#include <gtest/gtest.h>

#include <X11/XKBlib.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/listctrl.h>

#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CInPlaceEdit.h"
#include "widgets/CInputLanguageWnd.h"
#include "widgets/KeyboardLayout.h"

namespace {

TEST(KeyboardLayout, TheGroupsLayoutFromTheSymbolsNameAsTwoCapitals)
{
    struct Case {
        const char* symbols;
        int group;
        const char* tag;
    } cases[] = {
        {"pc+us+inet(evdev)", 0, "US"},
        {"pc+us+de:2+inet(evdev)", 0, "US"},
        {"pc+us+de:2+inet(evdev)", 1, "DE"},
        {"pc+gb(extd)+ru:2+group(alt_shift_toggle)", 1, "RU"},
        {"pc(pc105)+fr(oss)+inet(evdev)", 0, "FR"},
        {"pc+us+de:2", 2, ""},
        {"pc+inet(evdev)", 0, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::LayoutTagFromSymbols(c.symbols, c.group), c.tag) << c.symbols << " group " << c.group;
}

TEST(KeyboardLayout, TheLocalesLanguageWhenXOffersNone)
{
    struct Case {
        const char* locale;
        const char* tag;
    } cases[] = {{"de_DE.UTF-8", "DE"}, {"fr_CA", "FR"}, {"sv", "SV"}, {"C", ""}, {"POSIX", ""}, {"C.UTF-8", ""}, {"", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(ui::LanguageTagFromLocale(c.locale), c.tag) << c.locale;
}

class IndicatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "indicator", wxDefaultPosition, wxSize(300, 120));
        frame->Show();
    }
    void TearDown() override
    {
        CInputLanguageWnd::SetTagSource(ui::CurrentKeyboardLanguageTag);
        frame->Destroy();
        uitest::RunFor(20);
    }
    CInputLanguageWnd* MakeIndicator()
    {
        auto* indicator = new CInputLanguageWnd();
        EXPECT_TRUE(indicator->Create(frame, wxID_ANY, wxPoint(10, 10), wxSize(24, 16)));
        return indicator;
    }
    wxFrame* frame = nullptr;
};

// Two layouts on the test's own display, the first one active; false when
// the display cannot have them.
bool TwoLayouts(Display*& display)
{
    if (std::system("setxkbmap -layout us,de >/dev/null 2>&1") != 0)
        return false;
    int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
    display = XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason);
    if (!display)
        return false;
    XkbLockGroup(display, XkbUseCoreKbd, 0);
    XSync(display, False);
    return true;
}

TEST_F(IndicatorTest, SwitchingTheLayoutShowsTheNewTagOnceAskedAndOnlyThen)
{
    Display* display = nullptr;
    if (!TwoLayouts(display))
        GTEST_SKIP() << "the display has no keyboard layouts to switch";
    CInputLanguageWnd* indicator = MakeIndicator();
    EXPECT_EQ(indicator->GetTag(), "US");

    XkbLockGroup(display, XkbUseCoreKbd, 1);
    XSync(display, False);
    EXPECT_EQ(indicator->GetTag(), "US") << "nothing changes until it is asked";
    EXPECT_TRUE(indicator->UpdateLanguage());
    EXPECT_EQ(indicator->GetTag(), "DE");
    EXPECT_FALSE(indicator->UpdateLanguage()) << "no switch, no repaint";

    XkbLockGroup(display, XkbUseCoreKbd, 0);
    XSync(display, False);
    XCloseDisplay(display);
    (void)std::system("setxkbmap -layout us >/dev/null 2>&1");
}

TEST_F(IndicatorTest, WithoutASourceTheTagStaysEmptyAndNeverChanges)
{
    CInputLanguageWnd::SetTagSource(nullptr);
    CInputLanguageWnd* indicator = MakeIndicator();
    EXPECT_EQ(indicator->GetTag(), "");
    EXPECT_FALSE(indicator->UpdateLanguage());
    EXPECT_EQ(indicator->GetTag(), "");
}

TEST_F(IndicatorTest, TheTagIsTwoCapitalsWhiteOnTheCaptionColour)
{
    std::string source = "de";
    CInputLanguageWnd::SetTagSource([&] { return source; });
    CInputLanguageWnd* indicator = MakeIndicator();
    EXPECT_EQ(indicator->GetTag(), "DE");
    EXPECT_EQ(indicator->GetTextColor(), *wxWHITE);
    source = "ru_RU";
    EXPECT_TRUE(indicator->UpdateLanguage());
    EXPECT_EQ(indicator->GetTag(), "RU");
    uitest::RunFor(100);
    std::string path = uitest::Screenshot(*frame, "input-language-indicator");
    EXPECT_FALSE(path.empty());
}

// The end-of-edit events a list receives.
struct Ended {
    long item;
    int column;
    bool cancelled;
    wxString text;
};

class InPlaceEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "edit", wxDefaultPosition, wxSize(400, 200));
        list = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
        list->AppendColumn("Name", wxLIST_FORMAT_LEFT, 80);
        list->AppendColumn("Value", wxLIST_FORMAT_LEFT, 120);
        list->InsertItem(0, "cn");
        list->SetItem(0, 1, "old value");
        list->Bind(wxEVT_LIST_END_LABEL_EDIT, [this](wxListEvent& e) {
            ended.push_back({e.GetIndex(), e.GetColumn(), e.IsEditCancelled(), e.GetLabel()});
        });
        frame->Show();
        uitest::RunFor(50);
    }
    void TearDown() override
    {
        frame->Destroy();
        uitest::RunFor(20);
    }
    CInPlaceEdit* Edit()
    {
        wxRect cell;
        EXPECT_TRUE(list->GetSubItemRect(0, 1, cell));
        auto* editor = new CInPlaceEdit(0, 1, "old value");
        EXPECT_TRUE(editor->Create(list, list, wxID_ANY, cell));
        return editor;
    }
    int Editors() const
    {
        int count = 0;
        for (wxWindow* child : list->GetChildren())
            count += dynamic_cast<CInPlaceEdit*>(child) != nullptr;
        return count;
    }
    void Key(wxWindow* window, int code)
    {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = code;
        key.SetEventObject(window);
        window->ProcessWindowEvent(key);
    }

    wxFrame* frame = nullptr;
    wxListCtrl* list = nullptr;
    std::vector<Ended> ended;
};

TEST_F(InPlaceEditTest, ReturnEndsWithTheTextAndEscapeWithNoneEachOnce)
{
    struct Case {
        int key;
        bool cancelled;
        const char* text;
    } cases[] = {{WXK_RETURN, false, "new value"}, {WXK_ESCAPE, true, ""}};
    for (const Case& c : cases) {
        ended.clear();
        CInPlaceEdit* editor = Edit();
        EXPECT_EQ(editor->GetValue(), "old value");
        editor->SetValue("new value");
        Key(editor, c.key);
        uitest::RunFor(50);
        ASSERT_EQ(ended.size(), 1u) << "the end is reported once, the lost focus after it adds nothing";
        EXPECT_EQ(ended[0].item, 0);
        EXPECT_EQ(ended[0].column, 1);
        EXPECT_EQ(ended[0].cancelled, c.cancelled);
        EXPECT_EQ(ended[0].text, c.text);
        EXPECT_EQ(Editors(), 0) << "the editor has gone";
    }
}

TEST_F(InPlaceEditTest, CommitAndCancelEndFromTheEventLoop)
{
    CInPlaceEdit* editor = Edit();
    editor->SetValue("committed");
    editor->Commit();
    EXPECT_TRUE(ended.empty());
    uitest::RunFor(50);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_FALSE(ended[0].cancelled);
    EXPECT_EQ(ended[0].text, "committed");

    ended.clear();
    editor = Edit();
    editor->Cancel();
    uitest::RunFor(50);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_TRUE(ended[0].cancelled);
}

TEST_F(InPlaceEditTest, ItGrowsWithItsTextButStaysInsideTheList)
{
    CInPlaceEdit* editor = Edit();
    const int start = editor->GetSize().x;
    editor->SetValue(wxString('x', 400));
    editor->AutoSize();
    EXPECT_GT(editor->GetSize().x, start);
    EXPECT_LE(editor->GetRect().GetRight(), list->GetClientSize().x - 2);
    editor->SetValue("x");
    const int grown = editor->GetSize().x;
    editor->AutoSize();
    EXPECT_EQ(editor->GetSize().x, grown) << "it never shrinks";
    Key(editor, WXK_ESCAPE);
    uitest::RunFor(20);
}

} // namespace
