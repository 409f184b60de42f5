#include "dialogs/ServerPropertyPages.h"

#include "dialogs/CLDAPSettingsPropertiesDlg.h"
#include "dialogs/CServerMonitorPropertiesPage.h"
#include "dialogs/CServerPropertiesDlg.h"
#include "dialogs/ServerCredentailsPropertiesDlg.h"
#include "model/CServerObject.h"
#include "model/NodePropertyPages.h"

wxWindow* MakeNodeDetailsPage(wxWindow* book, const NodePropertyPage& base, wxString& title)
{
    const auto* page = dynamic_cast<const NodeDetailsPage*>(&base);
    if (!page)
        return nullptr;
    auto* server = dynamic_cast<CServerObject*>(page->node);
    if (!server)
        return nullptr;
    CPropertyPage* window = nullptr;
    switch (page->kind) {
    case NodeDetailsPage::Server: window = new CServerPropertiesDlg(book, server); break;
    case NodeDetailsPage::ServerCredentials: window = new ServerCredentailsPropertiesDlg(book, server); break;
    case NodeDetailsPage::LDAPSettings: window = new CLDAPSettingsPropertiesDlg(book, server); break;
    // On the node's profile part.
    case NodeDetailsPage::ServerMonitor: window = new CServerMonitorPropertiesPage(book, server); break;
    default: return nullptr;
    }
    title = window->GetTitle();
    return window;
}
