#include "dialogs/CEntryPropertiesDlg.h"

#include "dialogs/NodePageControls.h"

CEntryPropertiesDlg::CEntryPropertiesDlg(wxWindow* book, const CEntryObject& entry) : m_texts(ReadEntryPage(entry))
{
    CreatePage(book, kDlgEntryProperties);
}

bool CEntryPropertiesDlg::OnInitDialog()
{
    SetPageIcon(*this, kIdcEntryIcon, m_texts.iconId);
    SetPageText(*this, kIdcEntryURL, m_texts.url);
    SetPageText(*this, kIdcEntryDN, m_texts.dn);
    SetPageText(*this, kIdcEntrySize, m_texts.size);
    SetPageText(*this, kIdcEntryChildren, m_texts.childEntries);
    SetPageText(*this, kIdcEntryAttributes, m_texts.attributes);
    SetPageText(*this, kIdcEntryModifiedBy, m_texts.modifiedBy);
    SetPageText(*this, kIdcEntryModifiedAt, m_texts.modifiedAt);
    SetPageText(*this, kIdcEntryCreatedBy, m_texts.createdBy);
    SetPageText(*this, kIdcEntryCreatedAt, m_texts.createdAt);
    return true;
}
