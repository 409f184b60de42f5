#include "ui/WxPropertySheet.h"

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CMessagePropertiesDlg.h"
#include "dialogs/CMultiTypeProppage.h"
#include "dialogs/CPropertyPage.h"
#include "dialogs/ServerPropertyPages.h"
#include "model/ports/NodePropertyPages.h"
#include "widgets/DialogOwner.h"

namespace ui {

namespace {

wxWindow* MakeMessagePage(wxWindow* book, const NodePropertyPage& base, wxString& title)
{
    auto* page = new CMessagePropertiesDlg(book, static_cast<const MessagePropertiesPage&>(base));
    title = page->GetTitle();
    return page;
}

wxWindow* MakeMultiTypePage(wxWindow* book, const NodePropertyPage& base, wxString& title)
{
    auto* page = new CMultiTypeProppage(book, static_cast<const MultiTypePage&>(base).nodes);
    title = page->GetTitle();
    return page;
}

} // namespace

WxPropertySheet::WxPropertySheet()
{
    RegisterPage<MessagePropertiesPage>(MakeMessagePage);
    RegisterPage<NodeDetailsPage>(MakeNodeDetailsPage, CanMakeNodeDetailsPage);
    RegisterPage<MultiTypePage>(MakeMultiTypePage);
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
