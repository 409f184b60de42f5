// Hooks on the toolkit's event chain, and inline completion driven through
// the real keyboard: the order hooks see events in, unhooking from the middle
// of the chain, a window's end unhooking them all, the leave event, and
// typed text completed with the stored case.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "shellcore/CRecentItemsList.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CAutoComplete.h"
#include "widgets/CSubclassWnd.h"
#include "widgets/RecentItemsCompletion.h"

namespace {

// Records the key events it sees; swallows them when told.
class RecordingHook : public CSubclassWnd {
public:
    RecordingHook(std::vector<std::string>& log, std::string name, bool swallow = false)
        : m_log(log), m_name(std::move(name)), m_swallow(swallow)
    {
        WatchEvent(wxEVT_KEY_DOWN);
    }

protected:
    bool WindowProc(wxEvent& event) override
    {
        m_log.push_back(m_name);
        return m_swallow ? true : Default(event);
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    bool m_swallow;
};

class HookTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_frame = new wxFrame(nullptr, wxID_ANY, "hooks");
        m_field = new wxTextCtrl(m_frame, wxID_ANY);
        m_field->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
            m_log.push_back("window");
            event.Skip();
        });
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->Destroy();
        uitest::RunFor(20);
    }
    std::vector<std::string> Key()
    {
        m_log.clear();
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = 'A';
        key.SetEventObject(m_field);
        m_field->GetEventHandler()->ProcessEvent(key);
        return m_log;
    }

    wxFrame* m_frame = nullptr;
    wxTextCtrl* m_field = nullptr;
    std::vector<std::string> m_log;
};

typedef std::vector<std::string> Log;

TEST_F(HookTest, TheLastHookedSeesEventsFirstAndUnhookingTheInnerKeepsTheChain)
{
    RecordingHook first(m_log, "first"), second(m_log, "second");
    EXPECT_TRUE(first.HookWindow(m_field));
    EXPECT_TRUE(second.HookWindow(m_field));
    EXPECT_EQ(Key(), (Log{"second", "first", "window"}));
    EXPECT_TRUE(first.HookWindow(nullptr));
    EXPECT_EQ(first.GetHookedWindow(), nullptr);
    EXPECT_EQ(Key(), (Log{"second", "window"}));
    {
        RecordingHook swallowing(m_log, "swallowing", true);
        swallowing.HookWindow(m_field);
        EXPECT_EQ(Key(), (Log{"swallowing"}));
    }
    // Its destruction took it out of the chain.
    EXPECT_EQ(Key(), (Log{"second", "window"}));
    second.HookWindow(nullptr);
    EXPECT_EQ(m_field->GetEventHandler(), m_field);
}

TEST_F(HookTest, AWindowsEndUnhooksEveryHookBeforeItGoes)
{
    RecordingHook first(m_log, "first"), second(m_log, "second");
    first.HookWindow(m_field);
    second.HookWindow(m_field);
    bool windowSawItsEnd = false;
    m_field->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& event) {
        windowSawItsEnd = event.GetEventObject() == m_field;
        EXPECT_EQ(m_field->GetEventHandler(), m_field) << "a hook was left on the window";
        event.Skip();
    });
    delete m_field;
    m_field = nullptr;
    EXPECT_TRUE(windowSawItsEnd);
    EXPECT_EQ(first.GetHookedWindow(), nullptr);
    EXPECT_EQ(second.GetHookedWindow(), nullptr);
    // Their own destruction later does nothing.
}

TEST_F(HookTest, TrackMouseLeaveChecksItsRequestAndOneLeaveComes)
{
    TrackMouseLeaveRequest request;
    request.window = m_field;
    request.flags = kTrackLeave;
    EXPECT_TRUE(CSubclassWnd::TrackMouseLeave(request));
    struct Case {
        uint32_t size;
        uint32_t flags;
        bool window;
    };
    for (const Case& c : {Case{15, kTrackLeave, true}, Case{16, 0x1, true}, Case{16, kTrackLeave, false}}) {
        TrackMouseLeaveRequest bad;
        bad.size = c.size;
        bad.flags = c.flags;
        bad.window = c.window ? m_field : nullptr;
        EXPECT_FALSE(CSubclassWnd::TrackMouseLeave(bad));
    }

    auto* other = new wxTextCtrl(m_frame, wxID_ANY, "", wxPoint(0, 60), wxSize(200, 30));
    m_field->SetSize(0, 0, 200, 30);
    m_frame->SetClientSize(300, 200);
    m_frame->Show();
    uitest::RunFor(200);
    int leaves = 0;
    m_field->Bind(wxEVT_LEAVE_WINDOW, [&](wxMouseEvent& event) {
        ++leaves;
        event.Skip();
    });
    wxUIActionSimulator mouse;
    mouse.MouseMove(m_field->ClientToScreen(wxPoint(50, 15)));
    uitest::RunFor(200);
    mouse.MouseMove(m_field->ClientToScreen(wxPoint(60, 15)));
    uitest::RunFor(100);
    leaves = 0;
    mouse.MouseMove(other->ClientToScreen(wxPoint(50, 15)));
    uitest::RunUntil([&] { return leaves > 0; }, 2000);
    uitest::RunFor(200);
    EXPECT_EQ(leaves, 1);
}

TEST(InlineCompletionWindow, TypedTextIsCompletedWithTheStoredCase)
{
    auto previous = SetAutoCompletionFactory(ui::BindAutoCompletion);
    auto* frame = new wxFrame(nullptr, wxID_ANY, "completion");
    auto* field = new wxTextCtrl(frame, wxID_ANY, "", wxPoint(0, 0), wxSize(250, 30));
    frame->Show();
    uitest::RunFor(200);
    CRecentItemsList texts;
    texts.AddString(L"(cn=Alice)");
    ASSERT_TRUE(texts.Bind(static_cast<wxWindow*>(field), 0x23, L"(%s)"));
    field->SetFocus();
    uitest::RunFor(100);

    wxUIActionSimulator keys;
    keys.Char('(');
    keys.Char('c');
    uitest::RunUntil([&] { return field->GetValue() == "(cn=Alice)"; }, 3000);
    EXPECT_EQ(field->GetValue(), "(cn=Alice)");
    long from = 0, to = 0;
    field->GetSelection(&from, &to);
    EXPECT_EQ(from, 2);
    EXPECT_EQ(to, 10);
    // Backspace takes the added part and completes nothing again.
    keys.Char(WXK_BACK);
    uitest::RunFor(300);
    EXPECT_EQ(field->GetValue(), "(c");

    // Disabled, typing stays as typed.
    field->ChangeValue("");
    texts.EnableCompletion(false);
    keys.Char('(');
    uitest::RunFor(300);
    EXPECT_EQ(field->GetValue(), "(");
    texts.EnableCompletion(true);

    // Ctrl+Enter puts the text into the format.
    field->ChangeValue("cn=bob");
    field->SetInsertionPointEnd();
    keys.Char(WXK_RETURN, wxMOD_CONTROL);
    uitest::RunFor(300);
    EXPECT_EQ(field->GetValue(), "(cn=bob)");

    texts.Unbind();
    frame->Destroy();
    uitest::RunFor(50);
    SetAutoCompletionFactory(previous);
}

} // namespace
