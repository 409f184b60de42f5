#include "ui/WxPropertySheet.h"

#include <wx/artprov.h>
#include <wx/bookctrl.h>
#include <wx/panel.h>
#include <wx/propdlg.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CPropertyPage.h"
#include "dialogs/ServerPropertyPages.h"
#include "model/ports/NodePropertyPages.h"
#include "widgets/DialogOwner.h"

namespace ui {

namespace {

wxArtID IconForPage(int iconId)
{
    // The error node's page shows the error icon; every other one information.
    return iconId == 377 || iconId == 382 ? wxART_ERROR : wxART_INFORMATION;
}

wxWindow* MakeMessagePage(wxWindow* book, const NodePropertyPage& base, wxString& title)
{
    const auto& page = static_cast<const MessagePropertiesPage&>(base);
    title = wxString(page.title);
    auto* panel = new wxPanel(book);
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticBitmap(panel, wxID_ANY, wxArtProvider::GetBitmap(IconForPage(page.iconId), wxART_MESSAGE_BOX)),
             0, wxALL, 8);
    top->Add(new wxStaticText(panel, wxID_ANY, wxString(page.description)), 1, wxALL | wxEXPAND, 8);
    column->Add(top, 0, wxEXPAND);
    column->Add(new wxStaticText(panel, wxID_ANY, wxString(page.firstDetail)), 0, wxALL | wxEXPAND, 8);
    column->Add(new wxStaticText(panel, wxID_ANY, wxString(page.secondDetail)), 1, wxALL | wxEXPAND, 8);
    panel->SetSizer(column);
    return panel;
}

} // namespace

WxPropertySheet::WxPropertySheet()
{
    RegisterPage<MessagePropertiesPage>(MakeMessagePage);
    RegisterPage<NodeDetailsPage>(MakeNodeDetailsPage, CanMakeNodeDetailsPage);
}

int WxPropertySheet::RunModal(const std::wstring& caption, const PropertyPageList& pages)
{
    CCommonPropertySheet sheet(DialogOwner(), wxString(caption));
    for (const auto& page : pages) {
        if (!page) continue;
        auto maker = m_makers.find(std::type_index(typeid(*page)));
        if (maker == m_makers.end()) continue;
        wxString title;
        if (wxWindow* window = maker->second.make(sheet.GetBook(), *page, title)) {
            if (auto* protocolPage = dynamic_cast<CPropertyPage*>(window))
                sheet.AddPage(protocolPage);
            else
                sheet.AddPage(window, title);
        }
    }
    if (sheet.GetPageCount() == 0) return 2;
    return sheet.ShowModal() == wxID_OK ? 1 : 2;
}

bool WxPropertySheet::CanShow(const NodePropertyPage& page) const
{
    auto maker = m_makers.find(std::type_index(typeid(page)));
    return maker != m_makers.end() && maker->second.test(page);
}

} // namespace ui
