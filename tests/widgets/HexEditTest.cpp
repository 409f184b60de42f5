#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CHexEdit.h"

namespace {

// The control in a frame of its own, shown.
class HexEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "hex");
        edit = new CHexEdit(frame, wxID_ANY, 8);
        frame->SetClientSize(edit->GetMinSize());
        frame->Show();
        uitest::RunFor(50);
    }
    void TearDown() override { frame->Destroy(); uitest::RunFor(20); }

    // What the toolkit sends for a key: key-down, and a character for keys that type one.
    void Key(int code, bool ctrl = false)
    {
        wxKeyEvent down(wxEVT_KEY_DOWN);
        down.m_keyCode = code;
        down.m_controlDown = ctrl;
        down.SetEventObject(edit);
        edit->GetEventHandler()->ProcessEvent(down);
    }
    void Type(const std::string& text)
    {
        for (char c : text) {
            wxKeyEvent ch(wxEVT_CHAR);
            ch.m_keyCode = static_cast<unsigned char>(c);
            ch.m_uniChar = static_cast<unsigned char>(c);
            ch.SetEventObject(edit);
            edit->GetEventHandler()->ProcessEvent(ch);
        }
    }

    wxFrame* frame = nullptr;
    CHexEdit* edit = nullptr;
};

} // namespace

TEST_F(HexEditTest, KeysEditTheBytes)
{
    edit->SetData(std::string("\x30\x03\x02\x01\x00", 5));
    Type("a1");                   // overwrite the first byte
    Key(WXK_INSERT);
    Type("ff");                   // insert before the second
    Key(WXK_END, true);
    Key(WXK_BACK);                // the last byte goes
    Key(WXK_HOME, true);
    Key(WXK_DELETE);              // and the first
    Key(WXK_TAB);
    Key(WXK_END, true);
    Type("ok");                   // text typed at the end is inserted
    EXPECT_EQ(edit->GetData(), std::string("\xFF\x03\x02\x01ok", 6));
    EXPECT_TRUE(edit->IsModified());
    uitest::Screenshot(*frame, "hex-edit");
}

TEST_F(HexEditTest, ArrowsAndPagesMoveTheCaretOverRows)
{
    edit->SetData(std::string(100, 'x'));
    Key(WXK_DOWN);
    Key(WXK_RIGHT);
    Key(WXK_RIGHT);
    EXPECT_EQ(edit->Buffer().GetCaret(), 9u);
    Key(WXK_PAGEDOWN);
    EXPECT_GT(edit->Buffer().GetCaret(), 9u);
    Key(WXK_END, true);
    EXPECT_EQ(edit->Buffer().GetCaret(), 100u);
    // The caret's row is scrolled into view.
    int top = 0;
    edit->GetViewStart(nullptr, &top);
    EXPECT_GT(top, 0);
    Key(WXK_PAGEUP);
    Key(WXK_HOME, true);
    edit->GetViewStart(nullptr, &top);
    EXPECT_EQ(top, 0);
}

TEST_F(HexEditTest, RealKeyboardReachesTheControl)
{
    edit->SetData(std::string("\x00\x00", 2));
    edit->SetFocus();
    uitest::RunUntil([&] { return edit->HasFocus(); }, 3000);
    if (!edit->HasFocus()) GTEST_SKIP() << "no keyboard focus under this display";
    wxUIActionSimulator sim;
    sim.Char('7');
    sim.Char('e');
    sim.Char(WXK_RIGHT);  // onto the second byte's low digit
    sim.Char('1');
    uitest::RunUntil([&] { return edit->GetData() == std::string("\x7E\x01", 2); }, 5000);
    EXPECT_EQ(edit->GetData(), std::string("\x7E\x01", 2));
}
