#include "dialogs/CPluginLookupPage.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/wupdlock.h>
#include <wx/xrc/xmlres.h>

#include "base/Utf8.h"
#include "dialogs/CPluginInfoDlg.h"
#include "model/plugins/CPluginProxy.h"
#include "widgets/CIconListBox.h"
#include "widgets/UiResources.h"

namespace {

constexpr const wchar_t* kNoneChoice = L"NONE\nChoose this option to use standard manipulation.";
constexpr int kImagePlugin = 0;
constexpr int kImageNone = 1;

} // namespace

CPluginLookupPage::CPluginLookupPage(const wxString& heading, const wxString& caption, PluginSupportedTable& supported,
                                     PluginChosenTable& chosen, bool showUnresolvedOnly)
    : m_heading(heading), m_caption(caption), m_supported(supported), m_chosen(chosen),
      m_showUnresolvedOnly(showUnresolvedOnly), m_images(16, 16, true)
{
}

bool CPluginLookupPage::OnInitDialog()
{
    CResizablePage::OnInitDialog();
    m_choices = new CIconListBox(this, kIdcPluginChoices);
    if (!wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", kIdcPluginChoices), m_choices, this))
        return false;
    m_keys = dynamic_cast<wxListBox*>(FindWindow(kIdcPluginKeys));
    m_information = dynamic_cast<wxButton*>(FindWindow(kIdcPluginInformation));
    m_unresolvedOnly = dynamic_cast<wxCheckBox*>(FindWindow(kIdcPluginUnresolvedOnly));
    auto* heading = dynamic_cast<wxStaticText*>(FindWindow(kIdcPluginKeysHeading));
    if (!m_keys || !m_information || !m_unresolvedOnly || !heading) return false;

    for (unsigned id : {kIdbPluginChoice, kIdbPluginNone}) {
        wxBitmap bitmap = ui::LoadBitmapResource("bitmap", id);
        m_images.Add(bitmap.IsOk() ? bitmap : wxBitmap(16, 16));
    }
    m_choices->SetImageList(&m_images);
    m_choices->SetRadioMode(true);

    heading->SetLabel(m_heading);
    m_unresolvedOnly->SetValue(m_showUnresolvedOnly);
    FillKeys();

    m_keys->Bind(wxEVT_LISTBOX, &CPluginLookupPage::OnKeySelected, this);
    m_choices->Bind(wxEVT_LISTBOX, &CPluginLookupPage::OnChoiceSelected, this);
    m_choices->Bind(wxEVT_LISTBOX_DCLICK, &CPluginLookupPage::OnInformation, this);
    m_unresolvedOnly->Bind(wxEVT_CHECKBOX, &CPluginLookupPage::OnUnresolvedOnly, this);
    m_information->Bind(wxEVT_BUTTON, &CPluginLookupPage::OnInformation, this);
    Layout();
    return true;
}

std::string CPluginLookupPage::SelectedKey() const
{
    int row = m_keys->GetSelection();
    return row == wxNOT_FOUND ? std::string() : m_keys->GetString(row).ToStdString(wxConvUTF8);
}

void CPluginLookupPage::FillKeys()
{
    std::string previous = SelectedKey();
    m_keys->Clear();
    int select = wxNOT_FOUND;
    for (auto it = m_supported.begin(); it != m_supported.end(); it = m_supported.upper_bound(it->first)) {
        if (m_showUnresolvedOnly && m_chosen.count(it->first)) continue;
        int row = m_keys->Append(wxString::FromUTF8(it->first));
        if (it->first == previous) select = row;
    }
    if (select == wxNOT_FOUND && m_keys->GetCount() > 0) select = 0;
    if (select != wxNOT_FOUND) m_keys->SetSelection(select);
    FillChoices();
}

void CPluginLookupPage::FillChoices()
{
    wxWindowUpdateLocker lock(m_choices);
    m_choices->ResetContent();
    m_choicePlugins.clear();
    std::string key = SelectedKey();
    if (m_keys->GetSelection() != wxNOT_FOUND) {
        auto chosen = m_chosen.find(key);
        CPluginProxy* current = chosen == m_chosen.end() ? nullptr : chosen->second;
        int row = m_choices->AddItem(kNoneChoice);
        m_choices->SetItemImage(row, kImageNone);
        m_choicePlugins.push_back(nullptr);
        int select = row;
        auto range = m_supported.equal_range(key);
        for (auto it = range.first; it != range.second; ++it) {
            std::wstring title = it->second->GetDisplayName();
            for (wchar_t& c : title)
                if (c == L'\n') c = L' ';
            row = m_choices->AddItem(title + L"\n" + it->second->GetDescription());
            m_choices->SetItemImage(row, kImagePlugin);
            m_choicePlugins.push_back(it->second);
            if (it->second == current) select = row;
        }
        m_choices->SetSelection(select);
        m_choices->SelectExclusive(select);
    }
    UpdateInformationButton();
}

CPluginProxy* CPluginLookupPage::PluginOfChoice(int row) const
{
    return row >= 0 && static_cast<size_t>(row) < m_choicePlugins.size() ? m_choicePlugins[row] : nullptr;
}

void CPluginLookupPage::UpdateInformationButton()
{
    m_information->Enable(PluginOfChoice(m_choices->GetSelection()) != nullptr);
}

void CPluginLookupPage::OnKeySelected(wxCommandEvent&)
{
    if (m_showUnresolvedOnly)
        FillKeys();
    else
        FillChoices();
}

void CPluginLookupPage::OnChoiceSelected(wxCommandEvent&)
{
    int row = m_choices->GetSelection();
    std::string key = SelectedKey();
    if (row != wxNOT_FOUND && !key.empty()) m_chosen[key] = PluginOfChoice(row);
    UpdateInformationButton();
}

void CPluginLookupPage::OnUnresolvedOnly(wxCommandEvent&)
{
    m_showUnresolvedOnly = m_unresolvedOnly->GetValue();
    FillKeys();
}

void CPluginLookupPage::OnInformation(wxCommandEvent&)
{
    CPluginProxy* plugin = PluginOfChoice(m_choices->GetSelection());
    if (!plugin) return;
    CPluginInfoDlg dialog(*plugin, this);
    dialog.ShowModal();
}
