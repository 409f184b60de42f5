#include "dialogs/CSearchDlg.h"

#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include "base/Utf8.h"
#include "dialogs/CReportWizard.h"
#include "dialogs/CSearchResultList.h"
#include "dialogs/CWaitDlg.h"
#include "platform/ShellPorts.h"
#include "shellcore/TextFormat.h"
#include "widgets/DialogHelp.h"
#include "widgets/UiResources.h"

namespace {

// Autosuggest, autoappend, up and down keys drop the list.
constexpr uint32_t kAutoCompleteOptions = 0x23;
constexpr unsigned kIconApplication = 138;
const wchar_t* const kFilterQuickComplete = L"(%s)";

void FillCombo(wxComboBox& combo, const CRecentItemsList& recent)
{
    // The text stays what it was; only the list changes.
    const wxString text = combo.GetValue();
    std::vector<std::wstring> newest;
    recent.GetRecentStrings(newest, kSearchDropDownCount);
    const std::vector<std::wstring> texts = FillDropDownTexts(std::vector<std::wstring>(), newest);
    combo.Clear();
    for (const std::wstring& item : texts)
        combo.Append(wxString(item));
    combo.ChangeValue(text);
}

} // namespace

CSearchDlg::CSearchDlg(wxWindow* parent, SearchTarget target)
    : CResizableDialog(kIddSearch, parent), m_target(std::move(target)), m_registration(*this)
{
}

CSearchDlg::~CSearchDlg()
{
    // A worker still running (the dialog was destroyed without its close)
    // is stopped; what it still sends finds nobody and is freed.
    if (std::shared_ptr<CSearchDlgThread> worker = m_worker.lock())
        worker->Stop();
    m_registration.Reset();
    if (m_wait)
        m_wait->Destroy();
    m_recentDNs.Unbind();
    m_recentFilters.Unbind();
    m_recentAttributes.Unbind();
}

bool CSearchDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    GiveDialogHelp(this, help::WindowHelpContext(kIddSearch), "SearchDialog.txt");
    m_base = dynamic_cast<wxComboBox*>(FindWindow(kIdcSearchBase));
    m_filter = dynamic_cast<wxComboBox*>(FindWindow(kIdcSearchFilter));
    m_attributes = dynamic_cast<wxComboBox*>(FindWindow(kIdcSearchAttributes));
    m_oneLevel = dynamic_cast<wxRadioButton*>(FindWindow(kIdcSearchScopeOneLevel));
    m_subtree = dynamic_cast<wxRadioButton*>(FindWindow(kIdcSearchScopeSubtree));
    m_results = dynamic_cast<CSearchResultList*>(FindWindow(kIdcSearchResults));
    m_animation = dynamic_cast<wxActivityIndicator*>(FindWindow(kIdcSearchAnimation));
    if (!m_base || !m_filter || !m_attributes || !m_oneLevel || !m_subtree || !m_results || !m_animation)
        return false;
    wxBitmap icon = ui::LoadBitmapResource("icon", kIconApplication);
    if (icon.IsOk()) {
        wxIcon big;
        big.CopyFromBitmap(icon);
        SetIcon(big);
    }

    AddAnchoredChildren({{kIdcSearchSeparator, AnchorTopLeft, AnchorTopRight},
                         {kIdcSearchBase, AnchorTopLeft, AnchorTopRight},
                         {kIdcSearchFilter, AnchorTopLeft, AnchorTopRight},
                         {kIdcSearchAttributes, AnchorTopLeft, AnchorTopRight},
                         {kIdcSearchResults, AnchorTopLeft, AnchorBottomRight},
                         {wxID_CONTEXT_HELP, AnchorBottomRight},
                         {wxID_OK, AnchorBottomRight},
                         {kIdcSearchReport, AnchorBottomRight},
                         {kIdcSearchStop, AnchorBottomRight},
                         {wxID_CANCEL, AnchorBottomRight},
                         {kIdcSearchAnimation, AnchorBottomLeft}});
    ShowSizeGrip(true);
    EnableSaveRestore(L"SearchDlg");

    m_animation->Hide();
    m_subtree->SetValue(true);
    m_filter->ChangeValue(wxString(g_strDefaultSearchFilter));
    SetTitle(wxString(FormatText(ui::ResourceString(kStrSearchCaption).ToStdWstring(),
                                 {m_target.host, m_target.port})));
    SetColumnsFromText(std::wstring());
    m_base->ChangeValue(wxString(SearchBaseText(m_target.dn)));

    m_recentDNs.Open(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    m_recentFilters.Open(platform::RegRoot::CurrentUser, g_strRecentFiltersKey);
    m_recentAttributes.Open(platform::RegRoot::CurrentUser, SearchAttributesKey());
    m_recentDNs.Bind(m_base, kAutoCompleteOptions);
    m_recentFilters.Bind(m_filter, kAutoCompleteOptions, kFilterQuickComplete);
    m_recentAttributes.Bind(m_attributes, kAutoCompleteOptions);
    FillDropDowns();

    Bind(wxEVT_BUTTON, &CSearchDlg::OnSearchButton, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnStopButton, this, kIdcSearchStop);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnReportButton, this, kIdcSearchReport);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnCancelButton, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CSearchDlg::OnClose, this);
    m_attributes->Bind(wxEVT_KILL_FOCUS, &CSearchDlg::OnAttributesKillFocus, this);
    m_attributes->Bind(wxEVT_COMBOBOX, &CSearchDlg::OnAttributesSelected, this);
    m_results->Bind(wxEVT_LIST_ITEM_SELECTED, &CSearchDlg::OnItemSelected, this);
    m_results->GetItemArea()->Bind(wxEVT_LEFT_DOWN, &CSearchDlg::OnResultsClick, this);
    // Escape is the Close button: it stops a running search first.
    SetEscapeId(wxID_CANCEL);

    FindWindow(kIdcSearchStop)->Enable(false);
    FindWindow(kIdcSearchReport)->Enable(false);
    return true;
}

void CSearchDlg::SetColumnsFromText(const std::wstring& text)
{
    m_columns.Set(SplitAttributeNames(text));
    m_results->SetColumns(m_columns);
}

void CSearchDlg::FillDropDowns()
{
    FillCombo(*m_base, m_recentDNs);
    FillCombo(*m_filter, m_recentFilters);
    FillCombo(*m_attributes, m_recentAttributes);
}

void CSearchDlg::EnableInputs(bool enable)
{
    for (wxWindow* input : std::initializer_list<wxWindow*>{FindWindow(wxID_OK), m_base, m_filter, m_attributes,
                                                           m_oneLevel, m_subtree})
        input->Enable(enable);
    FindWindow(kIdcSearchReport)->Enable(enable && HasReport());
    FindWindow(kIdcSearchStop)->Enable(!enable);
}

// The report is made over the rows the list shows. Owned by this dialog, not
// the main window: a modal window owned by the main window would open below
// this modal dialog, out of reach.
void CSearchDlg::OnReportButton(wxCommandEvent&)
{
    if (m_searching || m_ending)
        return;
    CReportWizard wizard(ui::ResourceString(kStrReportWizard), m_results, m_base->GetValue().ToStdWstring(), this,
                         CReportWizard::kFormatPage, m_target.connection);
    wizard.ShowModal();
}

void CSearchDlg::StartSearch()
{
    if (m_searching || m_ending)
        return;
    SearchRequest request;
    request.baseText = m_base->GetValue().ToStdWstring();
    request.filter = m_filter->GetValue().ToStdWstring();
    request.attributeText = m_attributes->GetValue().ToStdWstring();
    request.scope = m_oneLevel->GetValue() ? SearchScope::OneLevel : SearchScope::Subtree;
    request.notPrintableText = ui::ResourceString(kStrNotPrintable).ToStdWstring();

    EnableInputs(false);
    m_recentDNs.AddString(request.baseText);
    m_recentFilters.AddString(request.filter);
    m_recentAttributes.AddString(request.attributeText);
    FillDropDowns();

    m_stoppedByUser = false;
    m_searching = true;
    m_animation->Show();
    m_animation->Start();
    // The columns follow the attributes searched for, whatever the focus did.
    SetColumnsFromText(request.attributeText);
    m_results->ClearRows();

    m_chosenDN = SearchBaseFromText(request.baseText);
    m_lastAttributes = AttributeNamesToRequest(request.attributeText);
    m_sink = std::make_shared<SearchRowSink>();
    auto worker = std::make_shared<CSearchDlgThread>(m_target.connection, std::move(request), m_registration.Id(),
                                                     m_sink);
    m_worker = worker;
    // A worker that cannot start has gone by the end of this call, and its
    // end message is on its way.
    worker->CreateThread();
}

void CSearchDlg::StopSearch()
{
    m_stoppedByUser = true;
    Enable(false);
    if (std::shared_ptr<CSearchDlgThread> worker = m_worker.lock())
        worker->Stop();
    if (!m_wait) {
        m_wait = new CWaitDlg(this, ui::ResourceString(kStrSearchStopping).ToStdWstring());
        if (!m_wait->Create()) {
            m_wait->Destroy();
            m_wait = nullptr;
        }
    }
    if (m_wait) {
        m_wait->CentreOverOwner();
        m_wait->Show();
    }
}

void CSearchDlg::ChooseRow(long row)
{
    if (row < 0 || static_cast<size_t>(row) >= m_results->GetRowCount() || m_ending)
        return;
    m_chosenDN = Utf8ToWideString(m_results->GetRow(static_cast<size_t>(row)).dn);
    if (m_searching) {
        m_closeWhenStopped = true;
        StopSearch();
    } else {
        EndWith(kGoToChosenDN);
    }
}

void CSearchDlg::CloseDialog()
{
    if (m_ending)
        return;
    if (m_searching) {
        m_closeWhenStopped = true;
        StopSearch();
        return;
    }
    EndWith(wxID_CANCEL);
}

void CSearchDlg::EndWith(int code)
{
    m_ending = true;
    if (IsModal())
        EndModal(code);
    else
        SetReturnCode(code);
}

void CSearchDlg::OnMessage(platform::MessageId id, uintptr_t, intptr_t,
                           std::unique_ptr<platform::MessagePayload> payload)
{
    if (id == WM_SEARCH_ROWS) {
        if (m_sink)
            m_results->AppendRows(m_sink->Take());
    } else if (id == WM_SEARCH_ERROR) {
        if (m_stoppedByUser)
            return;
        if (const std::wstring* text = platform::PayloadValue<std::wstring>(payload))
            platform::ShowMessageBox(*text, platform::kMbOk | platform::kMbIconError);
    } else if (id == platform::WM_WORKER_ENDED) {
        OnSearchEnded();
    }
}

void CSearchDlg::OnSearchEnded()
{
    // Rows still waiting came before the end.
    if (m_sink)
        m_results->AppendRows(m_sink->Take());
    m_sink.reset();
    m_worker.reset();
    m_animation->Stop();
    m_animation->Hide();
    EnableInputs(true);
    Enable(true);
    m_searching = false;
    if (m_wait) {
        m_wait->SetMayClose(true);
        m_wait->Destroy();
        m_wait = nullptr;
    }
    if (m_closeWhenStopped)
        EndWith(kGoToChosenDN);
}

void CSearchDlg::OnSearchButton(wxCommandEvent&)
{
    StartSearch();
}

void CSearchDlg::OnStopButton(wxCommandEvent&)
{
    if (m_searching)
        StopSearch();
}

void CSearchDlg::OnCancelButton(wxCommandEvent&)
{
    CloseDialog();
}

void CSearchDlg::OnClose(wxCloseEvent& event)
{
    if (event.CanVeto())
        event.Veto();
    CloseDialog();
}

void CSearchDlg::OnAttributesKillFocus(wxFocusEvent& event)
{
    event.Skip();
    if (!m_searching)
        SetColumnsFromText(m_attributes->GetValue().ToStdWstring());
}

void CSearchDlg::OnAttributesSelected(wxCommandEvent& event)
{
    event.Skip();
    if (!m_searching && event.GetSelection() >= 0)
        SetColumnsFromText(m_attributes->GetString(static_cast<unsigned>(event.GetSelection())).ToStdWstring());
}

void CSearchDlg::OnItemSelected(wxListEvent& event)
{
    // Rows never stay selected: a click chooses, it does not mark.
    m_results->SetItemState(event.GetIndex(), 0, wxLIST_STATE_SELECTED);
}

void CSearchDlg::OnResultsClick(wxMouseEvent& event)
{
    event.Skip();
    const long row = m_results->LabelAt(event.GetPosition());
    if (row >= 0)
        CallAfter([this, row] { ChooseRow(row); });
}
