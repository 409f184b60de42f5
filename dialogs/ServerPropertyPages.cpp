#include "dialogs/ServerPropertyPages.h"

#include "dialogs/CEntryPropertiesDlg.h"
#include "dialogs/CLDAPSettingsPropertiesDlg.h"
#include "dialogs/CServerMonitorPropertiesPage.h"
#include "dialogs/CServerPropertiesDlg.h"
#include "dialogs/CTextAttrPropertiesDlg.h"
#include "dialogs/ServerCredentailsPropertiesDlg.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CServerObject.h"
#include "model/ports/NodePropertyPages.h"

namespace {

wxWindow* Made(CPropertyPage* page, wxString& title)
{
    title = page->GetTitle();
    return page;
}

} // namespace

wxWindow* MakeNodeDetailsPage(wxWindow* book, const NodePropertyPage& base, wxString& title)
{
    const auto* page = dynamic_cast<const NodeDetailsPage*>(&base);
    if (!page)
        return nullptr;
    if (page->kind == NodeDetailsPage::Entry) {
        auto* entry = dynamic_cast<CEntryObject*>(page->node);
        return entry ? Made(new CEntryPropertiesDlg(book, *entry), title) : nullptr;
    }
    if (page->kind == NodeDetailsPage::TextAttribute) {
        auto* value = dynamic_cast<CAttrObject*>(page->node);
        return value ? Made(new CTextAttrPropertiesDlg(book, *value), title) : nullptr;
    }
    auto* server = dynamic_cast<CServerObject*>(page->node);
    if (!server)
        return nullptr;
    switch (page->kind) {
    case NodeDetailsPage::Server: return Made(new CServerPropertiesDlg(book, server), title);
    case NodeDetailsPage::ServerCredentials: return Made(new ServerCredentailsPropertiesDlg(book, server), title);
    case NodeDetailsPage::LDAPSettings: return Made(new CLDAPSettingsPropertiesDlg(book, server), title);
    // On the node's profile part.
    case NodeDetailsPage::ServerMonitor: return Made(new CServerMonitorPropertiesPage(book, server), title);
    default: return nullptr;
    }
}

bool CanMakeNodeDetailsPage(const NodePropertyPage& base)
{
    const auto* page = dynamic_cast<const NodeDetailsPage*>(&base);
    if (!page)
        return false;
    if (page->kind == NodeDetailsPage::Entry)
        return dynamic_cast<CEntryObject*>(page->node) != nullptr;
    if (page->kind == NodeDetailsPage::TextAttribute)
        return dynamic_cast<CAttrObject*>(page->node) != nullptr;
    if (!dynamic_cast<CServerObject*>(page->node))
        return false;
    switch (page->kind) {
    case NodeDetailsPage::Server:
    case NodeDetailsPage::ServerCredentials:
    case NodeDetailsPage::LDAPSettings:
    case NodeDetailsPage::ServerMonitor:
        return true;
    default:
        return false;
    }
}
