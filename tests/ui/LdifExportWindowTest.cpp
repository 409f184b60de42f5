// The LDIF export from the main window against the demonstration
// directory: the command enabled on an entry, its dialog answered, and the
// file loaded into a fresh server, where it reads as the source does.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <wx/modalhook.h>
#include <wx/textctrl.h>

#include "dialogs/CLdifExportDlg.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "shellcore/FrameCommands.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/DemoServer.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "tests/ui/WindowTreeDriver.h"
#include "widgets/WxCommandIds.h"

namespace {

std::string Shell(const std::string& command)
{
    return testsupport::Run(command);
}
const wchar_t* const kProfile = L"Demo as admin";

// The export dialog, answered with a path and Export.
class ExportAnswer : public wxModalDialogHook {
public:
    ExportAnswer() { Register(); }
    ~ExportAnswer() override { Unregister(); }
    void SetPath(const std::string& path) { m_path = path; }
    int Shown() const { return m_shown; }
    std::string Proposed() const { return m_proposed; }

    int Enter(wxDialog* dialog) override
    {
        auto* exportDialog = dynamic_cast<CLdifExportDlg*>(dialog);
        if (!exportDialog) return wxID_NONE;
        ++m_shown;
        const std::string path = m_path;
        exportDialog->CallAfter([this, exportDialog, path] {
            m_proposed = exportDialog->GetPathControl()->GetValue().utf8_string();
            uitest::RunUntil([&] { return exportDialog->IsShownOnScreen(); }, 3000);
            uitest::RunFor(150);
            frametest::ScreenCapture(exportDialog, "ldif-export-from-window");
            exportDialog->GetPathControl()->ChangeValue(wxString::FromUTF8(path.c_str()));
            wxCommandEvent click(wxEVT_BUTTON, 1169);
            click.SetEventObject(exportDialog->FindWindow(1169));
            exportDialog->FindWindow(1169)->GetEventHandler()->ProcessEvent(click);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}

private:
    std::string m_path;
    std::string m_proposed;
    int m_shown = 0;
};

class LdifExportWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        SaveBoundProfile(kProfile, m_demo->Port(), testsupport::DemoServer::Suffix(),
                         testsupport::DemoServer::AdminDN(), testsupport::DemoServer::AdminPassword().c_str());
        ASSERT_NO_FATAL_FAILURE(OpenWindow());
    }
    void TearDown() override
    {
        CloseWindow();
        m_demo.reset();
        TempHomeTest::TearDown();
    }

    std::unique_ptr<testsupport::DemoServer> m_demo;
    ExportAnswer m_answer;
};

TEST_F(LdifExportWindowTest, AnEntryExportedFromTheWindowLoadsIntoAFreshServerUnchanged)
{
    const platform::TreeItem server = m_driver->ServerItem(kProfile);
    ASSERT_TRUE(server);
    m_driver->Click(server);
    m_driver->Settle([&] { return m_driver->NodeOf(server)->IsChildrenLoaded() && bool(m_driver->Child(server, L"ou=people")); });
    const platform::TreeItem people = m_driver->Child(server, L"ou=people");
    ASSERT_TRUE(people);
    m_driver->Click(people);
    m_driver->Settle([&] { return m_driver->NodeOf(people)->IsChildrenLoaded(); });
    EXPECT_TRUE(IsMenuEnabled(cmd::kExportLDIF));

    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/export/";
    Shell("mkdir -p '" + folder + "'");
    const std::string path = folder + "window-people.ldif";
    unlink(path.c_str());
    m_answer.SetPath(path);
    Choose(cmd::kExportLDIF);
    EXPECT_EQ(m_answer.Shown(), 1);
    EXPECT_EQ(m_answer.Proposed().substr(m_answer.Proposed().rfind('/') + 1), "people.ldif");
    ASSERT_TRUE(frametest::PumpUntilNoJobs());
    ASSERT_TRUE(frametest::PumpUntil([&] { return access(path.c_str(), F_OK) == 0; }));

    const std::string base = "ou=people," + testsupport::DemoServer::Suffix();
    const std::string source = Shell("ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" +
                                   std::to_string(m_demo->Port()) + " -D '" + testsupport::DemoServer::AdminDN() +
                                   "' -w '" + testsupport::DemoServer::AdminPassword() + "' -b '" + base +
                                   "' -s sub '(objectclass=*)'");
    std::ofstream(folder + "window-people.source.ldif") << source;
    std::unique_ptr<testsupport::SlapdServer> fresh = testsupport::SlapdServer::Fresh(
        testsupport::DemoServer::Suffix(), "dn: " + testsupport::DemoServer::Suffix() +
                                               "\nobjectClass: dcObject\nobjectClass: organization\ndc: example\no: example\n\n");
    Shell("ldapadd -x -D 'cn=admin," + testsupport::DemoServer::Suffix() + "' -w secret -H ldap://127.0.0.1:" +
        std::to_string(fresh->Port()) + " -f '" + path + "' 2>&1");
    const std::string loaded = Shell("ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" +
                                   std::to_string(fresh->Port()) + " -D 'cn=admin," +
                                   testsupport::DemoServer::Suffix() + "' -w secret -b '" + base +
                                   "' -s sub '(objectclass=*)'");
    EXPECT_EQ(testsupport::LdifRecords(loaded), testsupport::LdifRecords(source));
    EXPECT_GT(testsupport::LdifRecords(source).size(), 2u);
}

} // namespace
