// Copy and paste in the whole main window against two real servers: what a
// copy puts on the X clipboard as another client (xclip) reads it while the
// program's loop runs, and an entry pasted onto an entry of the other
// server, read back there with ldapsearch.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <wx/clipbrd.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/uiaction.h>

#include "base/Archive.h"
#include "jobs/CLDAPThread.h"
#include "model/clipboard/CArbClipboard.h"
#include "model/entries/CServerObject.h"
#include "model/profiles/CServerProfile.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/support/gui/XClipboard.h"
#include "tests/ui/FrameTestSupport.h"
#include "tests/ui/WindowTreeDriver.h"
#include "ui/CArbListView.h"
#include "ui/CArbTreeView.h"
#include "ui/COutputList.h"
#include "widgets/WxCommandIds.h"

namespace {

const wchar_t* const kLab = L"Lab";
const wchar_t* const kElsewhere = L"Elsewhere";
const char* const kOwnFormat = "Vellumar Tessaline 2.1 clipboard format";
const char* const kElsewhereAdmin = "cn=admin,o=elsewhere";
const char* const kPastedDN = "cn=Copied Person,ou=people,o=elsewhere";

// What ldapsearch prints for a base search of dn on the server at port, as
// its administrator; empty when there is no such entry.
std::string LdapSearch(int port, const std::string& bindDN, const std::string& dn)
{
    const std::string command = "ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" + std::to_string(port) +
                                " -D '" + bindDN + "' -w " + testsupport::kAdminPassword + " -s base -b '" + dn +
                                "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// A dialog that comes up fails the test and is answered No (a copy that
// fails asks whether to go on).
class NoDialogs : public wxModalDialogHook {
public:
    NoDialogs() { Register(); }
    ~NoDialogs() override { Unregister(); }
    int Enter(wxDialog* dialog) override
    {
        ADD_FAILURE() << "a dialog came up: " << dialog->GetTitle().utf8_string();
        return wxID_NO;
    }
    void Exit(wxDialog*) override {}
};

class ClipboardWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        m_top = "ou=cw" + std::to_string(getpid()) + "," + live::kScratch;
        m_admin = live::OpenAdmin();
        auto* unit = new arbldap::LDAPAttributeList;
        unit->AddValue("objectClass", "organizationalUnit");
        unit->AddValue("ou", "cw" + std::to_string(getpid()));
        m_admin->Add(arbldap::LDAPEntry(m_top, unit));
        auto* person = new arbldap::LDAPAttributeList;
        person->AddValue("objectClass", "inetOrgPerson");
        person->AddValue("cn", "Copied Person");
        person->AddValue("sn", "Person");
        person->AddValue("mail", "copied@example.org");
        m_admin->Add(arbldap::LDAPEntry(SourceDN(), person));

        SaveBoundProfile(kLab, live::MainServer().Port(), m_top, testsupport::kAdminDN, testsupport::kAdminPassword);
        SaveBoundProfile(kElsewhere, live::SecondServer().Port(), "o=elsewhere", kElsewhereAdmin,
                         testsupport::kAdminPassword);
        ASSERT_NO_FATAL_FAILURE(OpenWindow());
        // Something else's text first: a copy that does not arrive leaves it.
        ASSERT_TRUE(wxTheClipboard->Open());
        wxTheClipboard->SetData(new wxTextDataObject("left by another program"));
        wxTheClipboard->Close();
    }

    void TearDown() override
    {
        CloseWindow();
        for (const std::string& dn : {SourceDN(), m_top})
            try {
                m_admin->Delete(dn);
            } catch (const arbldap::LDAPException&) {
            }
        try {
            RefPtr<arbldap::LDAPSyncConnection> second = live::OpenSync(live::SecondServer().Port());
            second->Bind(kElsewhereAdmin, testsupport::kAdminPassword);
            second->Delete(kPastedDN);
        } catch (const arbldap::LDAPException&) {
        }
        TempHomeTest::TearDown();
    }

    std::string SourceDN() const { return "cn=Copied Person," + m_top; }

    // The server's item, opened, and its child item with that text.
    platform::TreeItem OpenChild(const wchar_t* profile, const std::wstring& child)
    {
        const platform::TreeItem server = m_driver->ServerItem(profile);
        EXPECT_TRUE(server);
        if (!server)
            return platform::TreeItem();
        m_driver->Click(server);
        m_driver->Settle([&] { return m_driver->NodeOf(server)->IsChildrenLoaded() && bool(m_driver->Child(server, child)); });
        return m_driver->Child(server, child);
    }

    std::string m_top;
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
    NoDialogs m_noDialogs;
};

TEST_F(ClipboardWindowTest, AnEntryCopiedOnOneServerIsPastedOntoAnEntryOfAnother)
{
    const platform::TreeItem source = OpenChild(kLab, L"cn=Copied Person");
    ASSERT_TRUE(source);
    m_driver->Click(source);
    m_driver->Settle([&] { return m_list->GetItemCount() > 0; });
    EXPECT_TRUE(IsMenuEnabled(cmd::kEditCopy));
    Choose(cmd::kEditCopy);

    // Another X client finds both forms, while the program's loop runs.
    const uitest::XClipboardRead targets = uitest::ReadXClipboard("TARGETS");
    ASSERT_EQ(targets.exitCode, 0) << (targets.timedOut ? "xclip timed out" : "xclip failed");
    EXPECT_NE(targets.bytes.find(std::string(kOwnFormat) + "\n"), std::string::npos) << targets.bytes;
    EXPECT_EQ(uitest::ReadXClipboard("UTF8_STRING").bytes, SourceDN() + "\n");
    const uitest::XClipboardRead own = uitest::ReadXClipboard(kOwnFormat);
    ASSERT_EQ(own.exitCode, 0);
    CArbClipboardContext copied;
    CArchive archive(own.bytes);
    ASSERT_NO_THROW(copied.Serialize(archive));
    EXPECT_EQ(copied.GetDN().GetText(), SourceDN());
    auto* lab = dynamic_cast<CServerObject*>(m_driver->NodeOf(m_driver->ServerItem(kLab)));
    ASSERT_TRUE(lab && lab->GetSchema());
    EXPECT_EQ(copied.GetGuid(), lab->GetSchema()->GetHostGuid());

    // Onto the other server's people: the entry is made there.
    const platform::TreeItem people = OpenChild(kElsewhere, L"ou=people");
    ASSERT_TRUE(people);
    m_driver->Click(people);
    EXPECT_TRUE(IsMenuEnabled(cmd::kEditPaste));
    Choose(cmd::kEditPaste);
    m_driver->Settle([&] { return bool(m_driver->Child(people, L"cn=Copied Person")); });
    const std::string pasted = LdapSearch(live::SecondServer().Port(), kElsewhereAdmin, kPastedDN);
    EXPECT_NE(pasted.find("dn: " + std::string(kPastedDN)), std::string::npos) << pasted;
    EXPECT_NE(pasted.find("mail: copied@example.org"), std::string::npos) << pasted;
    EXPECT_NE(pasted.find("sn: Person"), std::string::npos) << pasted;
    // The source stays where it was.
    EXPECT_NE(LdapSearch(live::MainServer().Port(), testsupport::kAdminDN, SourceDN()).find("dn: "), std::string::npos);
    frametest::ScreenCapture(m_frame, "clipboard-pasted-on-another-server");
}

TEST_F(ClipboardWindowTest, CtrlCOnAValueRowPutsTheValueOnTheClipboard)
{
    const platform::TreeItem source = OpenChild(kLab, L"cn=Copied Person");
    ASSERT_TRUE(source);
    m_driver->Click(source);
    m_driver->Settle([&] { return m_list->GetItemCount() > 0; });
    long mailRow = -1;
    for (long row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->GetItemText(row, CArbListView::kNameColumn) == "mail")
            mailRow = row;
    ASSERT_GE(mailRow, 0);
    m_list->GetListWindow()->SetFocus();
    m_list->SetItemState(mailRow, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                         wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    frametest::PumpUntil([&] { return wxWindow::FindFocus() == m_list->GetListWindow(); }, std::chrono::seconds(5));
    frametest::Pump();
    // Edit > Copy as the value's own menu offers it.
    EXPECT_TRUE(IsMenuEnabled(cmd::kEditCopy));

    wxUIActionSimulator keys;
    keys.Char('c', wxMOD_CONTROL);
    const std::string expected = SourceDN() + "\nmail: copied@example.org\n\n";
    std::string text;
    frametest::PumpUntil([&] {
        text = uitest::ReadXClipboard("UTF8_STRING").bytes;
        return text == expected;
    }, std::chrono::seconds(5));
    EXPECT_EQ(text, expected);
}

// With the output window focused, copy takes its line, not the entry that
// is selected in the tree.
TEST_F(ClipboardWindowTest, TheOutputWindowCopiesItsOwnLine)
{
    const platform::TreeItem source = OpenChild(kLab, L"cn=Copied Person");
    ASSERT_TRUE(source);
    m_driver->Click(source);
    m_frame->ShowOutputBar();
    COutputList* output = m_frame->GetOutputList();
    ASSERT_NE(output, nullptr);
    output->AddLine("a line of the output window");
    output->SetSelection(static_cast<int>(output->GetLineCount()) - 1);
    output->SetFocus();
    frametest::PumpUntil([&] { return wxWindow::FindFocus() == output; }, std::chrono::seconds(5));
    EXPECT_TRUE(IsMenuEnabled(cmd::kEditCopy));
    Choose(cmd::kEditCopy);
    EXPECT_EQ(uitest::ReadXClipboard("UTF8_STRING").bytes, "a line of the output window");
}

} // namespace
