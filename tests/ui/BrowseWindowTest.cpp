// The whole main window against the demonstration directory: the password
// typed into the real prompt, the tree opened down to a person, the list
// showing that person's attributes, and a wrong password reported in the
// tree and in the output window.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <wx/modalhook.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "dialogs/CPasswordDlg.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CAttrObject.h"
#include "model/nodes/CDataObject.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "tests/support/DemoServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "tests/ui/WindowTreeDriver.h"
#include "ui/CArbListView.h"
#include "ui/CArbStatusBar.h"
#include "ui/CArbTreeView.h"
#include "ui/COutputList.h"

namespace {

const wchar_t* const kGoodProfile = L"Demo as admin";
const wchar_t* const kBadProfile = L"Demo with a mistyped password";

// The password prompts that come up, answered by typing into them.
class PromptAnswers : public wxModalDialogHook {
public:
    PromptAnswers() { Register(); }
    ~PromptAnswers() override { Unregister(); }

    // The next prompt gets this typed, then OK.
    void TypeNext(const std::string& password) { m_password = password; }
    int Prompts() const { return m_prompts; }

    int Enter(wxDialog* dialog) override
    {
        auto* prompt = dynamic_cast<CPasswordDlg*>(dialog);
        if (!prompt) return wxID_NONE;
        ++m_prompts;
        const std::string password = m_password;
        prompt->CallAfter([prompt, password] {
            wxTextCtrl* field = prompt->GetPasswordControl();
            field->SetFocus();
            uitest::RunFor(50);
            wxUIActionSimulator keys;
            keys.Text(password.c_str());
            uitest::RunUntil([&] { return field->GetValue() == wxString(password); }, 3000);
            if (field->GetValue() != wxString(password)) field->ChangeValue(wxString(password));
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(prompt->FindWindow(wxID_OK));
            prompt->FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}

private:
    std::string m_password;
    int m_prompts = 0;
};

class BrowseWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        for (const wchar_t* name : {kGoodProfile, kBadProfile})
            SaveBoundProfile(name, m_demo->Port(), testsupport::DemoServer::Suffix(),
                             testsupport::DemoServer::AdminDN(), nullptr);
        ASSERT_NO_FATAL_FAILURE(OpenWindow());
        m_frame->ShowOutputBar();
    }
    void TearDown() override
    {
        CloseWindow();
        m_demo.reset();
        TempHomeTest::TearDown();
    }

    CDataObject* NodeOf(platform::TreeItem item) { return m_driver->NodeOf(item); }
    platform::TreeItem Child(platform::TreeItem parent, const std::wstring& text) { return m_driver->Child(parent, text); }
    platform::TreeItem ServerItem(const std::wstring& name) { return m_driver->ServerItem(name); }
    void Click(platform::TreeItem item) { m_driver->Click(item); }
    void Settle(const std::function<bool()>& done) { m_driver->Settle(done); }

    std::vector<std::wstring> ListColumn(int column)
    {
        std::vector<std::wstring> texts;
        for (long row = 0; row < m_list->GetItemCount(); ++row)
            texts.push_back(m_list->GetItemText(row, column).ToStdWstring());
        return texts;
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
    PromptAnswers m_prompts;
};

TEST_F(BrowseWindowTest, ThePasswordTypedInThePromptOpensTheServerDownToAPersonsAttributes)
{
    const platform::TreeItem server = ServerItem(kGoodProfile);
    ASSERT_TRUE(server);
    m_prompts.TypeNext(testsupport::DemoServer::AdminPassword());
    Click(server);
    EXPECT_EQ(m_prompts.Prompts(), 1);
    Settle([&] { return NodeOf(server)->IsChildrenLoaded() && bool(Child(server, L"ou=people")); });

    const platform::TreeItem people = Child(server, L"ou=people");
    ASSERT_TRUE(people);
    Click(people);
    Settle([&] { return NodeOf(people)->IsChildrenLoaded() && bool(Child(people, L"uid=ada")); });
    const platform::TreeItem ada = Child(people, L"uid=ada");
    ASSERT_TRUE(ada);
    Click(ada);
    Settle([&] { return NodeOf(ada)->IsChildrenLoaded() && m_list->GetItemCount() > 0; });

    // A leaf: no entries below it, its attribute values in the list.
    EXPECT_FALSE(m_tree->GetPort().ItemHasChildren(ada));
    const std::vector<std::wstring> names = ListColumn(CArbListView::kNameColumn);
    const std::vector<std::wstring> values = ListColumn(CArbListView::kValueColumn);
    auto valueOf = [&](const std::wstring& name) {
        auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? std::wstring(L"(missing)") : values[it - names.begin()];
    };
    EXPECT_EQ(valueOf(L"cn"), L"Ada Lovelace");
    EXPECT_EQ(valueOf(L"mail"), L"ada@example.org");
    EXPECT_EQ(valueOf(L"telephoneNumber"), L"+44 20 7946 0101");
    EXPECT_NE(std::find(values.begin(), values.end(), L"inetOrgPerson"), values.end());
    EXPECT_EQ(m_prompts.Prompts(), 1);  // asked once, for the bind
    // The server's schema was read for it: the schema pane says so once the read ends.
    CArbStatusBar* status = m_frame->GetArbStatusBar();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(frametest::PumpUntil([&] { return status->GetStatusText(CArbStatusBar::kSchema) == "Schema loaded"; },
                                     std::chrono::seconds(10)))
        << status->GetStatusText(CArbStatusBar::kSchema);
    frametest::ScreenCapture(m_frame, "browse-window");
}

TEST_F(BrowseWindowTest, AWrongPasswordGivesAnErrorNodeAndItsLineInTheOutputWindow)
{
    const platform::TreeItem server = ServerItem(kBadProfile);
    ASSERT_TRUE(server);
    m_prompts.TypeNext("not the password");
    Click(server);
    EXPECT_EQ(m_prompts.Prompts(), 1);
    // The error node under the server, and no entries.
    const std::wstring error = L"[ERROR 49] Invalid credentials";
    Settle([&] { return bool(Child(server, error)); });
    const platform::TreeItem errorItem = Child(server, error);
    ASSERT_TRUE(errorItem);
    EXPECT_EQ(NodeOf(errorItem)->GetType(), 4);
    EXPECT_FALSE(bool(Child(server, L"ou=people")));

    COutputList* output = m_frame->GetOutputList();
    ASSERT_NE(output, nullptr);
    auto logged = [&] {
        for (size_t i = 0; i < output->GetLineCount(); ++i)
            if (output->GetLine(i).ToStdWstring() == error) return true;
        return false;
    };
    EXPECT_TRUE(frametest::PumpUntil(logged, std::chrono::seconds(10)));
    frametest::ScreenCapture(m_frame, "browse-window-wrong-password");
}

} // namespace
