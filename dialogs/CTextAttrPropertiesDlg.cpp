#include "dialogs/CTextAttrPropertiesDlg.h"

#include <wx/listctrl.h>
#include <wx/settings.h>

#include "dialogs/NodePageControls.h"
#include "model/ports/ResourceText.h"
#include "widgets/UiResources.h"

CTextAttrPropertiesDlg::CTextAttrPropertiesDlg(wxWindow* book, const CAttrObject& value)
    : m_texts(ReadAttributePage(value)), m_images(16, 16, true)
{
    CreatePage(book, kDlgTextAttrProperties);
}

bool CTextAttrPropertiesDlg::OnInitDialog()
{
    SetPageIcon(*this, kIdcAttrIcon, m_texts.iconId);
    SetPageText(*this, kIdcAttrDN, m_texts.dn);
    SetPageText(*this, kIdcAttrName, m_texts.name);
    SetPageText(*this, kIdcAttrValue, m_texts.value);
    SetPageText(*this, kIdcAttrSyntaxName, m_texts.syntaxName);
    SetPageText(*this, kIdcAttrSyntaxOid, m_texts.syntaxOid);
    SetPageText(*this, kIdcAttrType, m_texts.type);
    SetPageText(*this, kIdcAttrSize, m_texts.size);
    SetPageText(*this, kIdcAttrUsage, m_texts.usage);
    FillFlags();
    return true;
}

void CTextAttrPropertiesDlg::FillFlags()
{
    auto* list = dynamic_cast<wxListCtrl*>(FindWindow(kIdcAttrFlags));
    if (!list)
        return;
    // Image 0: the flag does not hold; image 1: it holds. White is the mask.
    wxBitmap strip = ui::LoadBitmapResource("bitmap", kBmpAttributeFlags);
    if (strip.IsOk())
        m_images.Add(strip, *wxWHITE);
    list->SetImageList(&m_images, wxIMAGE_LIST_SMALL);
    list->InsertColumn(0, wxString());
    for (int flag = 0; flag < kAttributeFlagCount; ++flag) {
        const long row = list->InsertItem(flag, wxString(LoadResourceText(m_texts.flagStrings[flag])),
                                          m_texts.flags[flag] ? 1 : 0);
        list->SetItemData(row, m_texts.flags[flag] ? 1 : 0);
    }
    const int width = list->GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X);
    list->SetColumnWidth(0, width > 100 ? width : wxLIST_AUTOSIZE);
}
