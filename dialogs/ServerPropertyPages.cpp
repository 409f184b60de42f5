#include "dialogs/ServerPropertyPages.h"

#include "dialogs/CLDAPSettingsPropertiesDlg.h"
#include "dialogs/CServerMonitorPropertiesPage.h"
#include "dialogs/CServerPropertiesDlg.h"
#include "dialogs/ServerCredentailsPropertiesDlg.h"
#include "model/CServerObject.h"
#include "model/NodePropertyPages.h"

namespace {

template <class Page>
wxWindow* Made(Page* page, wxWindow* book, wxString& title)
{
    page->Create(book);
    title = page->GetTitle();
    return page;
}

} // namespace

wxWindow* MakeNodeDetailsPage(wxWindow* book, const NodePropertyPage& base, wxString& title)
{
    const auto* page = dynamic_cast<const NodeDetailsPage*>(&base);
    if (!page)
        return nullptr;
    auto* server = dynamic_cast<CServerObject*>(page->node);
    if (!server)
        return nullptr;
    switch (page->kind) {
    case NodeDetailsPage::Server: return Made(new CServerPropertiesDlg(server), book, title);
    case NodeDetailsPage::ServerCredentials: return Made(new ServerCredentailsPropertiesDlg(server), book, title);
    case NodeDetailsPage::LDAPSettings: return Made(new CLDAPSettingsPropertiesDlg(server), book, title);
    // On the node's profile part.
    case NodeDetailsPage::ServerMonitor: return Made(new CServerMonitorPropertiesPage(server), book, title);
    default: return nullptr;
    }
}
