// The installer layer's calls behave as custom actions expect of the
// installer: texts and their buffer rule, null integers, views with bound
// values, the end of a view, records, formatting, features, folders and the
// product registry.

#include <gtest/gtest.h>

#include <string>

#include "installer/msi/Machine.h"
#include "installer/msi/Msi.h"
#include "installer/msi/Session.h"

namespace {

const char kProduct[] = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
const char kUpgrade[] = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

class InstallerLayer : public ::testing::Test {
protected:
    InstallerLayer() { msi::Machine::Get().Reset(); }
    ~InstallerLayer() override { msi::Machine::Get().Reset(); }
    void TearDown() override { EXPECT_EQ(msi::OpenHandleCount(), handles); }

    msi::Session session;
    size_t handles = msi::OpenHandleCount();
};

TEST_F(InstallerLayer, PropertiesFollowTheBufferRule)
{
    session.SetProperty("NAME", "abcdef");
    struct Case {
        const char* name;
        DWORD room;
        UINT result;
        DWORD count;
        std::string text;
    } cases[] = {
        {"NAME", 7, ERROR_SUCCESS, 6, "abcdef"},
        {"NAME", 6, ERROR_MORE_DATA, 6, "abcde"},  // no room for the zero
        {"NAME", 1, ERROR_MORE_DATA, 6, ""},
        {"UNDEFINED", 4, ERROR_SUCCESS, 0, ""},    // undefined reads as empty
        {"name", 7, ERROR_SUCCESS, 0, ""},         // names keep their case
    };
    for (const auto& c : cases) {
        char buffer[16] = "xxxxxxxxxxxxxxx";
        DWORD count = c.room;
        EXPECT_EQ(MsiGetPropertyA(session.Handle(), c.name, buffer, &count), c.result) << c.name << c.room;
        EXPECT_EQ(count, c.count) << c.name << c.room;
        EXPECT_EQ(std::string(buffer), c.text) << c.name << c.room;
    }
    DWORD count = 0;
    EXPECT_EQ(MsiGetPropertyA(session.Handle(), "NAME", nullptr, &count), ERROR_SUCCESS);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(MsiGetPropertyA(999999, "NAME", nullptr, &count), ERROR_INVALID_HANDLE);
}

TEST_F(InstallerLayer, SettingAnEmptyValueRemovesTheProperty)
{
    EXPECT_EQ(MsiSetPropertyA(session.Handle(), "P", "1"), ERROR_SUCCESS);
    EXPECT_TRUE(session.HasProperty("P"));
    EXPECT_EQ(MsiSetPropertyA(session.Handle(), "P", ""), ERROR_SUCCESS);
    EXPECT_FALSE(session.HasProperty("P"));
}

TEST_F(InstallerLayer, ActionsMaySetOnlyTheRebootModes)
{
    EXPECT_EQ(MsiSetMode(session.Handle(), MSIRUNMODE_REBOOTNOW, TRUE), ERROR_SUCCESS);
    EXPECT_TRUE(MsiGetMode(session.Handle(), MSIRUNMODE_REBOOTNOW));
    EXPECT_EQ(MsiSetMode(session.Handle(), MSIRUNMODE_SCHEDULED, TRUE), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(MsiGetMode(session.Handle(), MSIRUNMODE_SCHEDULED));
}

class Views : public InstallerLayer {
protected:
    Views()
    {
        auto& db = session.CreateDatabase();
        db.AddTable("Upgrade", {{"UpgradeCode", msi::ColumnType::Text},
                                {"Attributes", msi::ColumnType::Integer},
                                {"Data", msi::ColumnType::Stream}});
        db.Insert("Upgrade", {"A", 256, msi::Value::Stream({1, 2, 3, 4, 5})});
        db.Insert("Upgrade", {"B", msi::Value(), msi::Value()});
        db.Insert("Upgrade", {"A'); DROP", 7, msi::Value()});
        db.Insert("Upgrade", {"A", 512, msi::Value()});
        dbHandle = MsiGetActiveDatabase(session.Handle());
    }
    void TearDown() override
    {
        MsiCloseHandle(dbHandle);
        InstallerLayer::TearDown();
    }

    // The first column of every row the query gives, bound to the values.
    std::string Rows(const char* query, std::vector<std::string> params)
    {
        MSIHANDLE view = 0;
        UINT r = MsiDatabaseOpenViewA(dbHandle, query, &view);
        if (r != ERROR_SUCCESS) return "open " + std::to_string(r);
        MSIHANDLE rec = params.empty() ? 0 : MsiCreateRecord(static_cast<UINT>(params.size()));
        for (size_t i = 0; i < params.size(); ++i)
            MsiRecordSetStringA(rec, static_cast<UINT>(i + 1), params[i].c_str());
        std::string out;
        r = MsiViewExecute(view, rec);
        MsiCloseHandle(rec);
        if (r != ERROR_SUCCESS) out = "execute " + std::to_string(r);
        MSIHANDLE row = 0;
        while (r == ERROR_SUCCESS && (r = MsiViewFetch(view, &row)) == ERROR_SUCCESS) {
            char text[64];
            DWORD n = sizeof text;
            MsiRecordGetStringA(row, 1, text, &n);
            out += std::string(text) + "|";
            MsiCloseHandle(row);
        }
        if (r != ERROR_SUCCESS && r != ERROR_NO_MORE_ITEMS && out.empty()) out = "fetch " + std::to_string(r);
        MsiViewClose(view);
        MsiCloseHandle(view);
        return out;
    }

    MSIHANDLE dbHandle = 0;
};

TEST_F(Views, TheSmallSqlWithBoundValues)
{
    struct Case {
        const char* query;
        std::vector<std::string> params;
        std::string rows;
    } cases[] = {
        {"SELECT `UpgradeCode` FROM `Upgrade`", {}, "A|B|A'); DROP|A|"},
        {"select UpgradeCode from Upgrade", {}, "A|B|A'); DROP|A|"},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE `UpgradeCode` = ?", {"A"}, "A|A|"},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE `UpgradeCode` = ?", {"A'); DROP"}, "A'); DROP|"},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE `UpgradeCode`=? AND `Attributes`=?", {"A", "512"}, "A|"},
        {"SELECT `Attributes` FROM `Upgrade` WHERE `UpgradeCode` = 'A' AND `Attributes` = 256", {}, "256|"},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE `UpgradeCode` = ?", {"a"}, ""},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE `UpgradeCode` = ?", {}, "execute 87"},
        {"SELECT `Nope` FROM `Upgrade`", {}, "open 1615"},
        {"SELECT `UpgradeCode` FROM `Missing`", {}, "open 1615"},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE", {}, "open 1615"},
        {"SELECT `UpgradeCode` FROM `Upgrade` WHERE `UpgradeCode` = 'A", {}, "open 1615"},
        {"DELETE FROM `Upgrade`", {}, "open 1615"},
    };
    for (const auto& c : cases) EXPECT_EQ(Rows(c.query, c.params), c.rows) << c.query;
}

TEST_F(Views, RecordsGiveNullIntegersStreamsAndTheEnd)
{
    MSIHANDLE view = 0, row = 0;
    ASSERT_EQ(MsiDatabaseOpenViewA(dbHandle, "SELECT `Attributes`,`Data`,`UpgradeCode` FROM `Upgrade`", &view),
              ERROR_SUCCESS);
    EXPECT_EQ(MsiViewFetch(view, &row), ERROR_FUNCTION_FAILED);  // not executed
    ASSERT_EQ(MsiViewExecute(view, 0), ERROR_SUCCESS);

    ASSERT_EQ(MsiViewFetch(view, &row), ERROR_SUCCESS);
    EXPECT_EQ(MsiRecordGetFieldCount(row), 3u);
    EXPECT_EQ(MsiRecordGetInteger(row, 1), 256);
    EXPECT_EQ(MsiRecordGetInteger(row, 3), MSI_NULL_INTEGER);  // a text that is no number
    char data[8];
    DWORD n = 3;
    EXPECT_EQ(MsiRecordReadStream(row, 2, data, &n), ERROR_SUCCESS);
    EXPECT_EQ(std::string(data, n), std::string("\1\2\3"));
    n = sizeof data;
    EXPECT_EQ(MsiRecordReadStream(row, 2, data, &n), ERROR_SUCCESS);
    EXPECT_EQ(std::string(data, n), std::string("\4\5"));
    n = sizeof data;
    EXPECT_EQ(MsiRecordReadStream(row, 2, data, &n), ERROR_SUCCESS);
    EXPECT_EQ(n, 0u);
    n = sizeof data;
    EXPECT_EQ(MsiRecordGetStringA(row, 2, data, &n), ERROR_INVALID_DATATYPE);
    MsiCloseHandle(row);

    ASSERT_EQ(MsiViewFetch(view, &row), ERROR_SUCCESS);
    EXPECT_EQ(MsiRecordGetInteger(row, 1), static_cast<int>(0x80000000));
    EXPECT_TRUE(MsiRecordIsNull(row, 1));
    n = sizeof data;
    EXPECT_EQ(MsiRecordGetStringA(row, 1, data, &n), ERROR_SUCCESS);
    EXPECT_EQ(n, 0u);
    MsiCloseHandle(row);

    ASSERT_EQ(MsiViewFetch(view, &row), ERROR_SUCCESS);
    MsiCloseHandle(row);
    ASSERT_EQ(MsiViewFetch(view, &row), ERROR_SUCCESS);
    MsiCloseHandle(row);
    EXPECT_EQ(MsiViewFetch(view, &row), 259u);
    EXPECT_EQ(MsiViewClose(view), ERROR_SUCCESS);
    EXPECT_EQ(MsiCloseHandle(view), ERROR_SUCCESS);
    EXPECT_EQ(MsiCloseHandle(view), ERROR_INVALID_HANDLE);
}

TEST_F(InstallerLayer, DeferredActionsAndSessionsWithoutOneHaveNoDatabase)
{
    EXPECT_EQ(MsiGetActiveDatabase(session.Handle()), 0u);
    session.CreateDatabase();
    session.SetMode(MSIRUNMODE_SCHEDULED, true);
    EXPECT_EQ(MsiGetActiveDatabase(session.Handle()), 0u);
}

TEST_F(InstallerLayer, FormattingResolvesPropertiesAndFields)
{
    session.SetProperty("INSTALLDIR", "C:\\App");
    struct Case {
        const char* text;
        std::string out;
    } cases[] = {
        {"[INSTALLDIR]\\bin", "C:\\App\\bin"},
        {"[MISSING]x", "x"},
        {"[1]-[2]-[3]", "one-7-"},
        {"a[\\[]b", "a[b"},
        {"no brackets", "no brackets"},
        {"open [end", "open [end"},
    };
    MSIHANDLE rec = MsiCreateRecord(2);
    MsiRecordSetStringA(rec, 1, "one");
    MsiRecordSetInteger(rec, 2, 7);
    for (const auto& c : cases) {
        MsiRecordSetStringA(rec, 0, c.text);
        char out[64];
        DWORD n = sizeof out;
        EXPECT_EQ(MsiFormatRecordA(session.Handle(), rec, out, &n), ERROR_SUCCESS) << c.text;
        EXPECT_EQ(std::string(out, n), c.out) << c.text;
    }
    MsiCloseHandle(rec);
}

TEST_F(InstallerLayer, FeaturesAndTargetFolders)
{
    session.SetFeatureState("Main", INSTALLSTATE_ABSENT, INSTALLSTATE_LOCAL);
    session.SetTargetPath("INSTALLDIR", L"C:\\Program Files\\App\\");
    INSTALLSTATE installed = 0, action = 0;
    EXPECT_EQ(MsiGetFeatureStateA(session.Handle(), "Main", &installed, &action), ERROR_SUCCESS);
    EXPECT_EQ(installed, INSTALLSTATE_ABSENT);
    EXPECT_EQ(action, INSTALLSTATE_LOCAL);
    EXPECT_EQ(MsiGetFeatureStateA(session.Handle(), "Other", &installed, &action), ERROR_UNKNOWN_FEATURE);

    wchar_t path[8];
    DWORD n = 8;
    EXPECT_EQ(MsiGetTargetPathW(session.Handle(), L"INSTALLDIR", path, &n), ERROR_MORE_DATA);
    EXPECT_EQ(n, 21u);
    wchar_t whole[32];
    n = 32;
    EXPECT_EQ(MsiGetTargetPathW(session.Handle(), L"INSTALLDIR", whole, &n), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(whole), L"C:\\Program Files\\App\\");
    EXPECT_EQ(MsiGetTargetPathW(session.Handle(), L"NOWHERE", whole, &n), ERROR_DIRECTORY);
}

TEST_F(InstallerLayer, ProductRegistry)
{
    auto& products = msi::Machine::Get().GetProducts();
    products.Add(kProduct, kUpgrade, {{"VersionString", "1.2.3"}});
    products.Add("{00000000-0000-0000-0000-000000000001}", kUpgrade, {});
    char buffer[39];
    DWORD n = sizeof buffer;
    EXPECT_EQ(MsiGetProductInfoA(kProduct, "VersionString", buffer, &n), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer), "1.2.3");
    n = sizeof buffer;
    EXPECT_EQ(MsiGetProductInfoA(kProduct, "Language", buffer, &n), ERROR_UNKNOWN_PROPERTY);
    EXPECT_EQ(MsiGetProductInfoA("{00000000-0000-0000-0000-000000000009}", "Language", buffer, &n),
              ERROR_UNKNOWN_PRODUCT);
    EXPECT_EQ(MsiGetProductInfoA("not a code", "Language", buffer, &n), ERROR_INVALID_PARAMETER);

    std::vector<std::string> related;
    UINT r;
    for (DWORD i = 0; (r = MsiEnumRelatedProductsA(kUpgrade, 0, i, buffer)) == ERROR_SUCCESS; ++i)
        related.push_back(buffer);
    EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(related, (std::vector<std::string>{kProduct, "{00000000-0000-0000-0000-000000000001}"}));
    EXPECT_EQ(MsiEnumRelatedProductsA(kUpgrade, 1, 0, buffer), ERROR_INVALID_PARAMETER);
}

} // namespace
