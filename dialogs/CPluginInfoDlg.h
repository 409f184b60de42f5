#pragma once
// What one plug-in declares about itself: its texts, its author's mail
// address as a link, whether it offers the extension and converter
// interfaces, and the attribute names and syntax OIDs it handles.

#include <wx/dialog.h>

class CPluginProxy;
class wxHyperlinkCtrl;
class wxHyperlinkEvent;
class wxListCtrl;

constexpr unsigned kIddPluginInfo = 653;
constexpr int kIdcPluginDescription = 1125;
constexpr int kIdcPluginText2 = 1083;
constexpr int kIdcPluginMail = 1196;
constexpr int kIdcPluginMailLink = 1197;
constexpr int kIdcPluginExtension = 1312;
constexpr int kIdcPluginConverter = 1314;
constexpr int kIdcPluginNames = 1313;
constexpr int kIdcPluginOids = 1315;
// No context of its own in the help's context table.
constexpr unsigned kHelpContextPluginInfo = 0;

class CPluginInfoDlg : public wxDialog {
public:
    CPluginInfoDlg(const CPluginProxy& plugin, wxWindow* parent);

    wxHyperlinkCtrl* GetMailLink() const { return m_link; }

private:
    void FillList(int id, const wxString& heading, const class StringList& texts);
    void OnMailLink(wxHyperlinkEvent& event);

    wxHyperlinkCtrl* m_link = nullptr;
};
