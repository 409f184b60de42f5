#include "dialogs/CReportFile.h"

#include <chrono>
#include <climits>
#include <memory>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "dialogcore/CLdifReportThread.h"
#include "dialogcore/ExportPaths.h"
#include "dialogcore/ReportWriters.h"
#include "dialogs/ReportWizardHost.h"
#include "dialogs/CWaitDlg.h"
#include "dialogs/FileFilters.h"
#include "platform/MailLauncher.h"
#include "platform/ShellPorts.h"
#include "widgets/DefaultFont.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kPage = 606;
constexpr int kTitleId = 1228;
constexpr int kPathId = 1229;
constexpr int kBrowseId = 1230;
constexpr int kProgressId = 1231;
constexpr int kMailId = 1232;
constexpr int kProgressTextId = 1022;
const char* const kMailProgram = "xdg-email";
} // namespace

CReportFile::CReportFile(ReportWizardHost* wizard, wxWindow* parent)
    : m_wizard(wizard), m_boldFont(ui::CreateDefaultFont(ui::FontWeight::Bold))
{
    if (!ui::LoadPanelResource(this, parent, kPage)) {
        Create(parent, wxID_ANY);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(new wxStaticText(this, kTitleId, wxString()));
        sizer->Add(new wxTextCtrl(this, kPathId));
        sizer->Add(new wxButton(this, kBrowseId, "..."));
        sizer->Add(new wxCheckBox(this, kMailId, wxString()));
        sizer->Add(new wxStaticText(this, kProgressTextId, wxString()));
        sizer->Add(new wxGauge(this, kProgressId, 100));
        SetSizer(sizer);
    }
    m_pathControl = dynamic_cast<wxTextCtrl*>(FindWindow(kPathId));
    m_mailControl = dynamic_cast<wxCheckBox*>(FindWindow(kMailId));
    m_progress = dynamic_cast<wxGauge*>(FindWindow(kProgressId));
    m_progressText = dynamic_cast<wxStaticText*>(FindWindow(kProgressTextId));
    if (m_progress) m_progress->Hide();
    if (m_progressText) m_progressText->Hide();
    Bind(wxEVT_TEXT, &CReportFile::OnPathChanged, this, kPathId);
    Bind(wxEVT_BUTTON, &CReportFile::OnBrowse, this, kBrowseId);
}

void CReportFile::OnFirstDisplay()
{
    m_displayed = true;
    const std::wstring name = ReportDefaultName(m_wizard->GetBaseDN(), ReportToday());
    const std::wstring folder = LoadExportFolder(g_strReportWizardPathValue);
    if (m_pathControl) m_pathControl->ChangeValue(wxString(folder + name));
    m_mailSupport = platform::IsProgramInPath(kMailProgram);
    if (!m_mailSupport)
        platform::ShowMessageBox(ui::ResourceString(kStrMailSupportMissing).ToStdWstring(),
                                 platform::kMbOk | platform::kMbIconError);
}

void CReportFile::OnActivate()
{
    if (!m_displayed) OnFirstDisplay();
    if (wxWindow* title = FindWindow(kTitleId)) title->SetFont(m_boldFont);
    if (m_pathControl) {
        const std::wstring extension = GetReportFormatInfo(m_wizard->GetFormat()).extension;
        m_pathControl->ChangeValue(
            wxString(ReplaceExtension(m_pathControl->GetValue().ToStdWstring(), extension)));
    }
    UpdateButtons();
}

void CReportFile::UpdateButtons()
{
    const bool hasPath = m_pathControl && !m_pathControl->GetValue().empty();
    m_wizard->SetWizardButtons(true, false, true, hasPath);
}

void CReportFile::OnPathChanged(wxCommandEvent&)
{
    UpdateButtons();
}

void CReportFile::OnBrowse(wxCommandEvent&)
{
    const ReportFormatInfo& info = GetReportFormatInfo(m_wizard->GetFormat());
    const std::wstring path = m_pathControl ? m_pathControl->GetValue().ToStdWstring() : std::wstring();
    const std::wstring folder = FolderOfPath(path);
    const std::wstring wildcard = FilterToWildcard(info.filter);
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxString(folder), wxString(path.substr(folder.size())),
                        wxString(wildcard), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxString chosen = dialog.GetPath();
    if (!chosen.AfterLast('/').Contains("."))
        chosen += wxString(info.extension);
    if (m_pathControl) m_pathControl->SetValue(chosen);
}

void CReportFile::SetProgress(size_t cells)
{
    if (!m_progress)
        return;
    const int value = static_cast<int>(std::min<size_t>(cells, INT_MAX));
    if (value > m_lastProgress) m_lastProgress = value;
    m_progress->SetValue(std::min(value, m_progress->GetRange()));
}

std::wstring CReportFile::FileFailedText(const std::string& path)
{
    std::wstring text = ui::ResourceString(kStrReportFileFailed).ToStdWstring();
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, Utf8ToWideString(path));
    return text;
}

void CReportFile::ShowError(const std::wstring& text)
{
    m_writeError = true;
    platform::ShowMessageBox(text, platform::kMbOk | platform::kMbIconError);
}

bool CReportFile::Finish()
{
    const std::wstring widePath = m_pathControl ? m_pathControl->GetValue().ToStdWstring() : std::wstring();
    const std::string path = WideToUtf8Text(widePath);
    m_wizard->PrepareRows();
    m_writeError = false;
    m_cells = m_wizard->GetCellCount();
    m_lastProgress = 0;
    if (m_progress) {
        // The whole count: a range cut to 16 bits would wrap above 65,535 cells.
        m_progress->SetRange(static_cast<int>(std::max<size_t>(1, std::min<size_t>(m_cells, INT_MAX))));
        m_progress->SetValue(0);
        m_progress->Show();
    }
    if (m_progressText) m_progressText->Show();
    Layout();
    Update();
    const bool written = WriteReport(path);
    if (m_progress) m_progress->Hide();
    if (m_progressText) m_progressText->Hide();
    StoreExportFolder(g_strReportWizardPathValue, widePath);
    if (written && m_mailControl && m_mailControl->GetValue())
        SendMail(path);
    return written;
}

bool CReportFile::WriteReport(const std::string& path)
{
    const ReportRows& rows = m_wizard->GetRows();
    const ReportProgress progress = [this](size_t cells) { SetProgress(cells); };
    ReportOutcome outcome = ReportOutcome::Written;
    switch (m_wizard->GetFormat()) {
    case ReportFormat::Text:
        outcome = WriteDelimitedReport(path, rows, L'\t', progress);
        break;
    case ReportFormat::Csv:
        outcome = WriteDelimitedReport(path, rows, L',', progress);
        break;
    case ReportFormat::Html:
        outcome = WriteHtmlReport(path, rows, ReportTitle(m_wizard->GetBaseDN(), ReportToday()), progress);
        break;
    case ReportFormat::Excel: {
        std::string error;
        outcome = WriteExcelReport(path, rows, progress, &error);
        if (outcome == ReportOutcome::ExcelFailed)
            LogLine(L"Excel: " +
                    (error.empty() ? ui::ResourceString(kStrNoErrorText).ToStdWstring() : Utf8ToWideString(error)) +
                    L".");
        break;
    }
    case ReportFormat::Ldif:
        return WriteLdifReport(path);
    }
    switch (outcome) {
    case ReportOutcome::Written:
        return true;
    case ReportOutcome::FileFailed:
        ShowError(FileFailedText(path));
        return false;
    case ReportOutcome::ExcelMissing:
        ShowError(ui::ResourceString(kStrExcelMissing).ToStdWstring());
        return false;
    case ReportOutcome::ExcelFailed:
        ShowError(ui::ResourceString(kStrExcelFailed).ToStdWstring());
        return false;
    }
    return false;
}

// The entries are read on a worker; the window keeps answering meanwhile,
// with the wizard's own input blocked.
bool CReportFile::WriteLdifReport(const std::string& path)
{
    const ReportRows& rows = m_wizard->GetRows();
    std::vector<std::string> dns;
    for (size_t r = 1; r < rows.size(); ++r)
        if (!rows[r].empty() && !rows[r][0].empty()) dns.push_back(WideToUtf8Text(rows[r][0]));
    if (m_progress) m_progress->SetRange(static_cast<int>(std::max<size_t>(1, std::min<size_t>(dns.size(), INT_MAX))));
    auto job = std::make_shared<CLdifReportThread>(m_wizard->GetConnection(), dns, path);
    {
        wxWindowDisabler disabler(m_wizard->GetWindow());
        if (job->CreateThread()) {
            while (!job->IsFinished()) {
                SetProgress(job->GetDone());
                wxTheApp->Yield(true);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
    }
    switch (job->GetOutcome()) {
    case CLdifReportThread::Outcome::Written:
        SetProgress(dns.size());
        return true;
    case CLdifReportThread::Outcome::ReadFailed:
        ShowError(job->GetErrorText());
        return false;
    default:
        ShowError(FileFailedText(path));
        return false;
    }
}

void CReportFile::SendMail(const std::string& path)
{
    if (!m_mailSupport)
        return;
    CWaitDlg wait(m_wizard->GetWindow(), ui::ResourceString(kStrSendingReport).ToStdWstring());
    const bool shown = wait.Create();
    if (shown) {
        wait.Show();
        wait.Update();
    }
    platform::SendMailWithAttachment(WideToUtf8Text(ReportTitle(m_wizard->GetBaseDN(), ReportToday())),
                                     path);
    if (shown) {
        wait.SetMayClose(true);
        wait.Hide();
    }
}
