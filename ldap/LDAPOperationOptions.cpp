#include "ldap/LDAPOperationOptions.h"

namespace arbldap {

namespace {

std::unique_ptr<LDAPControlList> CopyOf(const LDAPControlList* list)
{
    return list ? std::make_unique<LDAPControlList>(*list) : nullptr;
}

}  // namespace

LDAPOperationOptions::LDAPOperationOptions() = default;

LDAPOperationOptions::LDAPOperationOptions(const LDAPOperationOptions& other)
    : m_deref(other.m_deref),
      m_timeLimit(other.m_timeLimit),
      m_sizeLimit(other.m_sizeLimit),
      m_chaseReferrals(other.m_chaseReferrals),
      m_hopLimit(other.m_hopLimit),
      m_rebindCredentials(other.m_rebindCredentials),
      m_clientControls(CopyOf(other.m_clientControls.get())),
      m_serverControls(CopyOf(other.m_serverControls.get())),
      m_useSSL(other.m_useSSL)
{
}

LDAPOperationOptions& LDAPOperationOptions::operator=(const LDAPOperationOptions& other)
{
    if (this != &other) {
        LDAPOperationOptions copy(other);
        *this = std::move(copy);
    }
    return *this;
}

LDAPOperationOptions::~LDAPOperationOptions() = default;

void LDAPOperationOptions::SetDeref(int deref)
{
    if (deref >= 0 && deref <= 3)
        m_deref = deref;
}

void LDAPOperationOptions::SetServerControls(const LDAPControlList* controls)
{
    m_serverControls = CopyOf(controls);
}

void LDAPOperationOptions::SetClientControls(const LDAPControlList* controls)
{
    m_clientControls = CopyOf(controls);
}

std::unique_ptr<timeval> LDAPOperationOptions::MakeTimeout() const
{
    if (m_timeLimit == 0) return nullptr;
    auto timeout = std::make_unique<timeval>();
    timeout->tv_sec = m_timeLimit;
    timeout->tv_usec = 0;
    return timeout;
}

::ldapcontrol** LDAPOperationOptions::GetServerControlArray() const
{
    return m_serverControls ? m_serverControls->ToSDKArray() : nullptr;
}

::ldapcontrol** LDAPOperationOptions::GetClientControlArray() const
{
    return m_clientControls ? m_clientControls->ToSDKArray() : nullptr;
}

} // namespace arbldap
