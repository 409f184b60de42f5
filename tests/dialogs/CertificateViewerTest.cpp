// The certificate viewer on the test server's own certificate: every row,
// the details pane's face, and Save.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/CX509Certificate.h"
#include "dialogcore/CertificateRows.h"
#include "dialogs/CX509CertSheet.h"
#include "dialogs/CX509InfoProppage.h"
#include "dialogs/WxNodeDialogs.h"
#include "model/ports/ResourceText.h"
#include "platform/FileText.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/ScriptedNodeDialogs.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using uitest::WhenShown;

constexpr int kAccept = -3;  // the desktop box's accept and cancel
constexpr int kCancel = -6;

class CertificateViewerTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        uitest::Modals();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        const std::string pem = testsupport::SlapdServer::Main().CertFolder() + "cacerts.pem";
        m_bytes = testsupport::PemFileToDer(pem, m_folder.Path());
        m_der = m_folder.Path() + "/converted.der";
        m_previous = SetNodeDialogPort(std::make_shared<WxNodeDialogs>());
    }
    void TearDown() override
    {
        SetNodeDialogPort(m_previous);
        TempHomeTest::TearDown();
    }

    void Select(wxListCtrl& list, long row)
    {
        list.SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        uitest::RunFor(50);
    }

    void ClickSave(CX509InfoProppage& page)
    {
        wxCommandEvent click(wxEVT_BUTTON, page.GetSaveButton()->GetId());
        click.SetEventObject(page.GetSaveButton());
        page.GetSaveButton()->GetEventHandler()->ProcessEvent(click);
    }

    testsupport::TempFolder m_folder;
    std::string m_der;
    std::string m_bytes;
    std::shared_ptr<NodeDialogPort> m_previous;
    platform::HeadlessShell shell;
};

TEST_F(CertificateViewerTest, EveryRowTheFixedWidthDetailsAndSave)
{
    CX509Certificate reference;
    ASSERT_EQ(reference.Load(m_bytes), 0);
    reference.SetUpperCase(true);
    reference.SetSeparator(L' ');
    const std::string saved = m_folder.Path() + "/dump.txt";
    bool ran = false;
    WhenShown<CX509CertSheet>([&](CX509CertSheet& sheet) {
        ran = true;
        EXPECT_EQ(sheet.GetTitle(), "Certificates of cn=server,o=lab");
        EXPECT_EQ(sheet.FindWindow(wxID_APPLY), nullptr) << "nothing to apply";
        ASSERT_EQ(sheet.GetPageCount(), 2);
        EXPECT_EQ(sheet.GetBookCtrl()->GetSelection(), 1);
        auto* page = dynamic_cast<CX509InfoProppage*>(sheet.GetPageWindow(1));
        ASSERT_NE(page, nullptr);
        wxListCtrl& list = *page->GetList();
        ASSERT_EQ(list.GetItemCount(), 15);
        EXPECT_EQ(list.GetColumnCount(), 2);
        const unsigned labels[] = {241, 239, 256, 245, 247, 249, 252, 254, 258, 260, 261, 268, 263, 264, 266};
        const std::vector<CertificateRow> rows = MakeCertificateRows(reference);
        for (long row = 0; row < 15; ++row) {
            EXPECT_EQ(list.GetItemText(row, 0), wxString(LoadResourceText(labels[row]))) << row;
            EXPECT_EQ(list.GetItemText(row, 1), wxString(rows[row].text)) << row;
            EXPECT_EQ(list.GetItemText(row, 1).Find('\n'), wxNOT_FOUND) << row;
        }
        EXPECT_EQ(list.GetItemText(0, 1), "V3");
        const int bits = reference.GetPublicKeyBits();
        EXPECT_EQ(list.GetItemText(7, 1), bits == -1 ? std::string("N/A") : "rsaEncryption (" + std::to_string(bits) + " bits)");
        // The widths leave room for the scroll bar.
        EXPECT_LE(list.GetColumnWidth(0) + list.GetColumnWidth(1), list.GetClientSize().GetWidth());
        // Fixed-width details for the serial, signature and fingerprint rows only.
        for (long row : {1L, 2L, 8L, 0L, 3L, 13L, 9L}) {
            Select(list, row);
            EXPECT_EQ(page->GetDetails()->GetValue(), wxString::FromUTF8(rows[row].details)) << row;
            const bool fixed = row == 1 || row == 2 || row == 8;
            EXPECT_EQ(page->IsDetailsFixedWidth(), fixed) << row;
            wxTextAttr style;
            if (page->GetDetails()->GetStyle(0, style) && style.HasFont())
                EXPECT_EQ(style.GetFont().GetFamily() == wxFONTFAMILY_TELETYPE, fixed) << row;
            if (row == 8) uitest::Screenshot(sheet, "certificate-viewer-fingerprints");
            if (row == 13) {
                list.EnsureVisible(14);
                uitest::RunFor(100);
                uitest::Screenshot(sheet, "certificate-viewer-extensions");
            }
            if (row == 3) {
                // The issuer's RDNs one a line.
                EXPECT_EQ(page->GetDetails()->GetValue(), wxString(NameLines(reference.GetIssuer())));
                uitest::Screenshot(sheet, "certificate-viewer-issuer");
            }
        }
        // Save: the proposed name is the page's title; the dump is the library's text.
        WhenShown<wxFileDialog>([&](wxFileDialog& box) {
            EXPECT_TRUE(box.HasFlag(wxFD_OVERWRITE_PROMPT));
            EXPECT_EQ(box.GetFilename(), "Certificate2.txt");
            box.SetPath(wxString::FromUTF8(saved));
            uitest::RunFor(200);
            uitest::RespondToDesktopBox(box, kAccept);
        });
        ClickSave(*page);
        // Cancel writes nothing and says nothing; a place that cannot be
        // written gets one message and no file.
        auto scripted = std::make_shared<ScriptedNodeDialogs>();
        std::shared_ptr<NodeDialogPort> real = SetNodeDialogPort(scripted);
        ClickSave(*page);
        EXPECT_EQ(scripted->saveRequests.size(), 1u);
        EXPECT_TRUE(shell.MessageBox().asked.empty());
        scripted->savePaths.push_back(Utf8ToWideString(m_folder.Path() + "/missing/dump.txt"));
        ClickSave(*page);
        ASSERT_EQ(scripted->saveRequests.size(), 2u);
        EXPECT_EQ(scripted->saveRequests[1].extension, L"txt");
        EXPECT_EQ(scripted->saveRequests[1].fileName, L"Certificate2");
        EXPECT_EQ(scripted->saveRequests[1].filter, LoadResourceText(32774));
        SetNodeDialogPort(real);
        sheet.EndModal(wxID_CANCEL);
    });
    WxNodeDialogs dialogs;
    dialogs.ShowCertificates(L"Certificates of cn=server,o=lab",
                             {CertificatePage{L"Certificate1", std::string("not a certificate")},
                              CertificatePage{L"Certificate2", m_bytes}},
                             1);
    ASSERT_TRUE(ran);
    std::string text;
    ASSERT_EQ(platform::ReadFileToString(saved, text), 0);
    EXPECT_EQ(text, testsupport::Run("openssl x509 -inform DER -in " + m_der + " -noout -text -nameopt compat"));
    ASSERT_EQ(shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(shell.MessageBox().asked[0].text, LoadResourceText(32776));
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path() + "/missing"));
}

TEST_F(CertificateViewerTest, AValueThatIsNoCertificateShowsNotAvailable)
{
    WhenShown<CX509CertSheet>([&](CX509CertSheet& sheet) {
        auto* page = dynamic_cast<CX509InfoProppage*>(sheet.GetPageWindow(0));
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->GetList()->GetItemCount(), 15);
        for (long row = 0; row < 15; ++row) EXPECT_EQ(page->GetList()->GetItemText(row, 1), "N/A") << row;
        uitest::Screenshot(sheet, "certificate-viewer-empty");
        sheet.EndModal(wxID_OK);
    });
    WxNodeDialogs dialogs;
    dialogs.ShowCertificates(L"Certificates", {CertificatePage{L"Certificate", std::string("\x30\x82", 2)}}, 0);
}

} // namespace
