#pragma once
// Drives the main window's tree as a person does, for the window tests
// against real servers: items found by their text or profile, clicked with
// the mouse, and the work they start waited for.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <wx/uiaction.h>

#include "jobs/CLDAPThread.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/support/gui/UiTestSupport.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbListView.h"
#include "ui/CArbMainFrame.h"
#include "ui/CArbTreeView.h"
#include "ui/COutputList.h"
#include "widgets/WxCommandIds.h"

namespace frametest {

class WindowTreeDriver {
public:
    WindowTreeDriver(CArbMainFrame& frame, CArbTreeView& tree) : m_frame(frame), m_tree(tree) {}

    CDataObject* NodeOf(platform::TreeItem item) { return static_cast<CDataObject*>(m_tree.GetPort().GetItemData(item)); }

    // The child item of parent whose text is text.
    platform::TreeItem Child(platform::TreeItem parent, const std::wstring& text)
    {
        platform::TreePort& tree = m_tree.GetPort();
        for (platform::TreeItem item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item))
            if (tree.GetItemText(item) == text) return item;
        return platform::TreeItem();
    }

    platform::TreeItem ServerItem(const std::wstring& profileName)
    {
        platform::TreePort& tree = m_tree.GetPort();
        platform::TreeItem root = tree.GetChildItem(platform::kTreeRoot);
        for (platform::TreeItem item = tree.GetChildItem(root); item; item = tree.GetNextSiblingItem(item))
            if (auto* server = dynamic_cast<CServerObject*>(NodeOf(item)))
                if (server->GetProfileName() == profileName) return item;
        return platform::TreeItem();
    }

    // A click on the item as the mouse gives it, then the work it starts.
    void Click(platform::TreeItem item)
    {
        wxRect rect;
        ASSERT_TRUE(m_tree.GetBoundingRect(m_tree.GetPort().IdOf(item), rect, true));
        const wxPoint at = m_tree.ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
        wxUIActionSimulator mouse;
        mouse.MouseMove(at);
        uitest::RunFor(30);
        mouse.MouseClick();
        Settle([&] { return m_tree.GetPort().GetSelectedItem() == item; });
    }

    // Until the condition holds and no worker is left.
    void Settle(const std::function<bool()>& done)
    {
        EXPECT_TRUE(PumpUntil([&] { return done() && GetRunningThreadCount() == 0; }, std::chrono::seconds(30)))
            << Dump();
        Pump();
    }

    // The tree's texts and the output window's lines.
    std::string Dump()
    {
        std::string out = "threads " + std::to_string(GetRunningThreadCount()) + "\n";
        std::function<void(platform::TreeItem, int)> walk = [&](platform::TreeItem parent, int depth) {
            platform::TreePort& tree = m_tree.GetPort();
            for (platform::TreeItem item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item)) {
                out += std::string(depth * 2, ' ') + wxString(tree.GetItemText(item)).utf8_string() + "\n";
                walk(item, depth + 1);
            }
        };
        walk(platform::kTreeRoot, 0);
        if (COutputList* output = m_frame.GetOutputList())
            for (size_t i = 0; i < output->GetLineCount(); ++i) out += "log: " + output->GetLine(i).utf8_string() + "\n";
        return out;
    }

private:
    CArbMainFrame& m_frame;
    CArbTreeView& m_tree;
};

// The program's main window in fresh settings, for the tests that drive it
// against real servers; the window goes once no worker runs.
class MainWindowTest : public testsupport::TempHomeTest {
protected:
    // A profile bound as userDN; with a password it is saved, without one
    // the program asks.
    static void SaveBoundProfile(const wchar_t* name, int port, const std::string& base, const std::string& userDN,
                                 const char* savedPassword)
    {
        CServerProfile profile = LocalProfile(name, port, base);
        profile.SetAnonymousBind(0);
        profile.SetUserDN(arbldap::LDAPDN(userDN));
        profile.SetSavePassword(savedPassword ? 1 : 0);
        if (savedPassword)
            profile.SetPassword(savedPassword);
        ASSERT_TRUE(profile.SaveProfile());
    }

    // A profile that binds anonymously, saved.
    static void SaveAnonymousProfile(const wchar_t* name, int port, const std::string& base)
    {
        CServerProfile profile = LocalProfile(name, port, base);
        profile.SetAnonymousBind(1);
        ASSERT_TRUE(profile.SaveProfile());
    }

    // A version 3 profile of a server on this machine.
    static CServerProfile LocalProfile(const wchar_t* name, int port, const std::string& base)
    {
        CServerProfile profile;
        profile.SetProfileName(name);
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(port);
        profile.SetVersion(3);
        profile.SetBaseDN(arbldap::LDAPDN(base));
        return profile;
    }

    // The window with the stored profiles, shown.
    void OpenWindow()
    {
        m_session = std::make_unique<uitest::ProgramSession>();
        m_frame = m_session->OpenFrame();
        ASSERT_NE(m_frame, nullptr);
        m_tree = CArbTreeView::Get();
        m_list = CArbListView::Get();
        ASSERT_TRUE(m_tree && m_list);
        m_driver = std::make_unique<WindowTreeDriver>(*m_frame, *m_tree);
    }

    void CloseWindow()
    {
        PumpUntil([] { return GetRunningThreadCount() == 0; }, std::chrono::seconds(30));
        m_driver.reset();
        m_session.reset();
    }

    void TearDown() override
    {
        CloseWindow();
        TempHomeTest::TearDown();
    }

    // As the menu bar asks before it shows the item.
    bool IsMenuEnabled(uint32_t command)
    {
        wxUpdateUIEvent event(ui::WxId(command));
        event.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(event);
        return event.GetSetEnabled() && event.GetEnabled();
    }

    // As choosing the menu bar's item does.
    void Choose(uint32_t command)
    {
        wxCommandEvent event(wxEVT_MENU, ui::WxId(command));
        event.SetEventObject(m_frame);
        m_frame->ProcessWindowEvent(event);
    }

    std::unique_ptr<uitest::ProgramSession> m_session;
    CArbMainFrame* m_frame = nullptr;
    CArbTreeView* m_tree = nullptr;
    CArbListView* m_list = nullptr;
    std::unique_ptr<WindowTreeDriver> m_driver;
};

} // namespace frametest
