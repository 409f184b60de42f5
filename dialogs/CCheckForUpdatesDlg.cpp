#include "dialogs/CCheckForUpdatesDlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include "base/Utf8.h"
#include "dialogcore/ReportWriters.h"
#include "model/ports/ResourceText.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/AppVersion.h"
#include "widgets/CHtmlCtrl.h"
#include "widgets/DefaultFont.h"
#include "widgets/DialogHelp.h"
#include "widgets/HelpFunctions.h"
#include "widgets/UiResources.h"

namespace {

constexpr unsigned kStrFailedPage = 499;
constexpr unsigned kStrNewerPage = 501;
constexpr unsigned kStrNewestBuild = 502;
constexpr unsigned kStrRunningVersion = 503;
constexpr unsigned kStrAnswered = 504;
constexpr unsigned kStrAsking = 505;
constexpr unsigned kStrReceiving = 506;
constexpr unsigned kStrFailed = 508;

std::wstring Escaped(const std::wstring& text)
{
    return Utf8ToWideString(HtmlEscape(WideToUtf8Text(text)));
}

} // namespace

class CCheckForUpdatesDlg::Check : public CUpdateInfo {
public:
    Check(CCheckForUpdatesDlg& dialog, const CInternetSession* session) : CUpdateInfo(session), m_dialog(dialog) {}

protected:
    void OnStart() override { m_dialog.OnStart(); }
    void OnProgress(size_t bytes) override { m_dialog.OnProgress(bytes); }
    void OnFailed() override { m_dialog.OnFailed(); }
    void OnResult(bool newer) override { m_dialog.OnResult(newer); }

private:
    CCheckForUpdatesDlg& m_dialog;
};

CCheckForUpdatesDlg::CCheckForUpdatesDlg(wxWindow* parent, const CInternetSession* session)
    : m_check(std::make_unique<Check>(*this, session))
{
    if (!ui::LoadDialogResource(this, parent, IDD)) {
        Create(parent, wxID_ANY, wxT("Check for Updates"));
        auto* column = new wxBoxSizer(wxVERTICAL);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxStaticBitmap(this, kIdcIcon, wxBitmap(), wxDefaultPosition, wxSize(32, 32)));
        auto* texts = new wxBoxSizer(wxVERTICAL);
        texts->Add(new wxStaticText(this, kIdcTitle, wxString()));
        texts->Add(new wxStaticText(this, kIdcStatus, wxString()), 0, wxEXPAND);
        row->Add(texts, 1, wxLEFT | wxEXPAND, 12);
        column->Add(row, 0, wxALL | wxEXPAND, 12);
        column->Add(new wxStaticLine(this, kIdcPageFrame), 0, wxLEFT | wxRIGHT | wxEXPAND, 12);
        column->Add(new wxStaticText(this, kIdcPage, wxString(), wxDefaultPosition, wxSize(420, 140)), 1,
                    wxALL | wxEXPAND, 12);
        column->Add(CreateStdDialogButtonSizer(wxCANCEL | wxHELP), 0, wxALL | wxEXPAND, 12);
        SetSizer(column);
    }
    if (wxWindow* title = FindWindow(kIdcTitle)) title->SetFont(ui::CreateDefaultFont(ui::FontWeight::Bold));
    m_page = new CHtmlCtrl;
    if (!m_page->CreateFromStatic(kIdcPage, this)) {
        delete m_page;
        m_page = nullptr;
    }
    // Sized with the page in place; the page shows once there is an answer.
    Layout();
    Fit();
    SetMinSize(GetSize());
    if (m_page) m_page->Hide();
    if (wxWindow* frame = FindWindow(kIdcPageFrame)) frame->Hide();
    std::string bytes;
    m_template = platform::ResourceLibrary::Current().LoadResource("TEXT", kTemplateText, bytes)
                     ? wxString::FromUTF8(bytes)
                     : wxString("%s");
    Bind(wxEVT_BUTTON, &CCheckForUpdatesDlg::OnClose, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
        m_check->Cancel();
        EndModal(wxID_CANCEL);
    });
    // F1 and the Help button open the dialog's page.
    GiveDialogHelp(this, kHelpContext);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowHelpContext(this, kHelpContext); }, wxID_HELP);
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
}

CCheckForUpdatesDlg::~CCheckForUpdatesDlg()
{
    // Stops the download before the windows it reports to go.
    m_check.reset();
}

CUpdateInfo& CCheckForUpdatesDlg::GetCheck()
{
    return *m_check;
}

int CCheckForUpdatesDlg::DoModal()
{
    StartCheck();
    CentreOnScreen();
    return ShowModal();
}

void CCheckForUpdatesDlg::StartCheck()
{
    m_received = 0;
    m_check->StartCheck();
}

void CCheckForUpdatesDlg::OnClose(wxCommandEvent&)
{
    m_check->Cancel();
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Hide();
}

void CCheckForUpdatesDlg::ShowIcon(unsigned id)
{
    m_iconId = id;
    if (auto* icon = dynamic_cast<wxStaticBitmap*>(FindWindow(kIdcIcon))) {
        wxBitmap bitmap = ui::LoadBitmapResource("ICON", id);
        if (bitmap.IsOk()) icon->SetBitmap(bitmap);
    }
}

void CCheckForUpdatesDlg::SetStatus(const wxString& text)
{
    if (auto* status = dynamic_cast<wxStaticText*>(FindWindow(kIdcStatus))) {
        status->SetLabel(text);
        Layout();
    }
}

void CCheckForUpdatesDlg::ShowPage(const std::wstring& message)
{
    // The template's one "%s" takes the message; nothing else of it is read.
    m_pageText = m_template;
    m_pageText.Replace("%s", wxString(message), false);
    if (m_page) {
        m_page->SetHtmlText(m_pageText);
        m_page->Show();
    }
    if (wxWindow* frame = FindWindow(kIdcPageFrame)) frame->Show();
    Layout();
}

void CCheckForUpdatesDlg::OnStart()
{
    SetStatus(ui::ResourceString(kStrAsking));
    ShowIcon(kIconAsking);
}

void CCheckForUpdatesDlg::OnProgress(size_t bytes)
{
    m_received += bytes;
    SetStatus(wxString::Format("%s (%d bytes)", ui::ResourceString(kStrReceiving), static_cast<int>(m_received)));
}

void CCheckForUpdatesDlg::OnFailed()
{
    SetStatus(ui::ResourceString(kStrFailed));
    ShowPage(Escaped(LoadResourceText(kStrFailedPage)));
    ShowIcon(kIconFailed);
}

void CCheckForUpdatesDlg::OnResult(bool newer)
{
    SetStatus(ui::ResourceString(kStrAnswered));
    const UpdateReply& reply = m_check->GetReply();
    std::wstring message;
    if (newer) {
        // The server's words are text on the page, never markup or links.
        message = FormatResourceText(kStrNewerPage, {Escaped(reply.text), std::to_wstring(reply.build),
                                                     Escaped(FormatReplyDate(reply))});
        ShowIcon(kIconNewer);
    } else {
        message = FormatResourceText(kStrRunningVersion, {Utf8ToWideString(GetVersionText())}) + L" " +
                  LoadResourceText(kStrNewestBuild);
        ShowIcon(kIconNotNewer);
    }
    ShowPage(message);
}
