#pragma once
// A page of the LDAP controls sent with every request to a server: the
// profile's server controls or its client controls. Each row shows a
// control's OID, the start of its value and its criticality; its check box
// tells whether the control is sent. Apply stores the list in the profile's
// options. The server-controls page of a profile without server controls
// asks the server's root DSE for the controls it supports.

#include <memory>

#include "ldap/LDAPControl.h"
#include "platform/Dispatcher.h"
#include "dialogs/CPropertyPage.h"

class CServerProfile;
class wxButton;
class wxListCtrl;
class wxListEvent;

class CControlsPropertyPage : public CPropertyPage, private platform::MessageReceiver {
public:
    enum { IDD = 248, kIdcList = 1191, kIdcAdd = 1037, kIdcEdit = 1038, kIdcRemove = 1039 };

    CControlsPropertyPage(bool serverControls, CServerProfile* profile);
    ~CControlsPropertyPage() override;
    // The page's window inside the sheet's book (set the title and the
    // controls first: the page is set up at once).
    bool Create(wxWindow* book);
    void SetControls(arbldap::LDAPControlList* controls) { m_controls = controls; }

    bool OnInitDialog() override;
    bool OnApply() override;

    // The buttons' work.
    void OnAdd();
    void OnEdit();
    void OnRemove();

    wxListCtrl* GetList() const { return m_list; }
    // Where the root-DSE fetcher posts its messages.
    platform::ReceiverId GetReceiverId() const { return m_registration.Id(); }
    bool IsFetching() const { return m_fetching; }

private:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;
    // Starts reading the server's supported controls; false when it could
    // not be started.
    bool StartControlsFetch();
    void EnableControls(bool enable);
    void FillRows();
    void InsertRow(size_t index);
    void UpdateRow(size_t index);
    void OnCheckChanged(wxListEvent& event);

    bool m_serverControls;
    CServerProfile* m_profile;
    arbldap::LDAPControlList* m_controls = nullptr;
    wxListCtrl* m_list = nullptr;
    bool m_fetching = false;
    platform::ReceiverRegistration m_registration;
};
