#pragma once
// The node job that changes an entry's values on the server: one modify
// request with the modifications it was given. On success it can have the
// entry read its attributes again; a failure becomes an error node under
// the entry and a log line.

#include "jobs/CLDAPOperationThread.h"
#include "ldap/LDAPModificationList.h"

class CEntryObject;

class CModifyThread : public CLDAPOperationThread {
public:
    // On the user-interface thread.
    CModifyThread(CEntryObject* entry, const arbldap::LDAPModificationList& modifications, bool refresh);

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    bool CheckResult(int resultCode) override;

private:
    const std::string m_dn;
    const arbldap::LDAPModificationList m_modifications;
    const bool m_refresh;
};
