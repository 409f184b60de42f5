#include <ldap.h>

#include "ldap/LDAPRequest.h"

#include <iterator>

#include "ldap/DecodingSession.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"

namespace arbldap {

namespace {

struct CharArrayFree {
    void operator()(char** array) const { StringList::FreeCharArray(array); }
};

struct ModArrayFree {
    void operator()(LDAPMod** array) const { LDAPModificationList::FreeLDAPModArray(array); }
};

// The server and client control arrays of the options, freed on every path.
struct Controls {
    explicit Controls(const LDAPOperationOptions& options)
        : server(options.GetServerControlArray()), client(options.GetClientControlArray())
    {
    }
    SDKControlArrayPtr server;
    SDKControlArrayPtr client;
};

const char* OrNull(const std::string& s)
{
    return s.empty() ? nullptr : s.c_str();
}

berval BerOf(const std::string& bytes)
{
    return berval{static_cast<ber_len_t>(bytes.size()), const_cast<char*>(bytes.data())};
}

// The DN an operation goes to on the referred server: the URL's when it names
// one (a referral below a referral object rewrites the target), else the same.
std::string ReferredDN(const LDAPUrl& url, const std::string& dn)
{
    return url.GetDN().empty() ? dn : url.GetDN();
}

}  // namespace

LDAPRequest::LDAPRequest(int operation, LDAPConnection* connection, const LDAPOperationOptions* options,
                         bool referred, LDAPRequest* parent)
    : m_referred(referred),
      m_operation(operation),
      m_options(options                    ? *options
                : connection && connection->GetOptions() ? *connection->GetOptions()
                                                         : LDAPOperationOptions()),
      m_connection(connection),
      m_parent(referred ? parent : nullptr),
      m_hopCount(referred && parent ? parent->m_hopCount + 1 : 0),
      m_host(connection ? connection->GetHost() : std::string()),
      m_port(connection ? connection->GetPort() : 0),
      m_waitLeft(operation == kBind ? BindWaitLimit(m_options) : WaitLimit(m_options))
{
}

LDAP* LDAPRequest::SessionForSend() const
{
    LDAP* session = m_connection ? m_connection->GetSession() : nullptr;
    if (!session)
        throw LDAPException(LDAP_SERVER_DOWN);
    // A bind sets the session's identity: it only needs a live connection.
    if (m_operation == kBind)
        m_connection->OnBindSent();
    m_connection->PrepareSend();
    return session;
}

void LDAPRequest::Sent(int rc, int messageID)
{
    if (rc != LDAP_SUCCESS || messageID < 0)
        throw LDAPException(SendFailureCode(rc));
    m_messageID = messageID;
}

std::unique_ptr<LDAPRequest> LDAPRequest::FollowReferral(const LDAPResponse& response,
                                                         const std::atomic<bool>* cancelled)
{
    LDAPUrlList urls;
    if (auto reference = dynamic_cast<const LDAPReferenceResponse*>(&response))
        urls = reference->GetURLs();
    else if (auto result = dynamic_cast<const LDAPResultResponse*>(&response))
        urls = result->GetReferrals();
    if (!m_connection) {
        m_followError = MapLDAPResultCode(LDAP_SERVER_DOWN);
        return nullptr;
    }
    int used = -1;
    int error = MapLDAPResultCode(LDAP_SERVER_DOWN);
    LDAPConnectionPtr connection;
    try {
        connection = m_connection->ConnectToReferral(urls, used, &m_options, &error, cancelled);
    } catch (const LDAPException& e) {
        error = e.GetResultCode();
    }
    if (!connection) {
        m_followError = error;
        return nullptr;
    }
    m_followError = 0;
    std::unique_ptr<LDAPRequest> next = MakeReferred(connection.get(), *std::next(urls.begin(), used), response);
    next->m_origin = urls;
    return next;
}

bool LDAPRequest::IsSame(const LDAPRequest& other) const
{
    // A chain may come back to a server for another DN: that is no loop.
    return m_operation == other.m_operation && m_host == other.m_host && m_port == other.m_port &&
           GetTargetDN() == other.GetTargetDN();
}

bool LDAPRequest::IsInLoop() const
{
    for (const LDAPRequest* ancestor = m_parent; ancestor; ancestor = ancestor->m_parent)
        if (IsSame(*ancestor))
            return true;
    return false;
}

// Add

LDAPAddRequest::LDAPAddRequest(const LDAPEntry& entry, LDAPConnection* connection,
                               const LDAPOperationOptions* options, bool referred, LDAPRequest* parent)
    : LDAPRequest(kAdd, connection, options, referred, parent), m_entry(entry)
{
}

void LDAPAddRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    std::unique_ptr<LDAPMod*[], ModArrayFree> mods(m_entry.GetAttributes().ToLDAPModArray());
    std::string dn = m_entry.GetDN();
    int msgid = -1;
    int rc = ldap_add_ext(session, dn.c_str(), mods.get(), controls.server.get(), controls.client.get(), &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPAddRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                          const LDAPResponse&)
{
    LDAPEntry entry(m_entry);
    entry.SetDN(ReferredDN(url, m_entry.GetDN()));
    return std::make_unique<LDAPAddRequest>(entry, connection, &GetOptions(), true, this);
}

// Bind

LDAPBindRequest::LDAPBindRequest(const std::string& dn, const std::string& password, LDAPConnection* connection,
                                 const LDAPOperationOptions* options, bool referred, LDAPRequest* parent)
    : LDAPRequest(kBind, connection, options, referred, parent), m_dn(dn), m_password(password)
{
}

void LDAPBindRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    berval credentials = BerOf(m_password);
    int msgid = -1;
    int rc = ldap_sasl_bind(session, OrNull(m_dn), OrNull(m_mechanism), &credentials, controls.server.get(),
                            controls.client.get(), &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPBindRequest::FollowReferral(const LDAPResponse&, const std::atomic<bool>*)
{
    return nullptr;
}

std::unique_ptr<LDAPRequest> LDAPBindRequest::MakeReferred(LDAPConnection*, const LDAPUrl&, const LDAPResponse&)
{
    return nullptr;
}

// Compare

LDAPCompareRequest::LDAPCompareRequest(const std::string& dn, const LDAPAttribute& attribute,
                                       LDAPConnection* connection, const LDAPOperationOptions* options,
                                       bool referred, LDAPRequest* parent)
    : LDAPRequest(kCompare, connection, options, referred, parent), m_dn(dn), m_attribute(attribute)
{
}

void LDAPCompareRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    const StringList& values = m_attribute.GetValues();
    std::string first = values.IsEmpty() ? std::string() : *values.begin();
    berval value = BerOf(first);
    int msgid = -1;
    int rc = ldap_compare_ext(session, m_dn.c_str(), m_attribute.GetName().c_str(), &value, controls.server.get(),
                              controls.client.get(), &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPCompareRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                              const LDAPResponse&)
{
    return std::make_unique<LDAPCompareRequest>(ReferredDN(url, m_dn), m_attribute, connection, &GetOptions(),
                                                true, this);
}

// Delete

LDAPDeleteRequest::LDAPDeleteRequest(const std::string& dn, LDAPConnection* connection,
                                     const LDAPOperationOptions* options, bool referred, LDAPRequest* parent)
    : LDAPRequest(kDelete, connection, options, referred, parent), m_dn(dn)
{
}

void LDAPDeleteRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    int msgid = -1;
    int rc = ldap_delete_ext(session, m_dn.c_str(), controls.server.get(), controls.client.get(), &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPDeleteRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                             const LDAPResponse&)
{
    return std::make_unique<LDAPDeleteRequest>(ReferredDN(url, m_dn), connection, &GetOptions(), true, this);
}

// Extended

LDAPExtendedRequest::LDAPExtendedRequest(const std::string& oid, const std::string& value,
                                         LDAPConnection* connection, const LDAPOperationOptions* options,
                                         bool referred, LDAPRequest* parent)
    : LDAPRequest(kExtended, connection, options, referred, parent), m_oid(oid), m_value(value)
{
}

void LDAPExtendedRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    berval value = BerOf(m_value);
    int msgid = -1;
    int rc = ldap_extended_operation(session, m_oid.c_str(), m_value.empty() ? nullptr : &value,
                                     controls.server.get(), controls.client.get(), &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPExtendedRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl&,
                                                               const LDAPResponse&)
{
    return std::make_unique<LDAPExtendedRequest>(m_oid, m_value, connection, &GetOptions(), true, this);
}

// Rename

LDAPRenameRequest::LDAPRenameRequest(const std::string& dn, const std::string& newRDN,
                                     const std::string& newParent, bool deleteOldRDN, LDAPConnection* connection,
                                     const LDAPOperationOptions* options, bool referred, LDAPRequest* parent)
    : LDAPRequest(kRename, connection, options, referred, parent),
      m_dn(dn),
      m_newRDN(newRDN),
      m_newParent(newParent),
      m_deleteOldRDN(deleteOldRDN)
{
}

void LDAPRenameRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    int msgid = -1;
    // The library asserts on a missing new RDN: refuse it as a bad parameter.
    if (m_newRDN.empty())
        throw LDAPException(LDAP_PARAM_ERROR);
    int rc = ldap_rename(session, m_dn.c_str(), m_newRDN.c_str(), OrNull(m_newParent), m_deleteOldRDN ? 1 : 0,
                         controls.server.get(), controls.client.get(), &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPRenameRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                             const LDAPResponse&)
{
    return std::make_unique<LDAPRenameRequest>(ReferredDN(url, m_dn), m_newRDN, m_newParent, m_deleteOldRDN,
                                               connection, &GetOptions(), true, this);
}

// Modify

LDAPModifyRequest::LDAPModifyRequest(const std::string& dn, const LDAPModificationList& modifications,
                                     LDAPConnection* connection, const LDAPOperationOptions* options,
                                     bool referred, LDAPRequest* parent)
    : LDAPRequest(kModify, connection, options, referred, parent), m_dn(dn), m_modifications(modifications)
{
}

void LDAPModifyRequest::Send()
{
    LDAP* session = SessionForSend();
    Controls controls(GetOptions());
    std::unique_ptr<LDAPMod*[], ModArrayFree> mods(m_modifications.ToLDAPModArray());
    int msgid = -1;
    int rc = ldap_modify_ext(session, m_dn.c_str(), mods.get(), controls.server.get(), controls.client.get(),
                             &msgid);
    Sent(rc, msgid);
}

std::unique_ptr<LDAPRequest> LDAPModifyRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                             const LDAPResponse&)
{
    return std::make_unique<LDAPModifyRequest>(ReferredDN(url, m_dn), m_modifications, connection, &GetOptions(),
                                               true, this);
}

// Search

LDAPSearchRequest::LDAPSearchRequest(const std::string& base, int scope, const std::string& filter,
                                     const StringList& attributes, bool attributesOnly, LDAPConnection* connection,
                                     const LDAPOperationOptions* options, bool referred, LDAPRequest* parent)
    : LDAPRequest(kSearch, connection, options, referred, parent),
      m_base(base),
      m_scope(scope),
      m_filter(filter.empty() ? "(objectClass=*)" : filter),
      m_attributes(attributes),
      m_attributesOnly(attributesOnly)
{
}

void LDAPSearchRequest::Send()
{
    LDAP* session = SessionForSend();
    const LDAPOperationOptions& options = GetOptions();
    Controls controls(options);
    std::unique_ptr<char*[], CharArrayFree> attributes(m_attributes.ToCharArray());
    std::unique_ptr<timeval> timeout = options.MakeTimeout();
    int msgid = -1;
    int deref = options.GetDeref();
    std::lock_guard<std::mutex> lock(GetConnection()->GetSendLock());
    ldap_set_option(session, LDAP_OPT_DEREF, &deref);
    int rc = ldap_search_ext(session, m_base.c_str(), m_scope, m_filter.c_str(), attributes.get(),
                             m_attributesOnly ? 1 : 0, controls.server.get(), controls.client.get(), timeout.get(),
                             options.GetSizeLimit(), &msgid);
    Sent(rc, msgid);
}

bool LDAPSearchRequest::IsSame(const LDAPRequest& other) const
{
    auto search = dynamic_cast<const LDAPSearchRequest*>(&other);
    return search && LDAPRequest::IsSame(other) && m_scope == search->m_scope;
}

std::unique_ptr<LDAPRequest> LDAPSearchRequest::MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                             const LDAPResponse& response)
{
    int scope = response.GetMessageType() == kLDAPSearchReference && m_scope == LDAP_SCOPE_ONELEVEL
                    ? LDAP_SCOPE_BASE
                    : m_scope;
    // The URL parser fills in a default filter; only one the URL names counts.
    const std::string& filter = url.HasFilter() ? url.GetFilter() : m_filter;
    return std::make_unique<LDAPSearchRequest>(ReferredDN(url, m_base), scope, filter, m_attributes,
                                               m_attributesOnly, connection, &GetOptions(), true, this);
}

} // namespace arbldap
