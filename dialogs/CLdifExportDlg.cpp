#include "dialogs/CLdifExportDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "dialogcore/ExportPaths.h"
#include "dialogs/FileFilters.h"
#include "platform/RegistryKey.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {
constexpr HelpIdPair kPopupTopics[] = {{1090, 1}, {1029, 2}, {1166, 3}, {1167, 4}, {1168, 5}, {1169, 6}, {2, 7}, {0, 0}};
constexpr unsigned kDialog = 364;
constexpr int kPathId = 1090;
constexpr int kBrowseId = 1029;
constexpr int kDefaultFilterId = 1023;
constexpr int kExportId = 1169;
constexpr int kFirstScopeId = 1166;
constexpr int kFirstLineEndId = 1291;
constexpr int kHeaderId = 1249;
constexpr int kOperationalId = 1331;
constexpr int kFilterId = 1049;
constexpr unsigned kStrLdifFilter = 32777;
constexpr unsigned kStrLdifExtension = 32778;
constexpr uint32_t kCompletionOptions = 0x23;
} // namespace

CLdifExportDlg::CLdifExportDlg(const std::wstring& caption, const std::wstring& fileName, const std::string& filter,
                               wxWindow* parent)
    : m_defaultFilter(Utf8ToWideString(filter)), m_filter(m_defaultFilter)
{
    if (!ui::LoadDialogResource(this, parent, kDialog)) {
        wxDialog::Create(parent, wxID_ANY, wxString(caption));
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(new wxTextCtrl(this, kPathId));
        sizer->Add(new wxButton(this, kBrowseId, "..."));
        sizer->Add(new wxRadioButton(this, kFirstScopeId, wxString(), wxDefaultPosition, wxDefaultSize, wxRB_GROUP));
        sizer->Add(new wxRadioButton(this, kFirstScopeId + 1, wxString()));
        sizer->Add(new wxRadioButton(this, kFirstScopeId + 2, wxString()));
        sizer->Add(new wxRadioButton(this, kFirstLineEndId, wxString(), wxDefaultPosition, wxDefaultSize, wxRB_GROUP));
        sizer->Add(new wxRadioButton(this, kFirstLineEndId + 1, wxString()));
        sizer->Add(new wxCheckBox(this, kHeaderId, wxString()));
        sizer->Add(new wxCheckBox(this, kOperationalId, wxString()));
        sizer->Add(new wxTextCtrl(this, kFilterId));
        sizer->Add(new wxButton(this, kDefaultFilterId, wxString()));
        sizer->Add(new wxButton(this, kExportId, wxString()));
        sizer->Add(new wxButton(this, wxID_CANCEL));
        SetSizer(sizer);
    }
    SetTitle(wxString(caption));
    m_pathControl = dynamic_cast<wxTextCtrl*>(FindWindow(kPathId));
    m_filterControl = dynamic_cast<wxTextCtrl*>(FindWindow(kFilterId));
    for (int i = 0; i < 3; ++i)
        m_scopeButtons[i] = dynamic_cast<wxRadioButton*>(FindWindow(kFirstScopeId + i));
    for (int i = 0; i < 2; ++i)
        m_lineEndButtons[i] = dynamic_cast<wxRadioButton*>(FindWindow(kFirstLineEndId + i));
    m_headerControl = dynamic_cast<wxCheckBox*>(FindWindow(kHeaderId));
    m_operationalControl = dynamic_cast<wxCheckBox*>(FindWindow(kOperationalId));

    m_path = LoadExportFolder(g_strLdifExportPathValue) + fileName;
    if (m_pathControl) m_pathControl->ChangeValue(wxString(m_path));
    if (m_scopeButtons[0]) m_scopeButtons[0]->SetValue(true);
    if (m_lineEndButtons[0]) m_lineEndButtons[0]->SetValue(true);
    if (m_headerControl) m_headerControl->SetValue(true);
    if (m_operationalControl) m_operationalControl->SetValue(false);
    if (m_filterControl) {
        m_filterControl->ChangeValue(wxString(m_defaultFilter));
        m_recentFilters.Open(platform::RegRoot::CurrentUser, g_strRecentFiltersKey);
        m_recentFilters.Bind(static_cast<wxWindow*>(m_filterControl), kCompletionOptions);
    }

    Bind(wxEVT_BUTTON, &CLdifExportDlg::OnBrowse, this, kBrowseId);
    Bind(wxEVT_BUTTON, &CLdifExportDlg::OnExport, this, kExportId);
    Bind(wxEVT_BUTTON, &CLdifExportDlg::OnDefaultFilter, this, kDefaultFilterId);
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    SetAffirmativeId(kExportId);
    GiveDialogHelp(this, help::WindowHelpContext(kDialog), "LDIFExport.txt", kPopupTopics, sizeof(kPopupTopics));
    Fit();
    CentreOnParent();
}

CLdifExportDlg::~CLdifExportDlg()
{
    m_recentFilters.Unbind();
}

std::wstring CLdifExportDlg::GetFilePath() const
{
    return m_pathControl ? m_pathControl->GetValue().ToStdWstring() : m_path;
}

std::string CLdifExportDlg::GetFilter() const
{
    return WideToUtf8Text(m_filter);
}

void CLdifExportDlg::OnBrowse(wxCommandEvent&)
{
    const std::wstring path = GetFilePath();
    const std::wstring wildcard = FilterToWildcard(ui::ResourceString(kStrLdifFilter).ToStdWstring());
    const wxString extension = ui::ResourceString(kStrLdifExtension);
    wxFileDialog dialog(this, wxFileSelectorPromptStr, wxString(FolderOfPath(path)),
                        wxString(path.substr(FolderOfPath(path).size())), wxString(wildcard),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(FilterIndexForExtension(wildcard, extension.ToStdWstring()));
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxString chosen = dialog.GetPath();
    if (!extension.empty() && !chosen.AfterLast('/').Contains("."))
        chosen += "." + extension;
    if (m_pathControl) m_pathControl->ChangeValue(chosen);
}

void CLdifExportDlg::ReadControls()
{
    m_path = GetFilePath();
    for (int i = 0; i < 3; ++i)
        if (m_scopeButtons[i] && m_scopeButtons[i]->GetValue()) m_scope = i;
    for (int i = 0; i < 2; ++i)
        if (m_lineEndButtons[i] && m_lineEndButtons[i]->GetValue()) m_lineEnd = i;
    if (m_headerControl) m_header = m_headerControl->GetValue();
    if (m_operationalControl) m_operational = m_operationalControl->GetValue();
    if (m_filterControl) m_filter = m_filterControl->GetValue().ToStdWstring();
}

void CLdifExportDlg::OnExport(wxCommandEvent&)
{
    ReadControls();
    StoreExportFolder(g_strLdifExportPathValue, m_path);
    if (!m_filter.empty())
        m_recentFilters.AddString(m_filter);
    EndModal(wxID_OK);
}

void CLdifExportDlg::OnDefaultFilter(wxCommandEvent&)
{
    if (m_filterControl) m_filterControl->ChangeValue(wxString(m_defaultFilter));
}
