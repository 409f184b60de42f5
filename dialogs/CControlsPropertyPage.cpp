#include "dialogs/CControlsPropertyPage.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "dialogcore/CRootDSEFetchThread.h"
#include "dialogcore/ControlListEdit.h"
#include "dialogs/CControlEditorDlg.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "platform/ShellPorts.h"
#include "widgets/UiResources.h"

using arbldap::LDAPControl;
using arbldap::LDAPControlList;

namespace {
constexpr unsigned kStrYes = 148;
constexpr unsigned kStrNo = 151;
constexpr unsigned kStrRemoveQuestion = 292;
constexpr unsigned kStrFetchFailed = 293;
constexpr unsigned kStrValueColumn = 700;
constexpr unsigned kStrCriticalColumn = 701;

// The mnemonic of a button text has no place in a list cell.
wxString CellText(unsigned id) { return wxStripMenuCodes(ui::ResourceString(id)); }

std::wstring ReplaceFirst(std::wstring text, const std::wstring& marker, const std::wstring& by)
{
    const size_t at = text.find(marker);
    if (at != std::wstring::npos) text.replace(at, marker.size(), by);
    return text;
}
} // namespace

CControlsPropertyPage::CControlsPropertyPage(bool serverControls, CServerProfile* profile)
    : m_serverControls(serverControls), m_profile(profile)
{
}

CControlsPropertyPage::~CControlsPropertyPage() { m_registration.Reset(); }

bool CControlsPropertyPage::Create(wxWindow* book) { return CreatePage(book, IDD); }

bool CControlsPropertyPage::OnInitDialog()
{
    m_list = dynamic_cast<wxListCtrl*>(FindWindow(kIdcList));
    if (!m_list) {
        // Without the resource library: the list and its buttons, plainly.
        auto* column = new wxBoxSizer(wxVERTICAL);
        m_list = new wxListCtrl(this, kIdcList, wxDefaultPosition, wxSize(440, 220), wxLC_REPORT);
        column->Add(m_list, 1, wxALL | wxEXPAND, 8);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxButton(this, kIdcAdd, "Add..."));
        row->Add(new wxButton(this, kIdcEdit, "Edit..."));
        row->Add(new wxButton(this, kIdcRemove, "Remove"));
        column->Add(row, 0, wxALL, 8);
        SetSizer(column);
    }
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(); }, kIdcAdd);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnEdit(); }, kIdcEdit);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemove(); }, kIdcRemove);
    m_list->Bind(wxEVT_LIST_ITEM_CHECKED, &CControlsPropertyPage::OnCheckChanged, this);
    m_list->Bind(wxEVT_LIST_ITEM_UNCHECKED, &CControlsPropertyPage::OnCheckChanged, this);
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { OnEdit(); });
    m_registration = platform::ReceiverRegistration(*this);

    m_list->EnableCheckBoxes(true);
    const int width = std::max(m_list->GetClientSize().GetWidth(), m_list->GetMinSize().GetWidth());
    m_list->InsertColumn(0, "OID", wxLIST_FORMAT_LEFT, static_cast<int>(width * 0.55));
    m_list->InsertColumn(1, ui::ResourceString(kStrValueColumn), wxLIST_FORMAT_LEFT, static_cast<int>(width * 0.30));
    m_list->InsertColumn(2, ui::ResourceString(kStrCriticalColumn), wxLIST_FORMAT_LEFT,
                         static_cast<int>(width * 0.15));
    if (m_serverControls && m_controls && m_controls->IsEmpty()) {
        // The buttons come back when the fetch has ended.
        if (StartControlsFetch()) EnableControls(false);
    } else {
        FillRows();
    }
    return true;
}

bool CControlsPropertyPage::StartControlsFetch()
{
    if (!m_profile) return false;
    auto fetcher = std::make_shared<CRootDSEFetchThread>(m_profile->GetHostName(), m_profile->GetPort(),
                                                         &m_profile->GetOptions(), GetReceiverId());
    fetcher->SetOption(CRootDSEFetchThread::kSupportedControls, true);
    m_fetching = fetcher->CreateThread();
    return m_fetching;
}

void CControlsPropertyPage::EnableControls(bool enable)
{
    for (int id : {static_cast<int>(kIdcList), static_cast<int>(kIdcAdd), static_cast<int>(kIdcEdit),
                   static_cast<int>(kIdcRemove)})
        if (wxWindow* w = FindWindow(id)) w->Enable(enable);
}

void CControlsPropertyPage::FillRows()
{
    m_list->DeleteAllItems();
    if (!m_controls) return;
    for (size_t i = 0; i < m_controls->GetCount(); ++i) InsertRow(i);
}

// Rows and controls stay in the same order: row i shows control i.
void CControlsPropertyPage::InsertRow(size_t index)
{
    const long row = m_list->InsertItem(static_cast<long>(index), wxString());
    UpdateRow(static_cast<size_t>(row));
    m_list->CheckItem(row, m_controls->GetAt(index).IsEnabled());
}

void CControlsPropertyPage::UpdateRow(size_t index)
{
    const LDAPControl& control = m_controls->GetAt(index);
    const long row = static_cast<long>(index);
    m_list->SetItem(row, 0, wxString(Utf8ToWideString(control.GetOID())));
    m_list->SetItem(row, 1, wxString(dialogcore::ControlValuePreview(control.GetValue())));
    m_list->SetItem(row, 2, CellText(control.IsCritical() ? kStrYes : kStrNo));
}

void CControlsPropertyPage::OnAdd()
{
    if (!m_controls) return;
    std::unique_ptr<LDAPControl> slot;
    CControlEditorDlg editor(slot, this);
    editor.DoModal();
    if (!slot) return;
    const dialogcore::MergeResult merged = dialogcore::MergeControl(*m_controls, *slot);
    if (merged.added) {
        InsertRow(merged.index);
    } else {
        UpdateRow(merged.index);
        // Apply takes the enabled flags from the boxes: left as it was, the
        // box would undo the flag the new control brought.
        m_list->CheckItem(static_cast<long>(merged.index), m_controls->GetAt(merged.index).IsEnabled());
    }
    SetModified();
}

void CControlsPropertyPage::OnEdit()
{
    const long row = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0 || !m_controls || static_cast<size_t>(row) >= m_controls->GetCount()) return;
    LDAPControl& control = m_controls->GetAt(static_cast<size_t>(row));
    auto slot = std::make_unique<LDAPControl>(control);
    CControlEditorDlg editor(slot, this);
    if (editor.DoModal() == wxID_OK) control = *slot;
    UpdateRow(static_cast<size_t>(row));
    SetModified();
}

void CControlsPropertyPage::OnRemove()
{
    const int count = m_list->GetSelectedItemCount();
    if (count <= 0 || !m_controls) return;
    const std::wstring question =
        ReplaceFirst(LoadResourceText(kStrRemoveQuestion), L"%d", std::to_wstring(count));
    if (platform::ShowMessageBox(question, platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes)
        return;
    for (long row = m_list->GetItemCount() - 1; row >= 0; --row) {
        if (!(m_list->GetItemState(row, wxLIST_STATE_SELECTED) & wxLIST_STATE_SELECTED)) continue;
        m_controls->RemoveAt(static_cast<size_t>(row));
        m_list->DeleteItem(row);
    }
    SetModified();
}

void CControlsPropertyPage::OnCheckChanged(wxListEvent& event)
{
    SetModified();
    event.Skip();
}

bool CControlsPropertyPage::OnApply()
{
    if (m_controls && m_profile) {
        for (long row = 0; row < m_list->GetItemCount() && static_cast<size_t>(row) < m_controls->GetCount(); ++row)
            m_controls->GetAt(static_cast<size_t>(row)).SetEnabled(m_list->IsItemChecked(row));
        if (m_serverControls)
            m_profile->GetOptions().SetServerControls(m_controls);
        else
            m_profile->GetOptions().SetClientControls(m_controls);
    }
    return CPropertyPage::OnApply();
}

void CControlsPropertyPage::OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t,
                                      std::unique_ptr<platform::MessagePayload> payload)
{
    switch (id) {
    case platform::WM_ROOTDSE_CONTROLS:
        if (LDAPControlList* received = platform::PayloadValue<LDAPControlList>(payload)) {
            if (m_controls) *m_controls = *received;
            FillRows();
        }
        break;
    case platform::WM_ROOTDSE_ERROR: {
        const std::wstring* text = platform::PayloadValue<std::wstring>(payload);
        // The number first: the error text may hold a "%d" of its own.
        std::wstring line = ReplaceFirst(LoadResourceText(kStrFetchFailed), L"%d",
                                         std::to_wstring(static_cast<long>(static_cast<intptr_t>(wParam))));
        LogLine(ReplaceFirst(line, L"%s", text ? *text : std::wstring()));
        break;
    }
    case platform::WM_ROOTDSE_ENDED:
        m_fetching = false;
        EnableControls(true);
        SetModified();  // so that Apply stores what was fetched
        break;
    default: break;
    }
}
