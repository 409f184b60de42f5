#include <ldap.h>

#include "ldap/DecodingSession.h"

#include <memory>

#include "ldap/LDAPException.h"

namespace arbldap {

namespace {

struct SessionCloser {
    void operator()(LDAP* session) const { ldap_unbind_ext(session, nullptr, nullptr); }
};

std::unique_ptr<LDAP, SessionCloser> OpenDecodingSession()
{
    LDAP* raw = nullptr;
    int rc = ldap_initialize(&raw, nullptr);
    std::unique_ptr<LDAP, SessionCloser> session(raw);
    if (rc != LDAP_SUCCESS || !session)
        throw LDAPException(rc != LDAP_SUCCESS ? rc : LDAP_NO_MEMORY);
    int version = LDAP_VERSION3;
    ldap_set_option(session.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    return session;
}

}  // namespace

LDAP* DecodingSession()
{
    // A failed start throws and is tried again at the next call.
    thread_local std::unique_ptr<LDAP, SessionCloser> session = OpenDecodingSession();
    return session.get();
}

int SendFailureCode(int libraryCode)
{
    return libraryCode != LDAP_SUCCESS ? libraryCode : LDAP_OTHER;
}

} // namespace arbldap
