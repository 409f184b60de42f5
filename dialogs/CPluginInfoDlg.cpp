#include "dialogs/CPluginInfoDlg.h"

#include <wx/hyperlink.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "base/StringList.h"
#include "model/plugins/CPluginProxy.h"
#include "platform/DesktopLauncher.h"
#include "widgets/UiResources.h"

namespace {

constexpr unsigned kStrYes = 148;
constexpr unsigned kStrNo = 151;

void SetStatic(wxWindow* dialog, int id, const wxString& text)
{
    if (auto* label = dynamic_cast<wxStaticText*>(dialog->FindWindow(id))) label->SetLabel(text);
}

} // namespace

CPluginInfoDlg::CPluginInfoDlg(const CPluginProxy& plugin, wxWindow* parent)
{
    if (!ui::LoadDialogResource(this, parent, kIddPluginInfo)) {
        Create(parent, wxID_ANY, "Plugin Information");
        auto* column = new wxBoxSizer(wxVERTICAL);
        for (int id : {kIdcPluginDescription, kIdcPluginText2, kIdcPluginMail, kIdcPluginExtension, kIdcPluginConverter})
            column->Add(new wxStaticText(this, id, wxString()), 0, wxALL, 4);
        column->Add(new wxHyperlinkCtrl(this, kIdcPluginMailLink, "Send mail", "mailto:"), 0, wxALL, 4);
        for (int id : {kIdcPluginNames, kIdcPluginOids})
            column->Add(new wxListCtrl(this, id, wxDefaultPosition, wxSize(300, 100), wxLC_REPORT), 1, wxALL | wxEXPAND, 4);
        column->Add(CreateStdDialogButtonSizer(wxOK), 0, wxALL | wxEXPAND, 4);
        SetSizerAndFit(column);
    }
    SetTitle(wxString::Format("%s [%s]", GetTitle(), wxString(plugin.GetDisplayName())));
    SetStatic(this, kIdcPluginDescription, plugin.GetDescription());
    SetStatic(this, kIdcPluginText2, plugin.GetText2());
    SetStatic(this, kIdcPluginMail, plugin.GetMail());
    m_link = dynamic_cast<wxHyperlinkCtrl*>(FindWindow(kIdcPluginMailLink));
    if (m_link) {
        m_link->SetURL("mailto:" + wxString(plugin.GetMail()));
        m_link->Bind(wxEVT_HYPERLINK, &CPluginInfoDlg::OnMailLink, this);
    }
    SetStatic(this, kIdcPluginExtension, ui::ResourceString(plugin.HasExtension() ? kStrYes : kStrNo));
    SetStatic(this, kIdcPluginConverter, ui::ResourceString(plugin.HasConverter() ? kStrYes : kStrNo));
    FillList(kIdcPluginNames, "Names", plugin.GetNames());
    FillList(kIdcPluginOids, "OIDs", plugin.GetOids());
    Layout();
    CentreOnParent();
}

void CPluginInfoDlg::FillList(int id, const wxString& heading, const StringList& texts)
{
    auto* list = dynamic_cast<wxListCtrl*>(FindWindow(id));
    if (!list) return;
    list->InsertColumn(0, heading, wxLIST_FORMAT_LEFT, 180);
    long row = 0;
    for (const std::string& text : texts) list->InsertItem(row++, wxString::FromUTF8(text));
}

void CPluginInfoDlg::OnMailLink(wxHyperlinkEvent& event)
{
    // Through the desktop's handler (a recorder in tests), not the toolkit's browser call.
    if (auto launcher = platform::GetDesktopLauncher()) launcher->OpenUrl(event.GetURL().ToStdString(wxConvUTF8));
}
