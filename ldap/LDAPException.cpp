#include <ldap.h>

#include "ldap/LDAPException.h"

#include <ostream>

#include "ldap/LDAPConnection.h"
#include "base/Utf8.h"

namespace arbldap {

namespace {

constexpr int kClientCodeBase = 80;
constexpr int kFirstClientCode = -17;  // LDAP_REFERRAL_LIMIT_EXCEEDED
constexpr int kLastClientCode = -1;    // LDAP_SERVER_DOWN

}  // namespace

int MapLDAPResultCode(int libraryCode)
{
    if (libraryCode >= kFirstClientCode && libraryCode <= kLastClientCode)
        return kClientCodeBase - libraryCode;
    return libraryCode;
}

std::string GetLDAPErrorText(int resultCode)
{
    int libraryCode = resultCode;
    if (resultCode >= kClientCodeBase - kLastClientCode && resultCode <= kClientCodeBase - kFirstClientCode)
        libraryCode = kClientCodeBase - resultCode;
    const char* text = ldap_err2string(libraryCode);
    return text ? text : std::string();
}

LDAPException::LDAPException(int resultCode, const std::string& message)
    : m_resultCode(MapLDAPResultCode(resultCode)),
      m_resultText(GetLDAPErrorText(m_resultCode)),
      m_message(message)
{
}

LDAPException::LDAPException(int resultCode, const char* message)
    : LDAPException(resultCode, message ? std::string(message) : std::string())
{
}

LDAPException::LDAPException(const LDAPConnection& connection) : LDAPException(LDAP_SUCCESS)
{
    LDAP* session = connection.GetSession();
    if (!session)
        return;
    int code = LDAP_SUCCESS;
    if (ldap_get_option(session, LDAP_OPT_RESULT_CODE, &code) == LDAP_OPT_SUCCESS) {
        m_resultCode = MapLDAPResultCode(code);
        m_resultText = GetLDAPErrorText(m_resultCode);
    }
    char* message = nullptr;
    if (ldap_get_option(session, LDAP_OPT_DIAGNOSTIC_MESSAGE, &message) == LDAP_OPT_SUCCESS && message)
        m_message = message;
    ldap_memfree(message);
}

std::wostream& LDAPException::Dump(std::wostream& os, const LDAPException& e)
{
    os << L"Error " << e.m_resultCode << L" : " << Utf8ToWideString(e.m_resultText);
    if (!e.m_message.empty())
        os << L"additional info: " << Utf8ToWideString(e.m_message);
    return os;
}

LDAPReferralException::LDAPReferralException(const LDAPUrlList& referrals)
    : LDAPException(kLDAPReferral), m_referrals(referrals)
{
}

} // namespace arbldap
