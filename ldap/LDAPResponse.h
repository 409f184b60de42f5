#pragma once
// One LDAP message read back for a request: a search entry, a search
// reference, or a result (with an extended result's name and value).

#include "ldap/SdkTypes.h"

#include <iosfwd>
#include <memory>
#include <string>

#include "ldap/LDAPControl.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPUrl.h"

namespace arbldap {

class LDAPConnection;
class LDAPRequest;

// Message types the layer tells apart.
constexpr int kLDAPSearchEntry = 0x64;
constexpr int kLDAPSearchResult = 0x65;
constexpr int kLDAPSearchReference = 0x73;
constexpr int kLDAPExtendedResult = 0x78;

struct LDAPMessageFree {
    void operator()(LDAPMessage* message) const;
};
typedef std::unique_ptr<LDAPMessage, LDAPMessageFree> LDAPMessagePtr;

class LDAPResponse {
public:
    LDAPResponse(const LDAPResponse&) = default;
    LDAPResponse& operator=(const LDAPResponse&) = default;
    virtual ~LDAPResponse() = default;

    // The response for a message read on the request's connection, chosen by
    // the message's type. The message stays the caller's. Parse failures
    // throw LDAPException.
    static std::unique_ptr<LDAPResponse> Create(const LDAPRequest& request, LDAPMessage* message);

    int GetMessageType() const { return m_messageType; }
    bool HasControls() const { return m_hasControls; }
    const LDAPControlList& GetControls() const { return m_controls; }

protected:
    explicit LDAPResponse(int messageType) : m_messageType(messageType) {}
    // Takes the controls of a library array (null: none) and frees it.
    void TakeControls(::ldapcontrol** controls);

private:
    LDAPControlList m_controls;
    bool m_hasControls = false;
    int m_messageType;
};

class LDAPResultResponse : public LDAPResponse {
public:
    // Parses a result message; a server error message goes to the message log.
    // The message is decoded apart from the session it came over, whose error
    // state the other requests on it share (see DecodingSession.h).
    LDAPResultResponse(LDAP* session, LDAPMessage* message);
    // A result made by the layer itself.
    LDAPResultResponse(int messageType, int resultCode, const std::string& matchedDN,
                       const std::string& errorMessage, const LDAPUrlList& referrals);

    int GetResultCode() const { return m_resultCode; }
    const std::string& GetMatchedDN() const { return m_matchedDN; }
    const std::string& GetErrorMessage() const { return m_errorMessage; }
    const LDAPUrlList& GetReferrals() const { return m_referrals; }
    // The library's text for the result code.
    std::string GetResultText() const;

    // "Result: <code>: <text>Matched: <dn>ErrMsg: <message>".
    void Dump(std::wostream& os) const;

private:
    int m_resultCode = 0;
    std::string m_matchedDN;
    std::string m_errorMessage;
    LDAPUrlList m_referrals;
};

class LDAPExtendedResponse : public LDAPResultResponse {
public:
    LDAPExtendedResponse(LDAP* session, LDAPMessage* message);

    const std::string& GetOID() const { return m_oid; }
    // Any bytes; empty when the server sent none.
    const std::string& GetValue() const { return m_value; }

private:
    std::string m_oid;
    std::string m_value;
};

class LDAPReferenceResponse : public LDAPResponse {
public:
    LDAPReferenceResponse(LDAP* session, LDAPMessage* message);
    // A reference that the result queue could not follow to its end: the URLs
    // and the result code of the failure.
    LDAPReferenceResponse(const LDAPUrlList& urls, int followError);

    const LDAPUrlList& GetURLs() const { return m_urls; }
    // 0 for a reference as the server sent it; else the result code with which
    // following it failed (the server could not be reached, or the continued
    // search ended in an error). The search it belongs to goes on either way.
    int GetFollowError() const { return m_followError; }
    void SetFollowError(int code) { m_followError = code; }

private:
    LDAPUrlList m_urls;
    int m_followError = 0;
};

class LDAPEntryResponse : public LDAPResponse {
public:
    LDAPEntryResponse(const LDAPConnection& connection, LDAPMessage* message);

    LDAPEntry& GetEntry() { return m_entry; }
    const LDAPEntry& GetEntry() const { return m_entry; }

private:
    LDAPEntry m_entry;
};

} // namespace arbldap
