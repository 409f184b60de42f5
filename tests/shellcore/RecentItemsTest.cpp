#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RegistryKey.h"
#include "shellcore/CRecentItemsList.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

const std::wstring kKey = g_strRecentFiltersKey;
constexpr int64_t kNow = 1700000000;
constexpr int64_t kDay = 24 * 60 * 60;

class RecentItemsTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_previousClock = CRecentItemsList::SetClock([this] { return m_now; });
    }
    void TearDown() override
    {
        CRecentItemsList::SetClock(m_previousClock);
        TempHomeTest::TearDown();
    }

    void Store(const std::wstring& text, int64_t stamp)
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(kKey));
        ASSERT_TRUE(key.Write(text, static_cast<uint32_t>(stamp)));
    }
    std::vector<std::wstring> StoredNames()
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        std::vector<std::wstring> names;
        if (key.Open(kKey)) key.ReadValueNames(names);
        return names;
    }
    static std::vector<std::wstring> Recent(const CRecentItemsList& list, int n = -1)
    {
        std::vector<std::wstring> texts;
        list.GetRecentStrings(texts, n);
        return texts;
    }

    int64_t m_now = kNow;
    CRecentItemsList::Clock m_previousClock;
};

// Texts stamped 25 days ago or earlier are not loaded and leave the key;
// younger ones stay.
TEST_F(RecentItemsTest, ExpiryAtTwentyFiveDays)
{
    Store(L"exactly", kNow - 25 * kDay);
    Store(L"older", kNow - 40 * kDay);
    Store(L"just inside", kNow - 25 * kDay + 1);
    Store(L"today", kNow - 10);

    CRecentItemsList list(RegRoot::CurrentUser, kKey);
    EXPECT_EQ(Recent(list), (std::vector<std::wstring>{L"today", L"just inside"}));
    EXPECT_EQ(StoredNames(), (std::vector<std::wstring>{L"just inside", L"today"}));
}

TEST_F(RecentItemsTest, AddingAgainMovesToTheFrontWithOneValue)
{
    CRecentItemsList list(RegRoot::CurrentUser, kKey);
    EXPECT_FALSE(list.AddString(L""));
    EXPECT_TRUE(list.AddString(L"(cn=a*)"));
    m_now += 5;
    EXPECT_TRUE(list.AddString(L"(cn=b*)"));
    m_now += 5;
    EXPECT_TRUE(list.AddString(L"(cn=a*)"));
    EXPECT_EQ(Recent(list), (std::vector<std::wstring>{L"(cn=a*)", L"(cn=b*)"}));
    EXPECT_EQ(StoredNames().size(), 2u);

    // Written at once: a new list on the key reads the same order.
    CRecentItemsList again(RegRoot::CurrentUser, kKey);
    EXPECT_EQ(Recent(again), (std::vector<std::wstring>{L"(cn=a*)", L"(cn=b*)"}));
}

TEST_F(RecentItemsTest, TextsOfTheSameSecondAreAllKept)
{
    CRecentItemsList list(RegRoot::CurrentUser, kKey);
    list.AddString(L"older");
    m_now += 1;
    list.AddString(L"alpha");
    list.AddString(L"beta");
    EXPECT_EQ(Recent(list), (std::vector<std::wstring>{L"beta", L"alpha", L"older"}));

    std::vector<std::wstring> texts;
    EXPECT_TRUE(list.GetRecentStrings(texts, 2));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"beta", L"alpha"}));
    EXPECT_TRUE(list.GetRecentStrings(texts, 0));
    EXPECT_TRUE(texts.empty());
    EXPECT_FALSE(list.GetRecentStrings(texts, 5));
    EXPECT_EQ(texts.size(), 3u);
}

TEST_F(RecentItemsTest, AnOverlongNameDoesNotHideTheTextsAfterIt)
{
    Store(L"a first", kNow - 30);
    Store(L"m" + std::wstring(CRecentItemsList::kMaxTextLength + 10, L'x'), kNow - 20);
    Store(L"z last", kNow - 10);
    CRecentItemsList list(RegRoot::CurrentUser, kKey);
    EXPECT_EQ(Recent(list), (std::vector<std::wstring>{L"z last", L"a first"}));
}

TEST_F(RecentItemsTest, WithoutAKeyTheListLivesInMemory)
{
    CRecentItemsList list;
    EXPECT_TRUE(list.AddString(L"host.example.org"));
    EXPECT_EQ(Recent(list), (std::vector<std::wstring>{L"host.example.org"}));
    EXPECT_TRUE(StoredNames().empty());
}

TEST_F(RecentItemsTest, EnumerationFollowsTheTextOrder)
{
    CRecentItemsList list;
    for (const wchar_t* t : {L"c", L"a", L"b"}) list.AddString(t);

    std::wstring out[3];
    uint32_t fetched = 99;
    // Nothing asked, nothing written.
    EXPECT_EQ(list.Next(0, nullptr, &fetched), S_OK);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(list.Next(2, out, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(out[0], L"a");
    EXPECT_EQ(out[1], L"b");
    EXPECT_EQ(list.Next(3, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(out[0], L"c");

    // Skipping past the end starts over.
    EXPECT_EQ(list.Skip(5), S_OK);
    EXPECT_EQ(list.Next(1, out, nullptr), S_OK);
    EXPECT_EQ(out[0], L"a");
    EXPECT_EQ(list.Skip(1), S_OK);
    EXPECT_EQ(list.Next(1, out, nullptr), S_OK);
    EXPECT_EQ(out[0], L"c");

    IEnumString* clone = nullptr;
    EXPECT_EQ(list.Clone(nullptr), E_POINTER);
    ASSERT_EQ(list.Clone(&clone), S_OK);
    list.AddString(L"d");
    EXPECT_EQ(clone->Next(3, out, &fetched), S_OK);
    EXPECT_EQ(clone->Next(1, out, &fetched), S_FALSE);  // the clone kept its copy
    EXPECT_EQ(clone->Release(), 0u);

    void* itf = nullptr;
    EXPECT_EQ(list.QueryInterface(IID_IEnumString, &itf), S_OK);
    EXPECT_EQ(list.Release(), 1u);  // the maker's reference stays
}

class FakeCompletion : public IAutoCompletion {
public:
    explicit FakeCompletion(int& live) : m_live(live) { ++m_live; }
    ~FakeCompletion() override { --m_live; }

private:
    int& m_live;
};

TEST_F(RecentItemsTest, BindsOnceUntilUnbound)
{
    int live = 0;
    void* boundTo = nullptr;
    auto previous = SetAutoCompletionFactory([&](void* edit, IEnumString&, uint32_t, const std::wstring&) {
        boundTo = edit;
        return std::make_unique<FakeCompletion>(live);
    });
    int edit = 0;
    {
        CRecentItemsList list;
        EXPECT_TRUE(list.Bind(&edit));
        EXPECT_EQ(boundTo, &edit);
        EXPECT_FALSE(list.Bind(&edit));
        list.Unbind();
        EXPECT_EQ(live, 0);
        EXPECT_TRUE(list.Bind(&edit));
        EXPECT_EQ(live, 1);
    }
    EXPECT_EQ(live, 0);  // the list's end unbinds
    SetAutoCompletionFactory(nullptr);
    CRecentItemsList list;
    EXPECT_FALSE(list.Bind(&edit));
    SetAutoCompletionFactory(previous);
}

} // namespace
