#include <ldap.h>

#include "ldap/LDAPResponse.h"

#include <ostream>

#include "ldap/DecodingSession.h"
#include "ldap/LDAPConnection.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPRequest.h"
#include "base/Utf8.h"
#include "base/LogStream.h"

namespace arbldap {

void LDAPMessageFree::operator()(LDAPMessage* message) const
{
    ldap_msgfree(message);
}

namespace {

struct MemFree {
    void operator()(char* p) const { ldap_memfree(p); }
};
struct MemVFree {
    void operator()(char** p) const { ber_memvfree(reinterpret_cast<void**>(p)); }
};
struct ControlsFree {
    void operator()(::LDAPControl** p) const { ldap_controls_free(p); }
};
struct BerFree {
    void operator()(berval* p) const { ber_bvfree(p); }
};

typedef std::unique_ptr<char, MemFree> LibText;
typedef std::unique_ptr<char*, MemVFree> LibTexts;
typedef std::unique_ptr<::LDAPControl*, ControlsFree> LibControls;

// The referral texts as URLs. A text that is no LDAP URL is left out rather
// than costing the caller the whole result.
LDAPUrlList UrlsOf(char** texts)
{
    LDAPUrlList urls;
    for (char** p = texts; p && *p; ++p) {
        try {
            urls.Add(LDAPUrl(*p));
        } catch (const LDAPException&) {
        }
    }
    return urls;
}

}  // namespace

void LDAPResponse::TakeControls(::ldapcontrol** controls)
{
    LibControls owned(controls);
    if (!controls)
        return;
    m_controls = LDAPControlList(controls);
    m_hasControls = true;
}

std::unique_ptr<LDAPResponse> LDAPResponse::Create(const LDAPRequest& request, LDAPMessage* message)
{
    const LDAPConnection* connection = request.GetConnection();
    LDAP* session = connection ? connection->GetSession() : nullptr;
    if (!session || !message)
        throw LDAPException(LDAP_PARAM_ERROR);
    switch (ldap_msgtype(message)) {
    case kLDAPSearchEntry:
        return std::make_unique<LDAPEntryResponse>(*connection, message);
    case kLDAPSearchReference:
        return std::make_unique<LDAPReferenceResponse>(session, message);
    case kLDAPExtendedResult:
        return std::make_unique<LDAPExtendedResponse>(session, message);
    default:
        return std::make_unique<LDAPResultResponse>(session, message);
    }
}

LDAPResultResponse::LDAPResultResponse(LDAP*, LDAPMessage* message) : LDAPResponse(ldap_msgtype(message))
{
    int code = LDAP_SUCCESS;
    char* matched = nullptr;
    char* error = nullptr;
    char** referrals = nullptr;
    ::LDAPControl** controls = nullptr;
    int rc = ldap_parse_result(DecodingSession(), message, &code, &matched, &error, &referrals, &controls, 0);
    LibText ownedMatched(matched);
    LibText ownedError(error);
    LibTexts ownedReferrals(referrals);
    LibControls ownedControls(controls);
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);

    m_resultCode = code;
    if (matched)
        m_matchedDN = matched;
    if (error)
        m_errorMessage = error;
    m_referrals = UrlsOf(referrals);
    TakeControls(ownedControls.release());

    if (!m_errorMessage.empty()) {
        std::lock_guard<std::recursive_mutex> lock(g_logLock);
        DumpAttribute(g_logStream, LDAPAttribute(std::string(), m_errorMessage));
        g_logStream.flush();
    }
}

LDAPResultResponse::LDAPResultResponse(int messageType, int resultCode, const std::string& matchedDN,
                                       const std::string& errorMessage, const LDAPUrlList& referrals)
    : LDAPResponse(messageType),
      m_resultCode(resultCode),
      m_matchedDN(matchedDN),
      m_errorMessage(errorMessage),
      m_referrals(referrals)
{
}

std::string LDAPResultResponse::GetResultText() const
{
    return GetLDAPErrorText(m_resultCode);
}

void LDAPResultResponse::Dump(std::wostream& os) const
{
    os << L"Result: " << m_resultCode << L": " << Utf8ToWideString(GetResultText()) << L"Matched: "
       << Utf8ToWideString(m_matchedDN) << L"ErrMsg: " << Utf8ToWideString(m_errorMessage);
}

LDAPExtendedResponse::LDAPExtendedResponse(LDAP* session, LDAPMessage* message)
    : LDAPResultResponse(session, message)
{
    char* oid = nullptr;
    berval* value = nullptr;
    int rc = ldap_parse_extended_result(DecodingSession(), message, &oid, &value, 0);
    LibText ownedOid(oid);
    std::unique_ptr<berval, BerFree> ownedValue(value);
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);
    if (oid)
        m_oid = oid;
    if (value && value->bv_val)
        m_value.assign(value->bv_val, value->bv_len);
}

LDAPReferenceResponse::LDAPReferenceResponse(LDAP*, LDAPMessage* message)
    : LDAPResponse(ldap_msgtype(message))
{
    char** referrals = nullptr;
    ::LDAPControl** controls = nullptr;
    int rc = ldap_parse_reference(DecodingSession(), message, &referrals, &controls, 0);
    LibTexts ownedReferrals(referrals);
    LibControls ownedControls(controls);
    if (rc != LDAP_SUCCESS)
        throw LDAPException(rc);
    m_urls = UrlsOf(referrals);
    TakeControls(ownedControls.release());
}

LDAPReferenceResponse::LDAPReferenceResponse(const LDAPUrlList& urls, int followError)
    : LDAPResponse(kLDAPSearchReference), m_urls(urls), m_followError(followError)
{
}

LDAPEntryResponse::LDAPEntryResponse(const LDAPConnection& connection, LDAPMessage* message)
    : LDAPResponse(ldap_msgtype(message)), m_entry(message, connection)
{
    ::LDAPControl** controls = nullptr;
    if (ldap_get_entry_controls(connection.GetSession(), message, &controls) == LDAP_SUCCESS)
        TakeControls(controls);
    else
        ldap_controls_free(controls);
}

} // namespace arbldap
