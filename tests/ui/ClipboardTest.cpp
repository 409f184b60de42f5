#include <gtest/gtest.h>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include "base/Archive.h"
#include "model/clipboard/CArbClipboard.h"
#include "platform/Clipboard.h"
#include "tests/support/gui/XClipboard.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/WxClipboardPort.h"

namespace {

const char* const kOwnFormat = "Vellumar Tessaline 2.1 clipboard format";

class WxClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wxSetAssertHandler(frametest::FailOnAssert);
        m_previous = platform::SetClipboardPort(m_port);
    }
    void TearDown() override { platform::SetClipboardPort(m_previous); }

    std::shared_ptr<ui::WxClipboardPort> m_port = std::make_shared<ui::WxClipboardPort>();
    std::shared_ptr<platform::ClipboardPort> m_previous;
};

TEST_F(WxClipboardTest, BothFormatsOfOneCopyComeBackWhole)
{
    const platform::ClipboardFormat own = m_port->RegisterFormat(kOwnFormat);
    ASSERT_NE(own, 0u);
    EXPECT_EQ(m_port->RegisterFormat(kOwnFormat), own);
    EXPECT_NE(m_port->RegisterFormat("another format"), own);

    // Binary bytes with zeros inside, and UTF-8 text with its end zero.
    const std::string block("\x01\x00\x00\x00\xff" "cn=M\xc3\xbcller\x00tail", 20);
    const std::string text("cn=M\xc3\xbcller,o=Vellumar\0", 22);
    {
        platform::ClipboardSession session;
        ASSERT_TRUE(session.IsOpen());
        ASSERT_TRUE(session.Port().Empty());
        ASSERT_TRUE(session.Port().SetData(own, block));
        ASSERT_TRUE(session.Port().SetData(platform::kClipboardText, text));
    }
    {
        platform::ClipboardSession session;
        ASSERT_TRUE(session.IsOpen());
        std::string read;
        ASSERT_TRUE(session.Port().GetData(own, read));
        EXPECT_EQ(read, block);
        ASSERT_TRUE(session.Port().GetData(platform::kClipboardText, read));
        EXPECT_EQ(read, text);
        EXPECT_FALSE(session.Port().GetData(m_port->RegisterFormat("another format"), read));
        EXPECT_FALSE(session.Port().GetData(0x7777, read));
    }

    // Emptied: neither format is left.
    {
        platform::ClipboardSession session;
        ASSERT_TRUE(session.Port().Empty());
        std::string read;
        EXPECT_FALSE(session.Port().GetData(own, read));
    }
}

TEST_F(WxClipboardTest, TextThatSomeoneElsePutThereIsReadButOffersNoPaste)
{
    RegisterArbClipboardFormat();
    ASSERT_NE(GetArbClipboardFormat(), 0u);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8("plain words ä")));
    wxTheClipboard->Close();

    {
        platform::ClipboardSession session;
        std::string read;
        ASSERT_TRUE(session.Port().GetData(platform::kClipboardText, read));
        EXPECT_EQ(read, std::string("plain words \xc3\xa4\0", 15));
    }
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(nullptr));

    // A whole context in the own format makes a paste possible; a block cut
    // short does not.
    CArbClipboardContext context;
    context.AddDN(arbldap::LDAPDN("cn=a,o=b"));
    CArchive ar;
    context.Serialize(ar);
    const std::string stored = ar.GetBuffer();
    for (const std::string& block : {stored, stored.substr(0, stored.size() - 1)}) {
        {
            platform::ClipboardSession session;
            ASSERT_TRUE(session.Port().Empty());
            ASSERT_TRUE(session.Port().SetData(GetArbClipboardFormat(), block));
        }
        EXPECT_EQ(CArbClipboard::IsPasteAvailable(nullptr), block == stored);
    }
}

// One copy as another X client sees it while the program's loop runs: both
// forms listed among the targets, each read back whole.
TEST_F(WxClipboardTest, BothFormsOfOneCopyReachAnotherXClient)
{
    const platform::ClipboardFormat own = m_port->RegisterFormat(kOwnFormat);
    const std::string block("\x01\x00\x00\x00\xff" "cn=M\xc3\xbcller\x00tail", 20);
    const std::string text("cn=M\xc3\xbcller,o=Vellumar\0", 22);
    {
        platform::ClipboardSession session;
        ASSERT_TRUE(session.IsOpen());
        ASSERT_TRUE(session.Port().Empty());
        ASSERT_TRUE(session.Port().SetData(platform::kClipboardText, text));
        ASSERT_TRUE(session.Port().SetData(own, block));
    }
    const uitest::XClipboardRead targets = uitest::ReadXClipboard("TARGETS");
    ASSERT_EQ(targets.exitCode, 0) << (targets.timedOut ? "timed out" : "failed");
    EXPECT_NE(targets.bytes.find(std::string(kOwnFormat) + "\n"), std::string::npos) << targets.bytes;
    EXPECT_NE(targets.bytes.find("UTF8_STRING\n"), std::string::npos) << targets.bytes;

    const uitest::XClipboardRead utf8 = uitest::ReadXClipboard("UTF8_STRING");
    EXPECT_EQ(utf8.exitCode, 0);
    EXPECT_EQ(utf8.bytes, text.substr(0, text.size() - 1));
    const uitest::XClipboardRead ownRead = uitest::ReadXClipboard(kOwnFormat);
    EXPECT_EQ(ownRead.exitCode, 0);
    EXPECT_EQ(ownRead.bytes, block);
}

TEST_F(WxClipboardTest, NothingIsSetOrReadWhileClosedAndItOpensOnlyOnce)
{
    const platform::ClipboardFormat own = m_port->RegisterFormat(kOwnFormat);
    {
        platform::ClipboardSession outer;
        ASSERT_TRUE(outer.IsOpen());
        platform::ClipboardSession inner;
        EXPECT_FALSE(inner.IsOpen());
    }
    std::string read;
    EXPECT_FALSE(m_port->SetData(own, "x"));
    EXPECT_FALSE(m_port->GetData(own, read));
    EXPECT_FALSE(m_port->Empty());
    EXPECT_EQ(m_port->RegisterFormat(""), 0u);
}

} // namespace
