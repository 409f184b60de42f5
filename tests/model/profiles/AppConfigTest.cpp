#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/profiles/CAppConfig.h"
#include "platform/RegistryKey.h"
#include "tests/support/ByteText.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

const wchar_t* const kSettingsKey = L"Software\\Vellumar\\Arbolite\\Settings\\";

using testsupport::Hex;

// Fields 1-12, proxy host "proxy" and port 8080.
const std::string kImage = Hex(
    "00000000 01000000 00000000 07000000 01000000 00000000"
    "01000000 00000000 2d000000 01000000 00000000 01000000"
    "ff feff 05 7000 7200 6f00 7800 7900"
    "901f0000");

std::vector<int32_t> IntFields(const CAppConfig& c)
{
    return {c.m_bOption1,       c.m_bShowNamingContexts, c.m_bCheckForUpdates, c.m_nUpdateIntervalDays,
            c.m_bShowOutputBar, c.m_bAutoSortList,       c.m_bForgetSortColumn, c.m_bAutoRemoveInfo,
            c.m_nInfoTimeoutSec, c.m_bExpandOnClick,     c.m_bEnsureVisible,   c.m_bUseProxy,
            c.m_nProxyPort};
}

const std::vector<int32_t> kDefaults = {1, 1, 1, 14, 0, 1, 0, 1, 30, 0, 1, 0, 0};

void StoreValue(const std::string& bytes)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(kSettingsKey));
    ASSERT_TRUE(key.WriteBinary(L"AppOptions", bytes.data(), bytes.size()));
}

std::string StoredValue()
{
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<uint8_t> bytes;
    if (!key.Open(kSettingsKey) || !key.Read(L"AppOptions", bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

// Every field away from its default, so a load that falls back shows.
void Disturb(CAppConfig& c)
{
    c.m_bOption1 = 5;
    c.m_nInfoTimeoutSec = 99;
    c.m_strProxyHost = L"stale";
    c.m_nProxyPort = 1;
}

} // namespace

class AppConfigTest : public testsupport::TempHomeTest {};

TEST_F(AppConfigTest, KnownImageLoadsAndSavesBackByteForByte)
{
    StoreValue(kImage);
    CAppConfig c;
    ASSERT_TRUE(c.Load());
    EXPECT_EQ(IntFields(c), (std::vector<int32_t>{0, 1, 0, 7, 1, 0, 1, 0, 45, 1, 0, 1, 8080}));
    EXPECT_EQ(c.m_strProxyHost, L"proxy");

    RegistryKey(RegRoot::CurrentUser, false).DeleteKey(kSettingsKey);
    ASSERT_TRUE(c.Save());
    EXPECT_EQ(StoredValue(), kImage);
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(kSettingsKey));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(key.Read(L"AppOptions", bytes));
    EXPECT_EQ(key.GetLastType(), platform::REG_BINARY);
}

TEST_F(AppConfigTest, DefaultsWhenMissing)
{
    CAppConfig fresh;
    EXPECT_EQ(IntFields(fresh), kDefaults);
    EXPECT_EQ(fresh.m_strProxyHost, L"");

    // No key, then a key without the value.
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        if (step == 1) {
            ASSERT_TRUE(RegistryKey(RegRoot::CurrentUser, false).CreateKey(kSettingsKey));
        }
        CAppConfig c;
        Disturb(c);
        EXPECT_FALSE(c.Load());
        EXPECT_EQ(IntFields(c), kDefaults);
        EXPECT_EQ(c.m_strProxyHost, L"");
    }

    // The defaults as stored at exit.
    CAppConfig c;
    ASSERT_TRUE(c.Save());
    EXPECT_EQ(StoredValue(), Hex("01000000 01000000 01000000 0e000000 00000000 01000000"
                                 "00000000 01000000 1e000000 00000000 01000000 00000000"
                                 "fffeff 00 00000000"));
}

TEST_F(AppConfigTest, DamagedOrShortRecordGivesDefaults)
{
    std::vector<std::pair<std::string, std::string>> cases;
    for (size_t n = 0; n < kImage.size(); ++n) cases.push_back({"first " + std::to_string(n) + " bytes", kImage.substr(0, n)});
    std::string noMarker = kImage;
    noMarker[49] = '\xFD';
    cases.push_back({"no wide-string marker", noMarker});
    std::string longName = kImage;
    longName[51] = '\x40';  // 64 characters claimed, 5 there
    cases.push_back({"text longer than the record", longName});
    cases.push_back({"32-bit length past the end", kImage.substr(0, 48) + Hex("fffeff ff ffff ffffff7f 7000")});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        StoreValue(c.second);
        CAppConfig config;
        Disturb(config);
        EXPECT_FALSE(config.Load());
        EXPECT_EQ(IntFields(config), kDefaults);
        EXPECT_EQ(config.m_strProxyHost, L"");
    }

    // A value of another type cannot be the record.
    RegistryKey key(RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(kSettingsKey));
    ASSERT_TRUE(key.Write(L"AppOptions", std::wstring(L"not a record")));
    CAppConfig config;
    Disturb(config);
    EXPECT_FALSE(config.Load());
    EXPECT_EQ(IntFields(config), kDefaults);
}

TEST_F(AppConfigTest, ProxyHostLengthForms)
{
    struct Case {
        const char* what;
        std::wstring host;
        std::string lengthBytes;  // after the marker
    } cases[] = {
        {"empty", L"", Hex("00")},
        {"254 characters", std::wstring(254, L'h'), Hex("fe")},
        {"255 characters", std::wstring(255, L'h'), Hex("ff ff00")},
        {"300 characters", std::wstring(300, L'h'), Hex("ff 2c01")},
        {"0xFFFD characters", std::wstring(0xFFFD, L'h'), Hex("ff fdff")},
        {"0xFFFE characters", std::wstring(0xFFFE, L'h'), Hex("ff ffff feff0000")},
        {"outside the BMP", L"h\u00e9\U0001F600", Hex("04")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAppConfig config;
        config.m_strProxyHost = c.host;
        config.m_nProxyPort = 3128;
        ASSERT_TRUE(config.Save());
        const std::string stored = StoredValue();
        ASSERT_GT(stored.size(), 51u);
        EXPECT_EQ(stored.substr(48, 3), Hex("fffeff"));
        EXPECT_EQ(stored.substr(51, c.lengthBytes.size()), c.lengthBytes);

        CAppConfig back;
        ASSERT_TRUE(back.Load());
        EXPECT_EQ(back.m_strProxyHost, c.host);
        EXPECT_EQ(back.m_nProxyPort, 3128);
    }
    // Surrogate pair on the wire.
    EXPECT_EQ(StoredValue().substr(52, 8), Hex("6800 e900 3dd8 00de"));
}
