#pragma once
// The properties page of an attribute value: its entry, name, value,
// syntax, type, size, usage and four schema flags. Read only; the texts are
// read from the node when the page is made.

#include <wx/imaglist.h>

#include "dialogcore/NodePageTexts.h"
#include "dialogs/CPropertyPage.h"

class CAttrObject;

constexpr unsigned kDlgTextAttrProperties = 259;
constexpr unsigned kBmpAttributeFlags = 362;
constexpr int kIdcAttrIcon = 1500;
constexpr int kIdcAttrDN = 1501;
constexpr int kIdcAttrName = 1502;
constexpr int kIdcAttrValue = 1503;
constexpr int kIdcAttrSyntaxName = 1504;
constexpr int kIdcAttrSyntaxOid = 1505;
constexpr int kIdcAttrType = 1506;
constexpr int kIdcAttrSize = 1507;
constexpr int kIdcAttrUsage = 1508;
constexpr int kIdcAttrFlags = 1509;

class CTextAttrPropertiesDlg : public CPropertyPage {
public:
    CTextAttrPropertiesDlg(wxWindow* book, const CAttrObject& value);

    bool OnInitDialog() override;

private:
    void FillFlags();

    AttributePageTexts m_texts;
    wxImageList m_images;
};
