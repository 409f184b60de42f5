#pragma once
// The exceptions of the LDAP access layer. All are thrown and caught by value.

#include <iosfwd>
#include <string>

#include "ldap/LDAPUrl.h"

namespace arbldap {

class LDAPConnection;

// Result codes that callers outside the layer test for, and those the layer
// throws on its own.
constexpr int kLDAPSuccess = 0;
constexpr int kLDAPCompareFalse = 5;
constexpr int kLDAPCompareTrue = 6;
constexpr int kLDAPReferral = 10;
constexpr int kLDAPOther = 80;
constexpr int kLDAPServerDown = 81;
constexpr int kLDAPLocalError = 82;
constexpr int kLDAPTimeout = 85;
constexpr int kLDAPParamError = 89;
constexpr int kLDAPClientLoop = 96;
constexpr int kLDAPReferralLimitExceeded = 97;

// The library reports client-side failures as -1 to -17; the layer keeps them
// as 81 to 97 (80 - code) so that 82, 96 and 97 mean what callers expect.
// Every other code passes unchanged.
int MapLDAPResultCode(int libraryCode);

// The library's text for a result code; 81 to 97 get the text of the
// library's own negative code.
std::string GetLDAPErrorText(int resultCode);

class LDAPException {
public:
    // The code goes through MapLDAPResultCode, so a raw library code may be
    // passed as it came back.
    explicit LDAPException(int resultCode, const std::string& message = std::string());
    LDAPException(int resultCode, const char* message);
    // The error state of the connection's session: its result code and
    // diagnostic message. That state is shared by every request on the
    // session, so this is only for failures that leave no code of their own.
    explicit LDAPException(const LDAPConnection& connection);
    LDAPException(const LDAPException&) = default;
    LDAPException& operator=(const LDAPException&) = default;
    virtual ~LDAPException() = default;

    int GetResultCode() const { return m_resultCode; }
    const std::string& GetResultText() const { return m_resultText; }
    const std::string& GetMessage() const { return m_message; }

    // "Error <code> : <result text>", then "additional info: <message>" when
    // there is a message. No line end, no flush.
    static std::wostream& Dump(std::wostream& os, const LDAPException& e);

private:
    int m_resultCode;
    std::string m_resultText;
    std::string m_message;
};

// A referral that was not followed: code 10, no message, the URLs it names.
class LDAPReferralException : public LDAPException {
public:
    explicit LDAPReferralException(const LDAPUrlList& referrals);
    LDAPReferralException(const LDAPReferralException&) = default;
    LDAPReferralException& operator=(const LDAPReferralException&) = default;

    const LDAPUrlList& GetReferrals() const { return m_referrals; }

private:
    LDAPUrlList m_referrals;
};

// The user cancelled the operation; only the type carries meaning.
class CBreakException {};

} // namespace arbldap
