#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include <ldap.h>

#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPException.h"

using namespace arbldap;

namespace {

LDAPUrlList Referrals(std::vector<const char*> texts)
{
    texts.push_back(nullptr);
    return LDAPUrlList(texts.data());
}

std::wstring Dumped(const LDAPException& e)
{
    std::wostringstream os;
    LDAPException::Dump(os, e);
    return os.str();
}

TEST(LDAPException, ResultTextIsTheLibraryText)
{
    struct Case { int code; const char* text; };
    const Case cases[] = {
        {0, "Success"},  // success still has its text
        {10, "Referral"},
        {32, "No such object"},
        {49, "Invalid credentials"},
        {81, "Can't contact LDAP server"},
        {82, "Local error"},
        {96, "Client Loop"},
        {97, "Referral Limit Exceeded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(GetLDAPErrorText(c.code), c.text);
        LDAPException e(c.code, "");
        EXPECT_EQ(e.GetResultCode(), c.code);
        EXPECT_EQ(e.GetResultText(), c.text);
        EXPECT_EQ(e.GetMessage(), "");
    }
}

TEST(LDAPException, UnknownCodesGetTheLibraryAnswer)
{
    // Codes outside 81..97 go to the library unchanged, whatever it says.
    for (int code : {80, 98, 4096, 9999, -18, -100}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(GetLDAPErrorText(code), ldap_err2string(code));
    }
    EXPECT_NE(GetLDAPErrorText(80), GetLDAPErrorText(82));
}

TEST(LDAPException, ClientSideCodesMapToTheEighties)
{
    for (int c = -17; c <= -1; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(MapLDAPResultCode(c), 80 - c);
        EXPECT_EQ(GetLDAPErrorText(80 - c), ldap_err2string(c));
        EXPECT_STRNE(ldap_err2string(c), "Unknown error");

        LDAPException e(c);  // a raw library code may be thrown as it came
        EXPECT_EQ(e.GetResultCode(), 80 - c);
        EXPECT_EQ(e.GetResultText(), ldap_err2string(c));
    }
    EXPECT_EQ(MapLDAPResultCode(LDAP_LOCAL_ERROR), kLDAPLocalError);
    EXPECT_EQ(MapLDAPResultCode(LDAP_CLIENT_LOOP), kLDAPClientLoop);
    EXPECT_EQ(MapLDAPResultCode(LDAP_REFERRAL_LIMIT_EXCEEDED), kLDAPReferralLimitExceeded);

    // Everything else passes unchanged; mapping twice changes nothing.
    for (int code : {0, 1, 10, 32, 80, 81, 97, 98, -18, -100, 0x1000}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(MapLDAPResultCode(code), code);
    }
}

TEST(LDAPException, MessageIsKeptAsGiven)
{
    EXPECT_EQ(LDAPException(32, "no base").GetMessage(), "no base");
    EXPECT_EQ(LDAPException(32, std::string("a\0b", 3)).GetMessage(), std::string("a\0b", 3));
    EXPECT_EQ(LDAPException(32, static_cast<const char*>(nullptr)).GetMessage(), "");
    EXPECT_EQ(LDAPException(32).GetMessage(), "");
    // The message never replaces the library's text.
    EXPECT_EQ(LDAPException(32, "no base").GetResultText(), "No such object");
}

TEST(LDAPException, Dump)
{
    struct Case { int code; std::string message; std::wstring expected; };
    const Case cases[] = {
        {32, "", L"Error 32 : No such object"},
        {0, "", L"Error 0 : Success"},
        {-2, "", L"Error 82 : Local error"},
        {49, "bad password", L"Error 49 : Invalid credentialsadditional info: bad password"},
        {50, "M\xC3\xBCller", L"Error 50 : Insufficient accessadditional info: M\u00FCller"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Dumped(LDAPException(c.code, c.message)), c.expected);
    }

    // No line end: two dumps run together on the stream.
    std::wostringstream os;
    LDAPException::Dump(LDAPException::Dump(os, LDAPException(10)), LDAPException(0));
    EXPECT_EQ(os.str(), L"Error 10 : ReferralError 0 : Success");
}

TEST(LDAPException, CopiesAreIndependent)
{
    auto original = std::make_unique<LDAPException>(49, "first");
    LDAPException copy(*original);
    LDAPException assigned(1);
    assigned = *original;
    *original = LDAPException(32, "second");
    for (const LDAPException* e : {&copy, &assigned}) {
        EXPECT_EQ(e->GetResultCode(), 49);
        EXPECT_EQ(e->GetResultText(), "Invalid credentials");
        EXPECT_EQ(e->GetMessage(), "first");
    }
    original.reset();
    EXPECT_EQ(copy.GetMessage(), "first");
}

TEST(LDAPReferralException, CaughtAsBaseGivesReferralCodeAndNoMessage)
{
    try {
        throw LDAPReferralException(Referrals({"ldap://a/o=x", "ldap://b/o=x"}));
    } catch (const LDAPException& caught) {
        LDAPException e(caught);  // a by-value handler copies only the base part
        EXPECT_EQ(e.GetResultCode(), 10);
        EXPECT_EQ(e.GetResultText(), GetLDAPErrorText(10));
        EXPECT_EQ(e.GetMessage(), "");
    }

    try {
        throw LDAPReferralException(Referrals({"ldap://a/o=x", "ldap://b:1389/o=y"}));
    } catch (const LDAPException& e) {
        auto* referral = dynamic_cast<const LDAPReferralException*>(&e);
        ASSERT_NE(referral, nullptr);
        ASSERT_EQ(referral->GetReferrals().GetCount(), 2u);
        auto it = referral->GetReferrals().begin();
        EXPECT_EQ(it->GetHost(), "a");
        ++it;
        EXPECT_EQ(it->GetHost(), "b");
        EXPECT_EQ(it->GetPort(), 1389);
    }
}

TEST(LDAPReferralException, HandlerOrderPicksTheReferralFirst)
{
    int caught = 0;
    try {
        throw LDAPReferralException(Referrals({"ldap://a/"}));
    } catch (const LDAPReferralException& e) {
        caught = 1;
        EXPECT_EQ(e.GetReferrals().begin()->GetURL(), "ldap://a/");
    } catch (const LDAPException&) {
        caught = 2;
    }
    EXPECT_EQ(caught, 1);

    // An empty referral list is still a referral.
    LDAPReferralException empty{LDAPUrlList()};
    EXPECT_EQ(empty.GetResultCode(), 10);
    EXPECT_TRUE(empty.GetReferrals().IsEmpty());
}

TEST(LDAPReferralException, CopiesAreIndependent)
{
    auto original = std::make_unique<LDAPReferralException>(Referrals({"ldap://a/", "ldap://b/"}));
    LDAPReferralException copy(*original);
    LDAPReferralException assigned(Referrals({}));
    assigned = *original;
    *original = LDAPReferralException(Referrals({"ldap://z/"}));
    original.reset();
    for (const LDAPReferralException* e : {&copy, &assigned}) {
        ASSERT_EQ(e->GetReferrals().GetCount(), 2u);
        EXPECT_EQ(e->GetReferrals().begin()->GetHost(), "a");
        EXPECT_EQ(e->GetResultCode(), 10);
    }
}

TEST(CBreakException, IsNotAnLDAPException)
{
    int caught = 0;
    try {
        try {
            throw CBreakException();
        } catch (const LDAPException&) {
            caught = 1;
        }
    } catch (CBreakException) {
        caught = 2;
    }
    EXPECT_EQ(caught, 2);
}

TEST(FormatLDAPError, CodeAndTheLibraryText)
{
    EXPECT_EQ(FormatLDAPError(LDAPException(32, "")), L"[ERROR 32] No such object");
    EXPECT_EQ(FormatLDAPError(LDAPException(-1, "")), L"[ERROR 81] Can't contact LDAP server");
}

}  // namespace
