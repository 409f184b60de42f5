#pragma once
// Per-connection settings of LDAP operations. A profile or node owns one; the
// connection points to it and every request keeps its own copy.

#include <sys/time.h>

#include <memory>

#include "ldap/LDAPControl.h"

namespace arbldap {

class LDAPCredentials;

class LDAPOperationOptions {
public:
    LDAPOperationOptions();
    // Deep copies of both control lists; the rebind credentials are shared.
    LDAPOperationOptions(const LDAPOperationOptions& other);
    LDAPOperationOptions& operator=(const LDAPOperationOptions& other);
    LDAPOperationOptions(LDAPOperationOptions&&) noexcept = default;
    LDAPOperationOptions& operator=(LDAPOperationOptions&&) noexcept = default;
    ~LDAPOperationOptions();

    // 0 never, 1 when searching, 2 when finding the base, 3 always; any other
    // value leaves the setting unchanged.
    void SetDeref(int deref);
    int GetDeref() const { return m_deref; }
    // Seconds; 0 is no limit.
    void SetTimeLimit(int seconds) { m_timeLimit = seconds; }
    int GetTimeLimit() const { return m_timeLimit; }
    // Entries; 0 is no limit.
    void SetSizeLimit(int entries) { m_sizeLimit = entries; }
    int GetSizeLimit() const { return m_sizeLimit; }
    void SetChaseReferrals(bool chase) { m_chaseReferrals = chase; }
    bool GetChaseReferrals() const { return m_chaseReferrals; }
    void SetHopLimit(int hops) { m_hopLimit = hops; }
    int GetHopLimit() const { return m_hopLimit; }
    // Shared by every copy: a request in flight keeps them alive after the
    // connection has replaced them with those of a newer bind.
    void SetRebindCredentials(std::shared_ptr<const LDAPCredentials> credentials)
    {
        m_rebindCredentials = std::move(credentials);
    }
    const std::shared_ptr<const LDAPCredentials>& GetRebindCredentials() const { return m_rebindCredentials; }
    void SetUseSSL(bool useSSL) { m_useSSL = useSSL; }
    bool GetUseSSL() const { return m_useSSL; }

    // Replace the list by a copy of the one given; null removes it.
    void SetServerControls(const LDAPControlList* controls);
    void SetClientControls(const LDAPControlList* controls);
    // The lists themselves (null when there is none); they stay owned here.
    LDAPControlList* GetServerControls() { return m_serverControls.get(); }
    const LDAPControlList* GetServerControls() const { return m_serverControls.get(); }
    LDAPControlList* GetClientControls() { return m_clientControls.get(); }
    const LDAPControlList* GetClientControls() const { return m_clientControls.get(); }

    // {time limit, 0}, or null when there is no time limit.
    std::unique_ptr<timeval> MakeTimeout() const;

    // Library arrays of the enabled controls (LDAPControlList::ToSDKArray);
    // null when there is no list or it is empty. Free with FreeSDKControlArray.
    ::ldapcontrol** GetServerControlArray() const;
    ::ldapcontrol** GetClientControlArray() const;

private:
    int m_deref = 0;
    int m_timeLimit = 0;
    int m_sizeLimit = 0;
    bool m_chaseReferrals = false;
    int m_hopLimit = 7;
    std::shared_ptr<const LDAPCredentials> m_rebindCredentials;
    std::unique_ptr<LDAPControlList> m_clientControls;
    std::unique_ptr<LDAPControlList> m_serverControls;
    bool m_useSSL = false;
};

} // namespace arbldap
