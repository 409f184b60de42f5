#pragma once
// The less common settings of one server profile: the server and client
// controls sent with every request, the server monitor, the attributes the
// list view shows and, opened from a server node, the server's schema. Each
// page writes into the profile when it applies; saving the profile is the
// caller's business.

#include <memory>

#include "ldap/LDAPControl.h"
#include "dialogs/CCommonPropertySheet.h"

class CControlsPropertyPage;
class CDisplayedAttributesPage;
class CServerMonitorPropertiesPage;
class CServerObject;
class CServerProfile;

class CAdvancedPropertySheet : public CCommonPropertySheet {
public:
    // On a profile being made (the new-profile wizard's): it is held from
    // storage while the sheet is open, so that nothing a page applies is
    // saved before the wizard finishes.
    CAdvancedPropertySheet(const wxString& caption, wxWindow* parent, CServerProfile* profile);
    // On a server node's profile, with the server's schema page.
    CAdvancedPropertySheet(const wxString& caption, wxWindow* parent, CServerObject* server);
    ~CAdvancedPropertySheet() override;

    CControlsPropertyPage* GetServerControlsPage() const { return m_serverPage; }
    CControlsPropertyPage* GetClientControlsPage() const { return m_clientPage; }
    CServerMonitorPropertiesPage* GetMonitorPage() const { return m_monitorPage; }
    CDisplayedAttributesPage* GetDisplayedAttributesPage() const { return m_attributesPage; }

private:
    void SetUp(CServerProfile* profile);

    CServerProfile* m_profile = nullptr;
    bool m_heldBefore = false;
    bool m_holdsStorage = false;
    std::unique_ptr<arbldap::LDAPControlList> m_serverControls;
    std::unique_ptr<arbldap::LDAPControlList> m_clientControls;
    // Windows of the sheet's book, destroyed with it.
    CControlsPropertyPage* m_serverPage = nullptr;
    CControlsPropertyPage* m_clientPage = nullptr;
    CServerMonitorPropertiesPage* m_monitorPage = nullptr;
    CDisplayedAttributesPage* m_attributesPage = nullptr;
};
