#pragma once
// The properties page of an error, information or root node: an icon, the
// node's type and value, a description and up to two details. An empty
// detail leaves its edit disabled; an empty second detail hides it and its
// label. Read only; the texts are read when the page is made.

#include <string>

#include "dialogs/CPropertyPage.h"

class MessagePropertiesPage;

constexpr unsigned kDlgMessageProperties = 278;
constexpr int kIdcMessageIcon = 1490;
constexpr int kIdcMessageType = 1491;
constexpr int kIdcMessageValue = 1492;
constexpr int kIdcMessageDescription = 1493;
constexpr int kIdcMessageFirstDetail = 1494;
constexpr int kIdcMessageSecondDetail = 1495;
constexpr int kIdcMessageSecondLabel = 1496;

class CMessagePropertiesDlg : public CPropertyPage {
public:
    CMessagePropertiesDlg(wxWindow* book, const MessagePropertiesPage& page);

    bool OnInitDialog() override;

private:
    unsigned m_iconId;
    std::wstring m_type;
    std::wstring m_value;
    std::wstring m_description;
    std::wstring m_firstDetail;
    std::wstring m_secondDetail;
};
