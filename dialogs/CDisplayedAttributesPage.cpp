#include "dialogs/CDisplayedAttributesPage.h"

#include <algorithm>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "base/Utf8.h"
#include "dialogcore/AttributeNameRows.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"

namespace {
constexpr unsigned kStrPlaceholder = 494;
constexpr size_t kMaxLabel = 255;

std::vector<std::string> RowTexts(wxListCtrl* list)
{
    std::vector<std::string> rows;
    for (long i = 0; i < list->GetItemCount(); ++i) rows.push_back(WideToUtf8Text(list->GetItemText(i).ToStdWstring()));
    return rows;
}

// The rows go into the kept list (replacing what it held) and the list empties.
void KeepRows(wxListCtrl* list, StringList& kept)
{
    kept.Clear();
    for (const std::string& row : RowTexts(list)) kept.Add(row);
    list->DeleteAllItems();
}

// The kept names come back as rows and the kept list empties.
void RestoreRows(wxListCtrl* list, StringList& kept)
{
    for (const std::string& name : kept) list->InsertItem(list->GetItemCount(), wxString(Utf8ToWideString(name)));
    kept.Clear();
}

void Check(wxWindow* page, int id, bool on)
{
    if (auto* radio = dynamic_cast<wxRadioButton*>(page->FindWindow(id))) radio->SetValue(on);
    if (auto* box = dynamic_cast<wxCheckBox*>(page->FindWindow(id))) box->SetValue(on);
}

void EnableAll(wxWindow* page, std::initializer_list<int> ids, bool on)
{
    for (int id : ids)
        if (wxWindow* w = page->FindWindow(id)) w->Enable(on);
}
} // namespace

CDisplayedAttributesPage::CDisplayedAttributesPage(CServerProfile* profile)
    : m_profile(profile), m_placeholder(LoadResourceText(kStrPlaceholder))
{
}

bool CDisplayedAttributesPage::Create(wxWindow* book) { return CreatePage(book, IDD); }

void CDisplayedAttributesPage::FindControls()
{
    m_attributeList = dynamic_cast<wxListCtrl*>(FindWindow(kIdcAttributeList));
    m_extraList = dynamic_cast<wxListCtrl*>(FindWindow(kIdcExtraList));
    if (!m_attributeList || !m_extraList) {
        // Without the resource library: the same controls, plainly.
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(new wxRadioButton(this, kIdcAllAttributes, "All attributes", wxDefaultPosition, wxDefaultSize,
                                      wxRB_GROUP));
        column->Add(new wxRadioButton(this, kIdcListedAttributes, "Only these attributes"));
        m_attributeList = new wxListCtrl(this, kIdcAttributeList, wxDefaultPosition, wxSize(300, 100),
                                         wxLC_REPORT | wxLC_NO_HEADER | wxLC_EDIT_LABELS);
        column->Add(m_attributeList, 1, wxEXPAND);
        column->Add(new wxButton(this, kIdcAddAttribute, "Add"));
        column->Add(new wxButton(this, kIdcRemoveAttribute, "Remove"));
        column->Add(new wxRadioButton(this, kIdcHideOperational, "Hide operational attributes", wxDefaultPosition,
                                      wxDefaultSize, wxRB_GROUP));
        column->Add(new wxRadioButton(this, kIdcShowOperational, "Show operational attributes"));
        column->Add(new wxCheckBox(this, kIdcExtraOperational, "Also these operational attributes"));
        m_extraList = new wxListCtrl(this, kIdcExtraList, wxDefaultPosition, wxSize(300, 80),
                                     wxLC_REPORT | wxLC_NO_HEADER | wxLC_EDIT_LABELS);
        column->Add(m_extraList, 1, wxEXPAND);
        column->Add(new wxButton(this, kIdcAddExtra, "Add"));
        column->Add(new wxButton(this, kIdcRemoveExtra, "Remove"));
        SetSizer(column);
    }
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SetAttributeMode(0); }, kIdcAllAttributes);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SetAttributeMode(1); }, kIdcListedAttributes);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SetOperationalMode(0); }, kIdcHideOperational);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { SetOperationalMode(1); }, kIdcShowOperational);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { SetExtraOperational(e.IsChecked()); }, kIdcExtraOperational);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(false); }, kIdcAddAttribute);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemove(false); }, kIdcRemoveAttribute);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(true); }, kIdcAddExtra);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemove(true); }, kIdcRemoveExtra);
    m_attributeList->Bind(wxEVT_LIST_END_LABEL_EDIT, [this](wxListEvent& e) { OnEndLabelEdit(e, false); });
    m_extraList->Bind(wxEVT_LIST_END_LABEL_EDIT, [this](wxListEvent& e) { OnEndLabelEdit(e, true); });
}

void CDisplayedAttributesPage::SetupList(wxListCtrl* list)
{
    const int width = std::max(list->GetClientSize().GetWidth(), list->GetMinSize().GetWidth()) - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, list) -
                      2 * wxSystemSettings::GetMetric(wxSYS_BORDER_X, list);
    list->InsertColumn(0, wxString(), wxLIST_FORMAT_LEFT, width > 20 ? width : 200);
}

bool CDisplayedAttributesPage::OnInitDialog()
{
    FindControls();
    SetupList(m_attributeList);
    SetupList(m_extraList);
    m_keptAttributes = m_profile->GetAttributes();
    m_attributeMode = m_keptAttributes.IsEmpty() ? 0 : 1;
    if (m_attributeMode == 1) RestoreRows(m_attributeList, m_keptAttributes);
    m_keptExtra = m_profile->GetExtraOperationalAttributes();
    m_operationalMode = m_profile->GetShowOperationalAttributes() ? 1 : 0;
    m_extraOperational = m_keptExtra.IsEmpty() ? 0 : 1;
    if (m_operationalMode == 1 && m_extraOperational) RestoreRows(m_extraList, m_keptExtra);
    if (m_operationalMode == 0) m_extraOperational = 0;
    UpdateControls();
    SetModified(false);
    return true;
}

void CDisplayedAttributesPage::UpdateControls()
{
    Check(this, kIdcAllAttributes, m_attributeMode == 0);
    Check(this, kIdcListedAttributes, m_attributeMode == 1);
    EnableAll(this, {kIdcAttributeList, kIdcAddAttribute, kIdcRemoveAttribute}, m_attributeMode == 1);
    Check(this, kIdcHideOperational, m_operationalMode == 0);
    Check(this, kIdcShowOperational, m_operationalMode == 1);
    Check(this, kIdcExtraOperational, m_extraOperational != 0);
    EnableAll(this, {kIdcExtraOperational}, m_operationalMode == 1);
    EnableAll(this, {kIdcExtraList, kIdcAddExtra, kIdcRemoveExtra}, m_operationalMode == 1 && m_extraOperational);
}

void CDisplayedAttributesPage::SetAttributeMode(int mode)
{
    if (mode == m_attributeMode) return;
    m_attributeMode = mode;
    if (mode == 0) {
        KeepRows(m_attributeList, m_keptAttributes);
    } else {
        RestoreRows(m_attributeList, m_keptAttributes);
        if (m_attributeList->GetItemCount() == 0) m_attributeList->InsertItem(0, "objectClass");
    }
    UpdateControls();
    SetModified();
}

void CDisplayedAttributesPage::SetOperationalMode(int mode)
{
    if (mode == m_operationalMode) return;
    m_operationalMode = mode;
    if (mode == 0 && m_extraOperational) {
        KeepRows(m_extraList, m_keptExtra);
        m_extraOperational = 0;
    }
    UpdateControls();
    SetModified();
}

void CDisplayedAttributesPage::SetExtraOperational(bool on)
{
    if (on == (m_extraOperational != 0)) return;
    m_extraOperational = on ? 1 : 0;
    if (on)
        RestoreRows(m_extraList, m_keptExtra);
    else
        KeepRows(m_extraList, m_keptExtra);
    UpdateControls();
    SetModified();
}

void CDisplayedAttributesPage::OnAdd(bool extraList)
{
    wxListCtrl* list = extraList ? m_extraList : m_attributeList;
    const long row = list->InsertItem(list->GetItemCount(), wxString(m_placeholder));
    list->SetFocus();
    list->EditLabel(row);
    SetModified();
}

void CDisplayedAttributesPage::OnRemove(bool extraList)
{
    wxListCtrl* list = extraList ? m_extraList : m_attributeList;
    if (list->GetSelectedItemCount() == 0) return;
    for (long row = list->GetItemCount() - 1; row >= 0; --row)
        if (list->GetItemState(row, wxLIST_STATE_SELECTED) & wxLIST_STATE_SELECTED) {
            list->SetItemState(row, 0, wxLIST_STATE_SELECTED);
            list->DeleteItem(row);
        }
    if (list->GetItemCount() == 0) {
        if (extraList)
            SetExtraOperational(false);
        else
            SetAttributeMode(0);
    }
    SetModified();
}

bool CDisplayedAttributesPage::EndLabelEdit(bool extraList, long row, const wxString& text)
{
    if (dialogcore::KeepEditedLabel(text.ToStdWstring(), m_placeholder)) return true;
    wxListCtrl* list = extraList ? m_extraList : m_attributeList;
    // Not while the toolkit still finishes the edit of that row.
    CallAfter([list, row] {
        if (row < list->GetItemCount()) list->DeleteItem(row);
    });
    return false;
}

void CDisplayedAttributesPage::OnEndLabelEdit(wxListEvent& event, bool extraList)
{
    wxString text = event.GetLabel();
    if (event.IsEditCancelled()) {
        wxListCtrl* list = extraList ? m_extraList : m_attributeList;
        text = list->GetEditControl() ? list->GetEditControl()->GetValue().Left(kMaxLabel)
                                      : list->GetItemText(event.GetIndex());
    }
    if (!EndLabelEdit(extraList, event.GetIndex(), text)) {
        event.Veto();
    } else if (event.IsEditCancelled()) {
        // A cancelled edit would leave the placeholder standing as a name.
        wxListCtrl* list = extraList ? m_extraList : m_attributeList;
        const long row = event.GetIndex();
        CallAfter([list, row, text] {
            if (row < list->GetItemCount()) list->SetItemText(row, text);
        });
    }
}

bool CDisplayedAttributesPage::OnApply()
{
    StringList attributes;
    if (m_attributeMode == 1) attributes = dialogcore::AttributeNamesFromRows(RowTexts(m_attributeList));
    m_profile->SetAttributes(attributes);
    StringList extra;
    if (m_operationalMode == 1 && m_extraOperational)
        extra = dialogcore::AttributeNamesFromRows(RowTexts(m_extraList));
    m_profile->SetExtraOperationalAttributes(extra);
    m_profile->SetShowOperationalAttributes(m_operationalMode == 1 ? 1 : 0);
    return CPropertyPage::OnApply();
}
