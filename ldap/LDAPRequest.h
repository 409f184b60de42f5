#pragma once
// One LDAP operation in flight: its parameters, its message id on the session
// it was sent on, and how to send it again to the server a referral names.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPConnection.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPModificationList.h"
#include "ldap/LDAPOperationOptions.h"
#include "ldap/LDAPUrl.h"
#include "base/StringList.h"

namespace arbldap {

class LDAPResponse;

class LDAPRequest {
public:
    // Protocol operation tags.
    enum Operation {
        kBind = 0,
        kSearch = 3,
        kModify = 6,
        kAdd = 8,
        kDelete = 10,
        kRename = 12,
        kCompare = 14,
        kExtended = 23,
    };

    LDAPRequest& operator=(const LDAPRequest&) = delete;
    virtual ~LDAPRequest() = default;

    // Issues the operation on the connection's session and keeps its message
    // id. Throws LDAPException with the library's code.
    virtual void Send() = 0;
    // A new, unsent request of the same kind for the server that the
    // response (a referral result, or a search reference) names, bound there
    // with the options' rebind credentials or anonymously; null when no server
    // could be reached (GetFollowError then tells why). Waiting for a bind
    // throws CBreakException once *cancelled is set.
    virtual std::unique_ptr<LDAPRequest> FollowReferral(const LDAPResponse& response,
                                                        const std::atomic<bool>* cancelled = nullptr);
    // Same operation on the same DN at the same host text and port
    // (searches: and the same scope).
    virtual bool IsSame(const LDAPRequest& other) const;
    // The DN the operation acts on (a search's base); empty for those
    // without one.
    virtual std::string GetTargetDN() const { return std::string(); }
    // IsSame holds between this request and one of its ancestors.
    bool IsInLoop() const;

    bool IsReferred() const { return m_referred; }
    int GetOperation() const { return m_operation; }
    const LDAPOperationOptions& GetOptions() const { return m_options; }
    // Null once the connection was released.
    LDAPConnection* GetConnection() const { return m_connection.get(); }
    const LDAPConnectionPtr& GetConnectionPtr() const { return m_connection; }
    LDAPRequest* GetParent() const { return m_parent; }
    int GetHopCount() const { return m_hopCount; }
    int GetMessageID() const { return m_messageID; }
    // Host and port of the connection, kept after it was released.
    const std::string& GetHost() const { return m_host; }
    int GetPort() const { return m_port; }
    // The referral URLs this request was made from (empty for a first request).
    const LDAPUrlList& GetOrigin() const { return m_origin; }
    // The result code of the last failed FollowReferral, 0 when none failed.
    int GetFollowError() const { return m_followError; }

    // Gives up the reference to the connection.
    void ReleaseConnection() { m_connection.reset(); }

    // What is left of the time the request may wait for its server
    // (WaitLimit of its options at the start); the result queue spends it.
    std::chrono::steady_clock::duration& GetWaitLeft() { return m_waitLeft; }

protected:
    // Takes a copy of options, else of the connection's options, else
    // defaults. A referred request counts one hop more than its parent.
    LDAPRequest(int operation, LDAPConnection* connection, const LDAPOperationOptions* options, bool referred,
                LDAPRequest* parent);
    LDAPRequest(const LDAPRequest&) = default;

    // The same request for the referred server, sent to url's DN where that
    // matters; not sent.
    virtual std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                                      const LDAPResponse& response) = 0;
    // The session to send on; throws LDAPException when there is none.
    LDAP* SessionForSend() const;
    // Throws LDAPException for a non-zero library code; else keeps the id.
    void Sent(int rc, int messageID);

private:
    bool m_referred;
    int m_operation;
    LDAPOperationOptions m_options;
    LDAPConnectionPtr m_connection;
    LDAPRequest* m_parent;
    int m_hopCount;
    int m_messageID = -1;
    std::string m_host;
    int m_port;
    LDAPUrlList m_origin;
    int m_followError = 0;
    std::chrono::steady_clock::duration m_waitLeft;
};

class LDAPAddRequest : public LDAPRequest {
public:
    LDAPAddRequest(const LDAPEntry& entry, LDAPConnection* connection, const LDAPOperationOptions* options,
                   bool referred = false, LDAPRequest* parent = nullptr);
    LDAPAddRequest(const LDAPAddRequest&) = default;
    void Send() override;
    std::string GetTargetDN() const override { return m_entry.GetDN(); }
    const LDAPEntry& GetEntry() const { return m_entry; }

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    LDAPEntry m_entry;
};

class LDAPBindRequest : public LDAPRequest {
public:
    // An empty DN and password make an anonymous simple bind.
    LDAPBindRequest(const std::string& dn, const std::string& password, LDAPConnection* connection,
                    const LDAPOperationOptions* options, bool referred = false, LDAPRequest* parent = nullptr);
    LDAPBindRequest(const LDAPBindRequest&) = default;
    void Send() override;
    // Binds are never chased.
    std::unique_ptr<LDAPRequest> FollowReferral(const LDAPResponse& response,
                                                const std::atomic<bool>* cancelled = nullptr) override;
    const std::string& GetDN() const { return m_dn; }
    const std::string& GetPassword() const { return m_password; }

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_dn;
    std::string m_password;
    std::string m_mechanism;  // always empty: simple bind
};

class LDAPCompareRequest : public LDAPRequest {
public:
    LDAPCompareRequest(const std::string& dn, const LDAPAttribute& attribute, LDAPConnection* connection,
                       const LDAPOperationOptions* options, bool referred = false, LDAPRequest* parent = nullptr);
    LDAPCompareRequest(const LDAPCompareRequest&) = default;
    void Send() override;
    std::string GetTargetDN() const override { return m_dn; }
    const std::string& GetDN() const { return m_dn; }

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_dn;
    LDAPAttribute m_attribute;
};

class LDAPDeleteRequest : public LDAPRequest {
public:
    LDAPDeleteRequest(const std::string& dn, LDAPConnection* connection, const LDAPOperationOptions* options,
                      bool referred = false, LDAPRequest* parent = nullptr);
    LDAPDeleteRequest(const LDAPDeleteRequest&) = default;
    void Send() override;
    std::string GetTargetDN() const override { return m_dn; }
    const std::string& GetDN() const { return m_dn; }

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_dn;
};

class LDAPExtendedRequest : public LDAPRequest {
public:
    LDAPExtendedRequest(const std::string& oid, const std::string& value, LDAPConnection* connection,
                        const LDAPOperationOptions* options, bool referred = false, LDAPRequest* parent = nullptr);
    LDAPExtendedRequest(const LDAPExtendedRequest&) = default;
    void Send() override;

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_oid;
    std::string m_value;
};

class LDAPRenameRequest : public LDAPRequest {
public:
    LDAPRenameRequest(const std::string& dn, const std::string& newRDN, const std::string& newParent,
                      bool deleteOldRDN, LDAPConnection* connection, const LDAPOperationOptions* options,
                      bool referred = false, LDAPRequest* parent = nullptr);
    LDAPRenameRequest(const LDAPRenameRequest&) = default;
    void Send() override;
    std::string GetTargetDN() const override { return m_dn; }
    const std::string& GetDN() const { return m_dn; }

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_dn;
    std::string m_newRDN;
    std::string m_newParent;
    bool m_deleteOldRDN;
};

class LDAPModifyRequest : public LDAPRequest {
public:
    LDAPModifyRequest(const std::string& dn, const LDAPModificationList& modifications,
                      LDAPConnection* connection, const LDAPOperationOptions* options, bool referred = false,
                      LDAPRequest* parent = nullptr);
    LDAPModifyRequest(const LDAPModifyRequest&) = default;
    void Send() override;
    std::string GetTargetDN() const override { return m_dn; }
    const std::string& GetDN() const { return m_dn; }

protected:
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_dn;
    LDAPModificationList m_modifications;
};

class LDAPSearchRequest : public LDAPRequest {
public:
    // An empty filter becomes "(objectClass=*)".
    LDAPSearchRequest(const std::string& base, int scope, const std::string& filter,
                      const StringList& attributes, bool attributesOnly, LDAPConnection* connection,
                      const LDAPOperationOptions* options, bool referred = false, LDAPRequest* parent = nullptr);
    LDAPSearchRequest(const LDAPSearchRequest&) = default;
    void Send() override;
    bool IsSame(const LDAPRequest& other) const override;
    std::string GetTargetDN() const override { return m_base; }

    const std::string& GetBase() const { return m_base; }
    int GetScope() const { return m_scope; }
    const std::string& GetFilter() const { return m_filter; }
    const StringList& GetAttributes() const { return m_attributes; }
    bool GetAttributesOnly() const { return m_attributesOnly; }

protected:
    // Base: the URL's DN. Scope: base for a reference met in a one-level
    // search, else this search's. Filter: the URL's when it names one, else
    // this search's.
    std::unique_ptr<LDAPRequest> MakeReferred(LDAPConnection* connection, const LDAPUrl& url,
                                              const LDAPResponse& response) override;

private:
    std::string m_base;
    int m_scope;
    std::string m_filter;
    StringList m_attributes;
    bool m_attributesOnly;
};

} // namespace arbldap
