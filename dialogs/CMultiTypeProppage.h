#pragma once
// The summary page of several selected rows: how many servers, entries and
// values, their total size and kind, and with one kind only what they have
// in common (where the entries or values lie and on which server, or how
// many of the servers are open). Read from the nodes when the page is made.

#include "dialogcore/SelectionSummary.h"
#include "dialogs/CPropertyPage.h"

constexpr unsigned kDlgMultiType = 374;
constexpr int kIdcMultiCommonLabel = 1177;
constexpr int kIdcMultiServerLabel = 1176;
constexpr int kIdcMultiLocationLabel = 1175;
constexpr int kIdcMultiSummary = 1174;
constexpr int kIdcMultiServer = 1137;
constexpr int kIdcMultiLocation = 1136;
constexpr int kIdcMultiKind = 1131;
constexpr int kIdcMultiSize = 1133;

class CMultiTypeProppage : public CPropertyPage {
public:
    CMultiTypeProppage(wxWindow* book, const std::vector<CDataObject*>& nodes);

    bool OnInitDialog() override;

private:
    void ShowControl(int id, const std::wstring* text = nullptr);

    SelectionSummary m_summary;
};
