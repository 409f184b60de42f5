#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <ldap.h>

#include "ldap/LDAPCredentials.h"
#include "ldap/LDAPOperationOptions.h"

namespace arbldap {

namespace {

// The options only carry the credentials; every copy shares the one object.
const std::shared_ptr<const LDAPCredentials>& FakeCredentials()
{
    static const std::shared_ptr<const LDAPCredentials> credentials =
        std::make_shared<LDAPBindCredentials>("cn=someone", "pw");
    return credentials;
}

LDAPControlList Controls(std::initializer_list<std::pair<const char*, bool>> items)
{
    LDAPControlList list;
    for (const auto& item : items)
        list.Add(LDAPControl(item.first, false, nullptr, 0, item.second));
    return list;
}

std::vector<std::string> Oids(::LDAPControl** array)
{
    std::vector<std::string> oids;
    for (::LDAPControl** p = array; p && *p; ++p) oids.emplace_back((*p)->ldctl_oid);
    return oids;
}

TEST(LDAPOperationOptions, Defaults)
{
    LDAPOperationOptions o;
    EXPECT_EQ(o.GetDeref(), 0);
    EXPECT_EQ(o.GetTimeLimit(), 0);
    EXPECT_EQ(o.GetSizeLimit(), 0);
    EXPECT_FALSE(o.GetChaseReferrals());
    EXPECT_EQ(o.GetHopLimit(), 7);
    EXPECT_EQ(o.GetRebindCredentials(), nullptr);
    EXPECT_EQ(o.GetServerControls(), nullptr);
    EXPECT_EQ(o.GetClientControls(), nullptr);
    EXPECT_FALSE(o.GetUseSSL());
    EXPECT_EQ(o.MakeTimeout(), nullptr);
    EXPECT_EQ(o.GetServerControlArray(), nullptr);
    EXPECT_EQ(o.GetClientControlArray(), nullptr);
}

TEST(LDAPOperationOptions, SetDerefTakesOnlyZeroToThree)
{
    struct Case { int set; int expected; };
    const Case steps[] = {{2, 2}, {4, 2}, {-1, 2}, {3, 3}, {100, 3}, {0, 0}, {1, 1}, {-2147483647 - 1, 1}};
    LDAPOperationOptions o;
    for (const Case& s : steps) {
        SCOPED_TRACE(s.set);
        o.SetDeref(s.set);
        EXPECT_EQ(o.GetDeref(), s.expected);
    }
}

TEST(LDAPOperationOptions, SettersStoreTheirField)
{
    LDAPOperationOptions o;
    o.SetTimeLimit(30);
    o.SetSizeLimit(1000);
    o.SetChaseReferrals(true);
    o.SetHopLimit(3);
    o.SetUseSSL(true);
    o.SetRebindCredentials(FakeCredentials());
    EXPECT_EQ(o.GetTimeLimit(), 30);
    EXPECT_EQ(o.GetSizeLimit(), 1000);
    EXPECT_TRUE(o.GetChaseReferrals());
    EXPECT_EQ(o.GetHopLimit(), 3);
    EXPECT_TRUE(o.GetUseSSL());
    EXPECT_EQ(o.GetRebindCredentials(), FakeCredentials());
    EXPECT_EQ(o.GetDeref(), 0);
}

TEST(LDAPOperationOptions, MakeTimeout)
{
    LDAPOperationOptions o;
    for (int seconds : {1, 30, 3600}) {
        o.SetTimeLimit(seconds);
        std::unique_ptr<timeval> t = o.MakeTimeout();
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->tv_sec, seconds);
        EXPECT_EQ(t->tv_usec, 0);
        EXPECT_NE(o.MakeTimeout().get(), t.get());  // a new record each time
    }
    o.SetTimeLimit(0);
    EXPECT_EQ(o.MakeTimeout(), nullptr);
}

TEST(LDAPOperationOptions, ControlSettersStoreACopy)
{
    LDAPOperationOptions o;
    LDAPControlList server = Controls({{"1.1", true}});
    LDAPControlList client = Controls({{"2.1", true}, {"2.2", false}});
    o.SetServerControls(&server);
    o.SetClientControls(&client);
    ASSERT_NE(o.GetServerControls(), nullptr);
    ASSERT_NE(o.GetClientControls(), nullptr);
    EXPECT_NE(o.GetServerControls(), &server);
    EXPECT_EQ(*o.GetServerControls(), server);
    EXPECT_EQ(*o.GetClientControls(), client);

    server.Add(LDAPControl("1.2", false, nullptr, 0, true));
    EXPECT_EQ(o.GetServerControls()->GetCount(), 1u);

    // Setting the list it already holds keeps it intact.
    o.SetServerControls(o.GetServerControls());
    ASSERT_NE(o.GetServerControls(), nullptr);
    EXPECT_EQ(o.GetServerControls()->GetCount(), 1u);

    o.SetServerControls(nullptr);
    EXPECT_EQ(o.GetServerControls(), nullptr);
    EXPECT_NE(o.GetClientControls(), nullptr);
    o.SetClientControls(nullptr);
    EXPECT_EQ(o.GetClientControls(), nullptr);
}

TEST(LDAPOperationOptions, ControlArrays)
{
    struct Case {
        bool hasList;
        LDAPControlList list;
        bool null;
        std::vector<std::string> oids;
    };
    const Case cases[] = {
        {false, {}, true, {}},
        {true, {}, true, {}},  // an empty list sends nothing at all
        {true, Controls({{"1.1", false}, {"1.2", false}}), false, {}},  // only the terminator
        {true, Controls({{"1.1", true}, {"1.2", false}, {"1.3", true}}), false, {"1.1", "1.3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.GetCount());
        LDAPOperationOptions o;
        o.SetServerControls(c.hasList ? &c.list : nullptr);
        o.SetClientControls(c.hasList ? &c.list : nullptr);
        for (::LDAPControl** array : {o.GetServerControlArray(), o.GetClientControlArray()}) {
            EXPECT_EQ(array == nullptr, c.null);
            EXPECT_EQ(Oids(array), c.oids);
            FreeSDKControlArray(array);
        }
    }

    // Server and client arrays come from their own lists.
    LDAPOperationOptions o;
    LDAPControlList server = Controls({{"1.1", true}});
    o.SetServerControls(&server);
    SDKControlArrayPtr serverArray(o.GetServerControlArray());
    EXPECT_EQ(Oids(serverArray.get()), (std::vector<std::string>{"1.1"}));
    EXPECT_EQ(o.GetClientControlArray(), nullptr);
}

LDAPOperationOptions Filled()
{
    LDAPOperationOptions o;
    o.SetDeref(3);
    o.SetTimeLimit(30);
    o.SetSizeLimit(500);
    o.SetChaseReferrals(true);
    o.SetHopLimit(2);
    o.SetUseSSL(true);
    o.SetRebindCredentials(FakeCredentials());
    LDAPControlList server = Controls({{"1.1", true}, {"1.2", false}});
    LDAPControlList client = Controls({{"2.1", true}});
    o.SetServerControls(&server);
    o.SetClientControls(&client);
    return o;
}

void ExpectFilled(const LDAPOperationOptions& o)
{
    EXPECT_EQ(o.GetDeref(), 3);
    EXPECT_EQ(o.GetTimeLimit(), 30);
    EXPECT_EQ(o.GetSizeLimit(), 500);
    EXPECT_TRUE(o.GetChaseReferrals());
    EXPECT_EQ(o.GetHopLimit(), 2);
    EXPECT_TRUE(o.GetUseSSL());
    EXPECT_EQ(o.GetRebindCredentials(), FakeCredentials());  // shared, not copied
    ASSERT_NE(o.GetServerControls(), nullptr);
    ASSERT_NE(o.GetClientControls(), nullptr);
    EXPECT_EQ(*o.GetServerControls(), Controls({{"1.1", true}, {"1.2", false}}));
    EXPECT_EQ(*o.GetClientControls(), Controls({{"2.1", true}}));
}

TEST(LDAPOperationOptions, CopiesSurviveEitherDestroyOrder)
{
    for (bool originalFirst : {true, false}) {
        SCOPED_TRACE(originalFirst);
        auto original = std::make_unique<LDAPOperationOptions>(Filled());
        auto copy = std::make_unique<LDAPOperationOptions>(*original);
        ExpectFilled(*copy);
        EXPECT_NE(copy->GetServerControls(), original->GetServerControls());
        EXPECT_NE(copy->GetClientControls(), original->GetClientControls());

        // Editing one side's lists leaves the other's alone.
        original->GetServerControls()->GetAt(1).SetEnabled(true);
        copy->GetClientControls()->Add(LDAPControl("2.2", false, nullptr, 0, true));
        EXPECT_FALSE(copy->GetServerControls()->GetAt(1).IsEnabled());
        EXPECT_EQ(original->GetClientControls()->GetCount(), 1u);

        std::unique_ptr<LDAPOperationOptions>& first = originalFirst ? original : copy;
        std::unique_ptr<LDAPOperationOptions>& second = originalFirst ? copy : original;
        first.reset();
        ASSERT_NE(second->GetServerControls(), nullptr);
        EXPECT_EQ(second->GetServerControls()->GetCount(), 2u);
        SDKControlArrayPtr array(second->GetServerControlArray());
        EXPECT_FALSE(Oids(array.get()).empty());
        second.reset();
    }
}

// A request's copy of the options keeps the credentials of the bind it was
// made under, even when the options that gave them get newer ones.
TEST(LDAPOperationOptions, CopiesKeepTheirRebindCredentialsAlive)
{
    LDAPOperationOptions connectionOptions;
    connectionOptions.SetRebindCredentials(std::make_shared<LDAPBindCredentials>("cn=first", "one"));
    LDAPOperationOptions requestCopy(connectionOptions);
    connectionOptions.SetRebindCredentials(std::make_shared<LDAPBindCredentials>("cn=second", "two"));

    ASSERT_NE(requestCopy.GetRebindCredentials(), nullptr);
    const LDAPSimpleAuth* kept = requestCopy.GetRebindCredentials()->GetAuth("any", 389);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetDN(), "cn=first");
    EXPECT_EQ(kept->GetPassword(), "one");
    EXPECT_EQ(connectionOptions.GetRebindCredentials()->GetAuth("any", 389)->GetDN(), "cn=second");
}

TEST(LDAPBindCredentials, EmptyDNMeansAnonymousEverywhere)
{
    struct Case { const char* dn; const char* password; bool hasAuth; };
    const Case cases[] = {{"", "", false}, {"", "ignored", false}, {"cn=a,o=lab", "", true}, {"cn=a,o=lab", "pw", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dn);
        LDAPBindCredentials credentials(c.dn, c.password);
        for (int port : {389, 636}) {
            const LDAPSimpleAuth* auth = credentials.GetAuth(port == 389 ? "a.example" : "b.example", port);
            ASSERT_EQ(auth != nullptr, c.hasAuth);
            if (auth) {
                EXPECT_EQ(auth->GetDN(), c.dn);
                EXPECT_EQ(auth->GetPassword(), c.password);
                EXPECT_EQ(auth, credentials.GetAuth("elsewhere", 1));  // the same whatever the server
            }
        }
    }
}

TEST(LDAPOperationOptions, CopyOfNullListsStaysNull)
{
    LDAPOperationOptions o;
    o.SetTimeLimit(5);
    LDAPOperationOptions copy(o);
    EXPECT_EQ(copy.GetServerControls(), nullptr);
    EXPECT_EQ(copy.GetClientControls(), nullptr);
    EXPECT_EQ(copy.GetTimeLimit(), 5);
    EXPECT_EQ(copy.GetHopLimit(), 7);
}

TEST(LDAPOperationOptions, AssignmentIsDeepToo)
{
    auto source = std::make_unique<LDAPOperationOptions>(Filled());
    LDAPOperationOptions target;
    LDAPControlList old = Controls({{"9.9", true}});
    target.SetServerControls(&old);
    target = *source;
    ExpectFilled(target);
    EXPECT_NE(target.GetServerControls(), source->GetServerControls());
    source.reset();
    ExpectFilled(target);

    LDAPOperationOptions& self = target;
    target = self;
    ExpectFilled(target);

    // Assigning options without lists drops the target's lists.
    target = LDAPOperationOptions();
    EXPECT_EQ(target.GetServerControls(), nullptr);
    EXPECT_EQ(target.GetClientControls(), nullptr);
    EXPECT_EQ(target.GetRebindCredentials(), nullptr);
}

}  // namespace

} // namespace arbldap
