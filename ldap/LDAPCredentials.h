#pragma once
// Credentials kept from a bind, used to bind again on servers that a referral
// leads to. Shared: every request's options hold them while the request runs,
// so a new bind never frees credentials still in use.

#include <memory>
#include <string>

namespace arbldap {

class LDAPSimpleAuth {
public:
    LDAPSimpleAuth(const std::string& dn, const std::string& password) : m_dn(dn), m_password(password) {}
    LDAPSimpleAuth(const LDAPSimpleAuth&) = default;
    LDAPSimpleAuth& operator=(const LDAPSimpleAuth&) = default;
    virtual ~LDAPSimpleAuth() = default;

    const std::string& GetDN() const { return m_dn; }
    const std::string& GetPassword() const { return m_password; }

private:
    std::string m_dn;
    std::string m_password;
};

class LDAPCredentials {
public:
    virtual ~LDAPCredentials() = default;
    // The simple-bind credentials for a referred server, or null to bind
    // anonymously there.
    virtual const LDAPSimpleAuth* GetAuth(const std::string& host, int port) const = 0;
};

// The DN and password of one simple bind; an empty DN means anonymous.
class LDAPBindCredentials : public LDAPCredentials {
public:
    LDAPBindCredentials(const std::string& dn, const std::string& password);

    // The same credentials whatever the server.
    const LDAPSimpleAuth* GetAuth(const std::string& host, int port) const override { return m_auth.get(); }

private:
    std::unique_ptr<LDAPSimpleAuth> m_auth;
};

} // namespace arbldap
