#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/HostLookup.h"
#include "schema/HostIdentity.h"
#include "tests/support/TableResolver.h"

namespace {

using testsupport::Addr;
using FakeResolver = testsupport::TableResolver;

std::vector<std::string> Names(const CHostIdentity& id)
{
    return std::vector<std::string>(id.GetNames().begin(), id.GetNames().end());
}

std::vector<uint32_t> Addresses(const CHostIdentity& id)
{
    return std::vector<uint32_t>(id.GetAddresses().begin(), id.GetAddresses().end());
}

TEST(HostIdentity, WhatEachKindOfHostTextResolvesTo)
{
    struct Case {
        const char* host;
        std::vector<std::string> names;
        std::vector<const char*> addresses;
    };
    const Case cases[] = {
        // A name: itself, and every address of the forward lookup.
        {"ldap.example", {"ldap.example"}, {"10.0.0.1", "10.0.0.2"}},
        // A dotted address with a reverse name: that name, and its addresses besides the one given.
        {"10.0.0.4", {"reverse.example"}, {"10.0.0.4", "10.0.0.5"}},
        // A dotted address without one keeps its text as its name.
        {"10.0.0.9", {"10.0.0.9"}, {"10.0.0.9"}},
        // A name the resolver does not know: one name, no address.
        {"nowhere.example", {"nowhere.example"}, {}},
        // IPv6 literals: no IPv4 address; the name in one spelling.
        {"::1", {"::1"}, {}},
        {"0:0:0:0:0:0:0:1", {"::1"}, {}},
        {"[2001:DB8::10]", {"2001:db8::10"}, {}},
        // Not an address at all, though it looks close.
        {"10.0.0", {"10.0.0"}, {}},
    };
    auto resolver = std::make_shared<FakeResolver>();
    CHostResolutionCache cache(resolver);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        CHostIdentity id(c.host, cache);
        EXPECT_EQ(Names(id), c.names);
        std::vector<uint32_t> expected;
        for (const char* a : c.addresses) expected.push_back(Addr(a));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Addresses(id), expected);
        EXPECT_EQ(id.HasAddress(), !expected.empty());
    }
    // The IPv6 literals and the reverse-less address never went to the forward lookup.
    EXPECT_EQ(resolver->ForwardCalls("::1") + resolver->ForwardCalls("10.0.0.9"), 0);
}

TEST(HostIdentity, WhichHostTextsNameOneHost)
{
    struct Case {
        const char* a;
        const char* b;
        bool sharesAddress;
        bool sameHost;
    };
    const Case cases[] = {
        {"ldap.example", "10.0.0.1", true, true},
        {"ldap.example", "alias.example", true, true},  // one of several addresses in common
        {"alias.example", "ldap.example", true, true},
        {"ldap.example", "other.example", false, false},
        {"10.0.0.9", "10.0.0.9", true, true},
        {"10.0.0.5", "reverse.example", true, true},
        // Hosts without an address meet by name only, in any letter case...
        {"nowhere.example", "nowhere.example", false, true},
        {"nowhere.example", "NoWhere.Example", false, true},
        {"nowhere.example", "elsewhere.example", false, false},
        // ...and never a host that has an address.
        {"nowhere.example", "ldap.example", false, false},
        {"ldap.example", "nowhere.example", false, false},
        {"::1", "0::1", false, true},
        {"::1", "[::1]", false, true},
        {"::1", "::2", false, false},
        {"::1", "10.0.0.9", false, false},
    };
    CHostResolutionCache cache(std::make_shared<FakeResolver>());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        CHostIdentity a(c.a, cache), b(c.b, cache);
        EXPECT_EQ(a.SharesAddress(b), c.sharesAddress);
        EXPECT_EQ(a.IsSameHost(b), c.sameHost);
        EXPECT_EQ(b.IsSameHost(a), c.sameHost);
    }
}

TEST(HostIdentity, RecordsReadBackHoldAddressesOnly)
{
    CHostResolutionCache cache(std::make_shared<FakeResolver>());
    CHostIdentity stored;
    stored.AddAddress(Addr("10.0.0.2"));
    EXPECT_TRUE(stored.SharesAddress(CHostIdentity("alias.example", cache)));
    EXPECT_TRUE(CHostIdentity("ldap.example", cache).IsSameHost(stored));
    EXPECT_FALSE(stored.IsSameHost(CHostIdentity("other.example", cache)));
    // An empty record matches nothing, not even another empty one.
    CHostIdentity empty;
    EXPECT_FALSE(empty.IsSameHost(CHostIdentity()));
    EXPECT_FALSE(empty.IsSameHost(CHostIdentity("nowhere.example", cache)));
}

TEST(HostIdentity, NameEndings)
{
    CHostIdentity id;
    id.AddName("ldap.Example.COM");
    id.AddName("x");
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {".example.com", true}, {"LDAP.EXAMPLE.COM", true}, {"", true}, {"x", true},
        {"example.org", false}, {"my.ldap.example.com", false}, {"y", false},
    };
    for (const Case& c : cases) EXPECT_EQ(id.HasNameEndingWith(c.text), c.expected) << c.text;
    EXPECT_FALSE(CHostIdentity().HasNameEndingWith(""));
}

TEST(HostResolutionCache, EachHostTextIsResolvedOncePerRun)
{
    auto resolver = std::make_shared<FakeResolver>();
    CHostResolutionCache cache(resolver);
    const char* const hosts[] = {"ldap.example", "LDAP.example", "nowhere.example", "10.0.0.4", "10.0.0.9"};
    CHostIdentity first[5];
    for (int i = 0; i < 5; ++i) first[i] = CHostIdentity(hosts[i], cache);
    int calls = resolver->Calls();

    // Many threads asking again, all at once: no further lookup, the same answers.
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int r = 0; r < 200; ++r)
                for (int i = 0; i < 5; ++i)
                    if (CHostIdentity(hosts[i], cache) != first[i]) ++mismatches;
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(resolver->Calls(), calls);
    // Letter case does not make another host text; an unknown name is not asked again.
    EXPECT_EQ(resolver->ForwardCalls("ldap.example") + resolver->ForwardCalls("LDAP.example"), 1);
    EXPECT_EQ(resolver->ForwardCalls("nowhere.example"), 1);
    EXPECT_EQ(resolver->ReverseCalls("10.0.0.4"), 1);
    EXPECT_EQ(resolver->ForwardCalls("reverse.example"), 1);
    EXPECT_EQ(resolver->ReverseCalls("10.0.0.9"), 1);
}

TEST(HostResolutionCache, FirstAskersOfOneTextShareOneLookup)
{
    auto resolver = std::make_shared<FakeResolver>();
    CHostResolutionCache cache(resolver);
    resolver->Hold("ldap.example");
    std::vector<std::future<CHostIdentity>> waiting;
    for (int t = 0; t < 6; ++t)
        waiting.push_back(std::async(std::launch::async, [&] { return CHostIdentity("ldap.example", cache); }));
    // A slow lookup of one text holds up no other text.
    auto other = std::async(std::launch::async, [&] { return CHostIdentity("other.example", cache); });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(other.get().HasAddress());
    for (auto& w : waiting) EXPECT_EQ(w.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);

    resolver->Release();
    for (auto& w : waiting) EXPECT_EQ(Addresses(w.get()).size(), 2u);
    EXPECT_EQ(resolver->ForwardCalls("ldap.example"), 1);
}

// The system resolver: no network needed, "localhost" is in the hosts file
// and ".invalid" names never resolve.
TEST(HostIdentitySystem, LoopbackInvalidNamesAndIPv6Literals)
{
    CHostResolutionCache cache;
    CHostIdentity byName("localhost", cache), byAddress("127.0.0.1", cache);
    ASSERT_TRUE(byName.HasAddress());
    EXPECT_TRUE(byName.GetAddresses().count(Addr("127.0.0.1")));
    EXPECT_TRUE(byName.IsSameHost(byAddress));
    EXPECT_TRUE(byAddress.IsSameHost(byName));

    CHostIdentity unknown("no-such-host.invalid", cache);
    EXPECT_FALSE(unknown.HasAddress());
    EXPECT_EQ(Names(unknown), std::vector<std::string>{"no-such-host.invalid"});
    EXPECT_FALSE(unknown.SharesAddress(CHostIdentity("no-such-host.invalid", cache)));
    EXPECT_TRUE(unknown.IsSameHost(CHostIdentity("No-Such-Host.INVALID", cache)));
    EXPECT_FALSE(unknown.IsSameHost(CHostIdentity("another-host.invalid", cache)));
    EXPECT_FALSE(unknown.IsSameHost(byName));

    CHostIdentity v6("::1", cache);
    EXPECT_FALSE(v6.HasAddress());
    EXPECT_TRUE(v6.IsSameHost(CHostIdentity("0:0:0:0:0:0:0:1", cache)));
    EXPECT_FALSE(v6.IsSameHost(byAddress));

    // The run's own cache answers the plain constructor.
    EXPECT_EQ(CHostIdentity("localhost"), CHostIdentity("LOCALHOST"));
}

TEST(HostLookup, AddressLiterals)
{
    uint32_t a = 0;
    EXPECT_TRUE(platform::ParseIPv4Literal("192.168.1.20", a));
    EXPECT_EQ(platform::FormatIPv4(a), "192.168.1.20");
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&a);
    EXPECT_EQ(bytes[0], 192);  // network order in memory
    EXPECT_EQ(bytes[3], 20);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.4 ", "host", "::1"})
        EXPECT_FALSE(platform::ParseIPv4Literal(bad, a)) << bad;
    std::string c;
    EXPECT_TRUE(platform::ParseIPv6Literal("[FE80:0::1]", c));
    EXPECT_EQ(c, "fe80::1");
    for (const char* bad : {"", "[::1", "1.2.3.4", "::g", "host"})
        EXPECT_FALSE(platform::ParseIPv6Literal(bad, c)) << bad;
}

} // namespace
