// The LDIF export dialog and the report wizard as a person meets them:
// their defaults, the buttons' rules, and files written from the windows,
// read back by independent readers.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/ExportPaths.h"
#include "dialogcore/ReportWriters.h"
#include "dialogs/CLdifExportDlg.h"
#include "dialogs/CReportFile.h"
#include "dialogs/CReportFormat.h"
#include "dialogs/CReportWizard.h"
#include "dialogs/WxNodeDialogs.h"
#include "jobs/CLDAPThread.h"
#include "platform/RegistryKey.h"
#include "platform/ResourceLibrary.h"
#include "platform/ShellPorts.h"
#include "shellcore/CRecentItemsList.h"
#include "shellcore/RegistryPaths.h"
#include "tests/dialogs/DialogsFixture.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

std::string Shell(const std::string& command)
{
    return testsupport::Run(command);
}
using uitest::WhenShown;

void Click(wxWindow& window, int id)
{
    wxWindow* button = window.FindWindow(id);
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

void ClickRadio(wxWindow& window, int id)
{
    auto* button = dynamic_cast<wxRadioButton*>(window.FindWindow(id));
    ASSERT_NE(button, nullptr) << id;
    button->SetValue(true);
    wxCommandEvent click(wxEVT_RADIOBUTTON, id);
    click.SetEventObject(button);
    click.SetInt(1);
    button->GetEventHandler()->ProcessEvent(click);
}

// A folder of its own that stands for the user's documents.
class ExportDialogs : public dialogtest::DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        m_documents = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "documents-" + std::to_string(getpid());
        Shell("rm -rf '" + m_documents + "' && mkdir -p '" + m_documents + "'");
        setenv("XDG_DOCUMENTS_DIR", m_documents.c_str(), 1);
        m_previousBox = platform::SetMessageBoxPort(m_box);
    }

    void TearDown() override
    {
        platform::SetMessageBoxPort(m_previousBox);
        unsetenv("XDG_DOCUMENTS_DIR");
        Shell("rm -rf '" + m_documents + "'");
        TempHomeTest::TearDown();
    }

    std::wstring Stored(const std::wstring& name)
    {
        platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
        std::wstring value;
        if (!key.Open(g_strSettingsKey) || !key.Read(name, value)) value.clear();
        return value;
    }

    std::string m_documents;
    std::shared_ptr<platform::ScriptedMessageBox> m_box = std::make_shared<platform::ScriptedMessageBox>();
    std::shared_ptr<platform::MessageBoxPort> m_previousBox;
};

TEST_F(ExportDialogs, LdifExportDialogDefaultsAndChoices)
{
    WxNodeDialogs dialogs;
    EXPECT_TRUE(dialogs.HasDialog(NodeDialog::LdifExport));
    WhenShown<CLdifExportDlg>([&](CLdifExportDlg& dialog) {
        EXPECT_EQ(dialog.GetTitle(), "LDIF Export [cn=x,o=y]");
        EXPECT_EQ(dialog.GetPathControl()->GetValue().ToStdString(), m_documents + "/x.ldif");
        EXPECT_EQ(dialog.GetFilterControl()->GetValue(), "(objectclass=*)");
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(1166))->GetValue());
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(1291))->GetValue());
        EXPECT_TRUE(dynamic_cast<wxCheckBox*>(dialog.FindWindow(1249))->GetValue());
        EXPECT_FALSE(dynamic_cast<wxCheckBox*>(dialog.FindWindow(1331))->GetValue());
        // The default-filter button puts the profile's filter back.
        dialog.GetFilterControl()->ChangeValue("(cn=changed)");
        Click(dialog, 1023);
        EXPECT_EQ(dialog.GetFilterControl()->GetValue(), "(objectclass=*)");
        uitest::Screenshot(dialog, "ldif-export-dialog");
        dialog.GetPathControl()->ChangeValue(wxString::FromUTF8((m_documents + "/sub/file.ldif").c_str()));
        dialog.GetFilterControl()->ChangeValue("(cn=a*)");
        ClickRadio(dialog, 1168);
        ClickRadio(dialog, 1292);
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(1249))->SetValue(false);
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(1331))->SetValue(true);
        Click(dialog, 1169);
    });
    LdifExportChoice choice;
    ASSERT_TRUE(dialogs.AskLdifExport(L"LDIF Export [cn=x,o=y]", L"x.ldif", "(objectclass=*)", choice));
    EXPECT_EQ(WideToUtf8Text(choice.path), m_documents + "/sub/file.ldif");
    EXPECT_EQ(choice.scope, 2);
    EXPECT_EQ(choice.output, 1);
    EXPECT_FALSE(choice.firstOption);
    EXPECT_TRUE(choice.secondOption);
    EXPECT_EQ(choice.filter, "(cn=a*)");
    EXPECT_EQ(WideToUtf8Text(Stored(L"LDIFExportFilePath")), m_documents + "/sub/");
    CRecentItemsList filters(platform::RegRoot::CurrentUser, g_strRecentFiltersKey);
    std::vector<std::wstring> recent;
    filters.GetRecentStrings(recent, -1);
    EXPECT_EQ(recent, std::vector<std::wstring>{L"(cn=a*)"});

    // The next dialog proposes the folder used last; Cancel is false.
    WhenShown<CLdifExportDlg>([&](CLdifExportDlg& dialog) {
        EXPECT_EQ(dialog.GetPathControl()->GetValue().ToStdString(), m_documents + "/sub/y.ldif");
        Click(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(dialogs.AskLdifExport(L"LDIF Export [cn=y,o=y]", L"y.ldif", "(objectclass=*)", choice));
}

// A virtual list, as the search dialog's result list is: rows come from
// OnGetItemText, not from the control's own items.
class VirtualList : public wxListCtrl {
public:
    VirtualList(wxWindow* parent, std::vector<std::vector<std::wstring>> rows,
                const std::vector<std::wstring>& headings)
        : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(400, 200), wxLC_REPORT | wxLC_VIRTUAL),
          m_rows(std::move(rows))
    {
        for (size_t c = 0; c < headings.size(); ++c) AppendColumn(wxString(headings[c]));
        SetItemCount(static_cast<long>(m_rows.size()));
    }
    wxString OnGetItemText(long item, long column) const override
    {
        return wxString(m_rows[static_cast<size_t>(item)][static_cast<size_t>(column)]);
    }

private:
    std::vector<std::vector<std::wstring>> m_rows;
};

std::tm NinthOfDecember()
{
    std::tm date{};
    date.tm_year = 2026 - 1900;
    date.tm_mon = 11;
    date.tm_mday = 9;
    return date;
}

class ReportWizardTest : public ExportDialogs {
protected:
    void SetUp() override
    {
        ExportDialogs::SetUp();
        m_previousClock = SetReportClock(&NinthOfDecember);
        m_frame = new wxFrame(nullptr, wxID_ANY, "results");
        m_frame->Show();
        // A mail program that records what it was asked.
        m_bin = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "mailbin-" + std::to_string(getpid());
        Shell("rm -rf '" + m_bin + "' && mkdir -p '" + m_bin + "'");
        m_mailRecord = m_bin + "/mail.txt";
        std::ofstream(m_bin + "/xdg-email") << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                             << m_mailRecord << ".part' && mv '" << m_mailRecord << ".part' '"
                                             << m_mailRecord << "'\n";
        chmod((m_bin + "/xdg-email").c_str(), 0755);
        m_path = getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin";
        setenv("PATH", (m_bin + ":" + m_path).c_str(), 1);
    }

    void TearDown() override
    {
        setenv("PATH", m_path.c_str(), 1);
        m_frame->Destroy();
        uitest::RunFor(10);
        SetReportClock(m_previousClock);
        Shell("rm -rf '" + m_bin + "'");
        ExportDialogs::TearDown();
    }

    VirtualList* List(std::vector<std::vector<std::wstring>> rows,
                      std::vector<std::wstring> headings = {L"DN", L"cn", L"mail"})
    {
        delete m_list;
        m_list = new VirtualList(m_frame, std::move(rows), headings);
        return m_list;
    }

    // Waits up to a few seconds for the mail program's record.
    std::string MailRecord()
    {
        for (int i = 0; i < 100 && access(m_mailRecord.c_str(), F_OK) != 0; ++i) uitest::RunFor(30);
        return testsupport::ReadBytes(m_mailRecord);
    }

    wxFrame* m_frame = nullptr;
    VirtualList* m_list = nullptr;
    ReportClock m_previousClock = nullptr;
    std::string m_bin;
    std::string m_mailRecord;
    std::string m_path;
};

const std::vector<std::vector<std::wstring>> kRows = {
    {L"cn=a,o=lab", L"a", L"a@example.org"},
    {L"cn=Jos\u00e9,o=lab", L"Jos\u00e9", L""},
    {L"cn=\"q\",o=lab", L"say \"hi\", <b>&</b>", L"x\ty"},
};

TEST_F(ReportWizardTest, DefaultNameExtensionSwitchAndFinishEnabling)
{
    CReportWizard wizard("Report Wizard", List(kRows), L"cn=x,o=y", m_frame);
    wizard.Show();
    uitest::RunUntil([&] { return wizard.IsShownOnScreen(); }, 3000);
    uitest::RunFor(100);
    EXPECT_EQ(wizard.GetActiveIndex(), CReportWizard::kFormatPage);
    EXPECT_FALSE(wizard.GetButton(CReportWizard::kIdBack)->IsEnabled());
    EXPECT_TRUE(wizard.GetButton(CReportWizard::kIdNext)->IsEnabled());
    EXPECT_FALSE(wizard.GetButton(CReportWizard::kIdFinish)->IsShown());
    uitest::Screenshot(wizard, "report-wizard-format");

    ClickRadio(*wizard.GetFormatPage(), 1225);  // CSV
    EXPECT_EQ(wizard.GetFormat(), ReportFormat::Csv);
    Click(wizard, CReportWizard::kIdNext);
    ASSERT_EQ(wizard.GetActiveIndex(), CReportWizard::kFilePage);
    wxTextCtrl* path = wizard.GetFilePage()->GetPathControl();
    EXPECT_EQ(path->GetValue().ToStdString(), m_documents + "/December-09-2026(cn=x).csv");
    EXPECT_TRUE(wizard.GetButton(CReportWizard::kIdFinish)->IsEnabled());
    EXPECT_TRUE(wizard.GetButton(CReportWizard::kIdBack)->IsEnabled());
    EXPECT_FALSE(wizard.GetButton(CReportWizard::kIdNext)->IsEnabled());
    uitest::RunFor(100);
    uitest::Screenshot(wizard, "report-wizard-file");

    // CSV, back, HTML: the extension follows; a full stop in the folder stays.
    path->ChangeValue("/tmp/a.folder/report.csv");
    Click(wizard, CReportWizard::kIdBack);
    ClickRadio(*wizard.GetFormatPage(), 1226);
    Click(wizard, CReportWizard::kIdNext);
    EXPECT_EQ(path->GetValue(), "/tmp/a.folder/report.html");

    // An empty path disables Finish.
    path->SetValue("");
    EXPECT_FALSE(wizard.GetButton(CReportWizard::kIdFinish)->IsEnabled());
    path->SetValue("/tmp/x");
    EXPECT_TRUE(wizard.GetButton(CReportWizard::kIdFinish)->IsEnabled());
    EXPECT_TRUE(m_box->asked.empty()) << "the mail program was found";
}

TEST_F(ReportWizardTest, AnEmptyBaseDNIsTheRootDSE)
{
    CReportWizard wizard("Report Wizard", List(kRows), L"", m_frame, CReportWizard::kFilePage);
    EXPECT_EQ(wizard.GetBaseDN(), L"RootDSE");
    EXPECT_EQ(wizard.GetFilePage()->GetPathControl()->GetValue().ToStdString(),
              m_documents + "/December-09-2026(RootDSE).txt");
}

TEST_F(ReportWizardTest, FinishWritesTheListsRowsAndMailsTheFile)
{
    CReportWizard wizard("Report Wizard", List(kRows), L"o=lab", m_frame);
    ClickRadio(*wizard.GetFormatPage(), 1225);
    Click(wizard, CReportWizard::kIdNext);
    const std::string file = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "wizard-report.csv";
    unlink(file.c_str());
    unlink(m_mailRecord.c_str());
    wizard.GetFilePage()->GetPathControl()->SetValue(wxString::FromUTF8(file.c_str()));
    wizard.GetFilePage()->GetMailControl()->SetValue(true);
    EXPECT_TRUE(wizard.GetFilePage()->Finish());
    // The rows are the list's, headings first.
    const std::string csv = testsupport::ReadBytes(file);
    EXPECT_EQ(csv.rfind("\"DN\",\"cn\",\"mail\"\r\n\"cn=a,o=lab\",\"a\",\"a@example.org\"\r\n", 0), 0u) << csv;
    EXPECT_NE(csv.find("\"cn=\"\"q\"\",o=lab\",\"say \"\"hi\"\", <b>&</b>\",\"x\ty\"\r\n"), std::string::npos);
    EXPECT_EQ(wizard.GetCellCount(), 12u);
    EXPECT_EQ(WideToUtf8Text(Stored(L"ReportWizardFilePath")), testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR));
    char absolute[4096];
    ASSERT_NE(realpath(file.c_str(), absolute), nullptr);
    EXPECT_EQ(MailRecord(), "--subject\nSearch Result for 'o=lab' on December 09, 2026\n--attach\n" +
                                std::string(absolute) + "\n");
}

TEST_F(ReportWizardTest, AnUnwritablePathShows606AndMailsNothing)
{
    CReportWizard wizard("Report Wizard", List(kRows), L"o=lab", m_frame, CReportWizard::kFilePage);
    const std::string file = "/nonexistent-" + std::to_string(getpid()) + "/report.txt";
    unlink(m_mailRecord.c_str());
    wizard.GetFilePage()->GetPathControl()->SetValue(file);
    wizard.GetFilePage()->GetMailControl()->SetValue(true);
    EXPECT_FALSE(wizard.GetFilePage()->Finish());
    EXPECT_TRUE(wizard.GetFilePage()->HasWriteError());
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_EQ(m_box->asked[0].text, L"The report file " + Utf8ToWideString(file) + L" cannot be written.");
    uitest::RunFor(300);
    EXPECT_NE(access(m_mailRecord.c_str(), F_OK), 0) << "no mail";
}

TEST_F(ReportWizardTest, WithoutTheMailProgramThePageSaysSoAndStaysUsable)
{
    setenv("PATH", "/nonexistent-bin", 1);
    CReportWizard wizard("Report Wizard", List(kRows), L"o=lab", m_frame, CReportWizard::kFilePage);
    setenv("PATH", (m_bin + ":" + m_path).c_str(), 1);
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_NE(m_box->asked[0].text.find(L"mail support cannot be loaded"), std::wstring::npos);
    EXPECT_FALSE(wizard.GetFilePage()->HasMailSupport());
    const std::string file = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "wizard-nomail.txt";
    wizard.GetFilePage()->GetPathControl()->SetValue(wxString::FromUTF8(file.c_str()));
    wizard.GetFilePage()->GetMailControl()->SetValue(true);
    unlink(m_mailRecord.c_str());
    EXPECT_TRUE(wizard.GetFilePage()->Finish());
    EXPECT_EQ(testsupport::ReadBytes(file).rfind("\"DN\"\t\"cn\"\t\"mail\"\r\n", 0), 0u);
    uitest::RunFor(300);
    EXPECT_NE(access(m_mailRecord.c_str(), F_OK), 0) << "no mail";
}

TEST_F(ReportWizardTest, TheProgressRangeDoesNotWrapAboveSixtyFiveThousandCells)
{
    std::vector<std::vector<std::wstring>> rows;
    for (int i = 0; i < 22000; ++i) rows.push_back({L"cn=" + std::to_wstring(i), L"x", L"y"});
    CReportWizard wizard("Report Wizard", List(rows), L"o=lab", m_frame);
    ClickRadio(*wizard.GetFormatPage(), 1224);  // Excel
    Click(wizard, CReportWizard::kIdNext);
    const std::string file = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "wizard-many.xlsx";
    wizard.GetFilePage()->GetPathControl()->SetValue(wxString::FromUTF8(file.c_str()));
    EXPECT_TRUE(wizard.GetFilePage()->Finish());
    EXPECT_EQ(wizard.GetCellCount(), 66003u);
    EXPECT_EQ(wizard.GetFilePage()->GetProgressControl()->GetRange(), 66003);
    EXPECT_EQ(wizard.GetFilePage()->GetLastProgress(), 66003);
    const std::string count = Shell("/usr/bin/python3 -c \"import openpyxl; print(openpyxl.load_workbook('" + file +
                                  "').worksheets[0].max_row)\"");
    EXPECT_EQ(count, "22001\n");
}

TEST_F(ReportWizardTest, TheLdifReportReadsTheRowsEntriesAgainAndSkipsTheGoneOnes)
{
    live::LogCapture log;
    const std::vector<std::vector<std::wstring>> rows = {
        {L"ou=people,o=lab", L"", L""},
        {L"cn=nobody-here,ou=people,o=lab", L"", L""},
        {L"cn=Alice Example,ou=people,o=lab", L"", L""},
    };
    arbldap::LDAPConnectionPtr connection = live::Open(live::MainServer().Port());
    {
        CReportWizard wizard("Report Wizard", List(rows), L"o=lab", m_frame, CReportWizard::kFormatPage,
                             connection);
        ClickRadio(*wizard.GetFormatPage(), 1227);
        Click(wizard, CReportWizard::kIdNext);
        const std::string file = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "wizard-report.ldif";
        unlink(file.c_str());
        EXPECT_EQ(wizard.GetFilePage()->GetPathControl()->GetValue().AfterLast('.'), "ldif");
        wizard.GetFilePage()->GetPathControl()->SetValue(wxString::FromUTF8(file.c_str()));
        EXPECT_TRUE(wizard.GetFilePage()->Finish());
        const std::string text = testsupport::ReadBytes(file);
        EXPECT_EQ(text.rfind("version: 1\ndn: ou=people,o=lab\n", 0), 0u) << text.substr(0, 200);
        EXPECT_NE(text.find("\n\ndn: cn=Alice Example,ou=people,o=lab\n"), std::string::npos);
        EXPECT_EQ(text.find("nobody-here"), std::string::npos);
        EXPECT_TRUE(log.Contains(L"cn=nobody-here,ou=people,o=lab")) << "the gone entry is logged";
        // The file loads into a fresh server.
        std::unique_ptr<testsupport::SlapdServer> fresh = testsupport::SlapdServer::Fresh(
            "o=lab", "dn: o=lab\nobjectClass: organization\no: lab\n\n");
        Shell("ldapadd -x -D cn=admin,o=lab -w secret -H ldap://127.0.0.1:" + std::to_string(fresh->Port()) +
            " -f '" + file + "' 2>&1");
        EXPECT_EQ(Shell("ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" + std::to_string(fresh->Port()) +
                      " -b 'cn=Alice Example,ou=people,o=lab' -s base mail"),
                  "dn: cn=Alice Example,ou=people,o=lab\nmail: alice@example.org\n\n");
    }
    EXPECT_TRUE(WaitForAllThreads(std::chrono::seconds(5)));
}

TEST_F(ReportWizardTest, AFailedLdifReportSaysSoAndWritesNoFile)
{
    // A connection to a port nobody listens on.
    arbldap::LDAPConnectionPtr connection = live::Open(testsupport::FreePort());
    CReportWizard wizard("Report Wizard", List(kRows), L"o=lab", m_frame, CReportWizard::kFormatPage, connection);
    ClickRadio(*wizard.GetFormatPage(), 1227);
    Click(wizard, CReportWizard::kIdNext);
    const std::string file = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "wizard-failed.ldif";
    std::ofstream(file) << "earlier\n";
    wizard.GetFilePage()->GetPathControl()->SetValue(wxString::FromUTF8(file.c_str()));
    wizard.GetFilePage()->GetMailControl()->SetValue(true);
    unlink(m_mailRecord.c_str());
    EXPECT_FALSE(wizard.GetFilePage()->Finish());
    EXPECT_TRUE(wizard.GetFilePage()->HasWriteError());
    ASSERT_EQ(m_box->asked.size(), 1u);
    EXPECT_NE(m_box->asked[0].text.find(L"[ERROR"), std::wstring::npos) << WideToUtf8Text(m_box->asked[0].text);
    EXPECT_EQ(testsupport::ReadBytes(file), "earlier\n");
    uitest::RunFor(300);
    EXPECT_NE(access(m_mailRecord.c_str(), F_OK), 0) << "no mail of an older file";
    EXPECT_TRUE(WaitForAllThreads(std::chrono::seconds(5)));
}

} // namespace
