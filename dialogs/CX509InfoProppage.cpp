#include "dialogs/CX509InfoProppage.h"

#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include "base/Utf8.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/ResourceText.h"
#include "platform/ShellPorts.h"
#include "widgets/UiResources.h"

namespace {

constexpr unsigned kDialog = 358;
constexpr int kListId = 1164;
constexpr int kDetailsId = 1165;
constexpr int kSaveId = 1028;
constexpr unsigned kImages = 1;
constexpr int kImageSize = 16;

constexpr unsigned kStrFieldColumn = 235;
constexpr unsigned kStrValueColumn = 237;
constexpr unsigned kStrSaveFilter = 32774;
constexpr unsigned kStrWriteFailed = 32776;

} // namespace

CX509InfoProppage::CX509InfoProppage(const std::string& value) : m_value(value)
{
    m_certificate.Load(m_value);
}

bool CX509InfoProppage::Create(wxWindow* book, const wxString& title)
{
    const bool made = CreatePage(book, kDialog);
    SetTitle(title);
    return made;
}

bool CX509InfoProppage::OnInitDialog()
{
    m_list = Control<wxListCtrl>(kListId);
    m_details = Control<wxTextCtrl>(kDetailsId);
    m_save = Control<wxButton>(kSaveId);
    if (!m_list) m_list = new wxListCtrl(this, kListId, wxDefaultPosition, wxSize(460, 230), wxLC_REPORT | wxLC_SINGLE_SEL);
    if (!m_details)
        m_details = new wxTextCtrl(this, kDetailsId, wxString(), wxDefaultPosition, wxSize(460, 140),
                                   wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2);
    if (!m_save) m_save = new wxButton(this, kSaveId, "&Save...");
    SetUpList();
    m_certificate.SetUpperCase(true);
    m_certificate.SetSeparator(m_separator);
    AddRows();
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { ShowDetails(); });
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { ShowDetails(); });
    m_save->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Save(); });
    return true;
}

void CX509InfoProppage::SetUpList()
{
    wxBitmap strip = ui::LoadBitmapResource("bitmap", kImages);
    if (strip.IsOk()) {
        auto* images = new wxImageList(kImageSize, kImageSize, true, 2);
        images->Add(strip, *wxWHITE);
        m_list->AssignImageList(images, wxIMAGE_LIST_SMALL);
    }
    const int width = m_list->GetClientSize().GetWidth();
    const int scrollBar = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_list);
    const int first = width / 2 - scrollBar / 2;
    m_list->InsertColumn(0, wxString(LoadResourceText(kStrFieldColumn)), wxLIST_FORMAT_LEFT, first);
    m_list->InsertColumn(1, wxString(LoadResourceText(kStrValueColumn)), wxLIST_FORMAT_LEFT,
                         width - first - scrollBar);
}

void CX509InfoProppage::AddRows()
{
    m_rows = MakeCertificateRows(m_certificate);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const CertificateRow& row = m_rows[i];
        const long item = m_list->InsertItem(static_cast<long>(i), wxString(LoadResourceText(row.label)), row.image);
        m_list->SetItem(item, 1, wxString(row.text));
        m_list->SetItemData(item, static_cast<long>(i));
    }
}

void CX509InfoProppage::ShowDetails()
{
    const long selected = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (selected < 0) {
        m_details->Clear();
        m_fixedWidthShown = false;
        return;
    }
    const CertificateRow& row = m_rows.at(static_cast<size_t>(m_list->GetItemData(selected)));
    const wxString text = wxString::FromUTF8(row.details);
    m_details->ChangeValue(text);
    wxFont font = GetFont();
    if (row.fixedWidth)
        font = wxFont(wxFontInfo(font.GetPointSize()).Family(wxFONTFAMILY_TELETYPE));
    wxTextAttr style;
    style.SetFont(font);
    m_details->SetStyle(0, m_details->GetLastPosition(), style);
    m_fixedWidthShown = row.fixedWidth;
}

void CX509InfoProppage::Save()
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    std::wstring path;
    if (!dialogs ||
        !dialogs->ChooseSaveFile(L"txt", GetTitle().ToStdWstring(), LoadResourceText(kStrSaveFilter), path))
        return;
    if (!m_certificate.SaveAsText(path))
        platform::ShowMessageBox(LoadResourceText(kStrWriteFailed), platform::kMbOk | platform::kMbIconError);
}
