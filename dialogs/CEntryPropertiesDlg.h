#pragma once
// The properties page of an entry: its URL, DN, size, child entries,
// attributes and who made and changed it. Read only; the texts are read
// from the node when the page is made and the page keeps no pointer to it.

#include "dialogcore/NodePageTexts.h"
#include "dialogs/CPropertyPage.h"

class CEntryObject;

constexpr unsigned kDlgEntryProperties = 267;
constexpr int kIdcEntryIcon = 1470;
constexpr int kIdcEntryURL = 1471;
constexpr int kIdcEntryDN = 1472;
constexpr int kIdcEntrySize = 1473;
constexpr int kIdcEntryChildren = 1474;
constexpr int kIdcEntryAttributes = 1475;
constexpr int kIdcEntryModifiedBy = 1476;
constexpr int kIdcEntryModifiedAt = 1477;
constexpr int kIdcEntryCreatedBy = 1478;
constexpr int kIdcEntryCreatedAt = 1479;

class CEntryPropertiesDlg : public CPropertyPage {
public:
    CEntryPropertiesDlg(wxWindow* book, const CEntryObject& entry);

    bool OnInitDialog() override;

private:
    EntryPageTexts m_texts;
};
