#include "dialogs/CConfirmationsPage.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/settings.h>

#include "shellcore/ConfirmationTable.h"
#include "widgets/UiResources.h"

CConfirmationsPage::CConfirmationsPage(wxWindow* book)
{
    CreatePage(book, IDD);
}

bool CConfirmationsPage::OnInitDialog()
{
    m_list = Control<wxListCtrl>(kIdcList);
    m_answer = Control<wxChoice>(kIdcAnswer);
    if (!m_list || !m_answer) return false;
    m_list->EnableCheckBoxes(true);
    const int width = m_list->GetClientSize().GetWidth() - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_list);
    const int first = static_cast<int>(width / 1.7);
    m_list->AppendColumn(ui::ResourceString(kStrTitleColumn), wxLIST_FORMAT_LEFT, first);
    m_list->AppendColumn(ui::ResourceString(kStrDescriptionColumn), wxLIST_FORMAT_LEFT, width - first);

    const std::map<uint32_t, int> remembered = ReadListedAnswers();
    long row = 0;
    for (const auto& [id, entry] : GetConfirmations()) {
        m_list->InsertItem(row, wxString(entry.title));
        m_list->SetItem(row, 1, wxString(entry.description));
        m_list->SetItemData(row, static_cast<long>(id));
        auto answer = remembered.find(id);
        m_answers[id] = answer != remembered.end() ? answer->second : 0;
        if (answer != remembered.end()) m_list->CheckItem(row, true);
        ++row;
    }
    RefillAnswers();

    m_list->Bind(wxEVT_LIST_ITEM_CHECKED, [this](wxListEvent& event) { OnChecked(event.GetIndex()); });
    m_list->Bind(wxEVT_LIST_ITEM_UNCHECKED, [this](wxListEvent& event) { OnChecked(event.GetIndex()); });
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { RefillAnswers(); });
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { RefillAnswers(); });
    m_answer->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        long selected = SelectedRow();
        if (selected >= 0) m_answers[RowId(selected)] = event.GetSelection();
    });
    if (wxWindow* clear = FindWindow(kIdcClear)) clear->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClear(); });
    return true;
}

uint32_t CConfirmationsPage::RowId(long row) const
{
    return static_cast<uint32_t>(m_list->GetItemData(row));
}

long CConfirmationsPage::SelectedRow() const
{
    return m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void CConfirmationsPage::RefillAnswers()
{
    m_answer->Clear();
    const long row = SelectedRow();
    if (row < 0) {
        m_answer->Disable();
        return;
    }
    const uint32_t id = RowId(row);
    auto entry = GetConfirmations().find(id);
    if (entry != GetConfirmations().end())
        for (unsigned text : ConfirmationAnswerTexts(entry->second.kind))
            m_answer->Append(ui::ResourceString(text));
    const bool checked = m_list->IsItemChecked(row);
    m_answer->SetSelection(checked && m_answers[id] < static_cast<int>(m_answer->GetCount()) ? m_answers[id]
                                                                                              : wxNOT_FOUND);
    m_answer->Enable(checked);
}

void CConfirmationsPage::OnChecked(long row)
{
    SetModified(true);
    if (row == SelectedRow()) RefillAnswers();
}

void CConfirmationsPage::CheckRow(long row, bool check)
{
    // The list reports the change as a click does.
    m_list->CheckItem(row, check);
}

void CConfirmationsPage::SelectRow(long row)
{
    m_list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                         wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

void CConfirmationsPage::ChooseAnswer(int position)
{
    m_answer->SetSelection(position);
    wxCommandEvent event(wxEVT_CHOICE, kIdcAnswer);
    event.SetInt(position);
    event.SetEventObject(m_answer);
    m_answer->ProcessWindowEvent(event);
}

void CConfirmationsPage::OnClear()
{
    for (long row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->IsItemChecked(row)) m_list->CheckItem(row, false);
    SetModified(true);
    RefillAnswers();
}

bool CConfirmationsPage::OnApply()
{
    if (!m_list) return CPropertyPage::OnApply();
    std::map<uint32_t, int> checked;
    for (long row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->IsItemChecked(row)) checked[RowId(row)] = m_answers[RowId(row)];
    WriteListedAnswers(checked);
    return CPropertyPage::OnApply();
}
