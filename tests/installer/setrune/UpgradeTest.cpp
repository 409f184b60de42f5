// UpgradeCheck and UpgradeCheckEx: related products in the version ranges of
// the Upgrade table.

#include <string>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const char kUpgrade[] = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
const char kProduct1[] = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
const char kPacked1[] = "87654321CBA90FED21436587A9CBED0F";
const char kProduct2[] = "{00000000-0000-0000-0000-000000000002}";

struct Row {
    std::string min, max, language;
    int attributes;  // MSI_NULL_INTEGER: null
    std::string property = "OLDPRODUCTS";
};

class Upgrades : public ActionTest {
protected:
    Upgrades()
    {
        host.libraries["msi.dll"]["MsiEnumRelatedProductsA"] = reinterpret_cast<void*>(&MsiEnumRelatedProductsA);
        Table({});
    }

    void Table(const std::vector<Row>& rows)
    {
        auto& db = session.CreateDatabase();
        db.AddTable("Upgrade", {{"UpgradeCode", msi::ColumnType::Text},
                                {"VersionMin", msi::ColumnType::Text},
                                {"VersionMax", msi::ColumnType::Text},
                                {"Language", msi::ColumnType::Text},
                                {"Attributes", msi::ColumnType::Integer},
                                {"Remove", msi::ColumnType::Text},
                                {"ActionProperty", msi::ColumnType::Text}});
        for (const auto& r : rows)
            db.Insert("Upgrade", {kUpgrade, r.min.empty() ? msi::Value() : msi::Value(r.min),
                                  r.max.empty() ? msi::Value() : msi::Value(r.max),
                                  r.language.empty() ? msi::Value() : msi::Value(r.language),
                                  r.attributes == MSI_NULL_INTEGER ? msi::Value() : msi::Value(r.attributes),
                                  msi::Value(), r.property});
    }
};

class UpgradeCheckEx : public Upgrades {
protected:
    UpgradeCheckEx() { session.SetProperty("Version9X", "410"); }
};

TEST_F(UpgradeCheckEx, VersionRanges)
{
    struct Case {
        std::string min, max;
        int attributes;
        std::string version;
        bool taken;
    } cases[] = {
        {"1.0", "2.0", 0, "1.5", true},
        {"1.0", "2.0", 0, "1.0", false},
        {"1.0", "2.0", 0x100, "1.0", true},
        {"1.0", "2.0", 0, "2.0", false},
        {"1.0", "2.0", 0x200, "2.0", true},
        {"1.0", "2.0", 0x300, "2.0.1", false},
        {"1.0", "2.0", 0x300, "0.9", false},
        {"1.0", "2.0", MSI_NULL_INTEGER, "1.0", false},
        // Shorter texts read as if they ended in zeros.
        {"1.0", "2.0", 0x100, "1.0.0", true},
        {"1.0.0", "2.0", 0x100, "1.0", true},
        {"1.0.0", "2.0", 0, "1", false},
        {"1.2", "2.0", 0, "1.10", true},  // parts are numbers
        {"1..5", "2.0", 0, "1.5", false},  // a run of '.' is one separator
        {"1. 5", "2.0", 0x100, "1.5", true},
        // An empty bound is none.
        {"1.0", "", 0, "99.0", true},
        {"", "2.0", 0, "0.0.1", true},
        {"", "", 0, "5", true},
    };
    for (const auto& c : cases) {
        Products().Clear();
        Products().Add(kProduct1, kUpgrade, {{"VersionString", c.version}});
        Table({{c.min, c.max, "", c.attributes}});
        session.SetProperty("OLDPRODUCTS", "");
        EXPECT_EQ(Run("UpgradeCheckEx"), ERROR_SUCCESS);
        EXPECT_EQ(session.Property("OLDPRODUCTS"), c.taken ? kProduct1 : "")
            << c.version << " in " << c.min << "-" << c.max << " / " << std::hex << c.attributes;
    }
}

TEST_F(UpgradeCheckEx, Languages)
{
    struct Case {
        const char* productLanguage;  // null: the product has none
        std::string list;
        int attributes;
        bool taken;
    } cases[] = {
        {"1033", "1031;1033", 0, true},
        {"1033", "1031", 0, false},
        {"1033", "1031", 0x400, true},
        {"1033", "1031;1033", 0x400, false},
        {"1033", "", 0x400, true},   // no list: the language is not looked at
        {nullptr, "", 0, true},
        {nullptr, "1033", 0, false},  // cannot be read: skipped
        {nullptr, "1033", 0x400, false},
        {"0", ";;", 0, false},
    };
    for (const auto& c : cases) {
        Products().Clear();
        std::map<std::string, std::string> info = {{"VersionString", "1.5"}};
        if (c.productLanguage) info["Language"] = c.productLanguage;
        Products().Add(kProduct1, kUpgrade, info);
        Table({{"1.0", "2.0", c.list, c.attributes}});
        session.SetProperty("OLDPRODUCTS", "");
        EXPECT_EQ(Run("UpgradeCheckEx"), ERROR_SUCCESS);
        EXPECT_EQ(session.Property("OLDPRODUCTS"), c.taken ? kProduct1 : "")
            << (c.productLanguage ? c.productLanguage : "-") << " in '" << c.list << "' / " << std::hex
            << c.attributes;
    }
}

TEST_F(UpgradeCheckEx, RelatedProductsJoinedBySemicolons)
{
    Products().Add(kProduct1, kUpgrade, {{"VersionString", "1.5"}});
    Products().Add("{00000000-0000-0000-0000-000000000009}", kUpgrade, {{"VersionString", "7.0"}});
    Products().Add(kProduct2, kUpgrade, {{"VersionString", "1.6"}});
    Products().Add("{00000000-0000-0000-0000-000000000003}", kUpgrade, {});  // no version: skipped
    Products().Add("{00000000-0000-0000-0000-000000000004}", "{00000000-0000-0000-0000-0000000000FF}",
                   {{"VersionString", "1.5"}});
    Table({{"1.0", "2.0", "", 0}, {"1.0", "2.0", "", 0, "OTHER"}, {"1.0", "2.0", "", 0, ""}});
    EXPECT_EQ(Run("UpgradeCheckEx"), ERROR_SUCCESS);
    EXPECT_EQ(session.Property("OLDPRODUCTS"), std::string(kProduct1) + ";" + kProduct2);
    EXPECT_EQ(session.Property("OTHER"), std::string(kProduct1) + ";" + kProduct2);
}

TEST_F(UpgradeCheckEx, ManyRelatedProductsAreAllKept)
{
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        char code[39];
        std::snprintf(code, sizeof code, "{00000000-0000-0000-0000-%012d}", i);
        Products().Add(code, kUpgrade, {{"VersionString", "1.5"}});
        expected += (i ? ";" : "") + std::string(code);
    }
    Table({{"1.0", "2.0", "", 0}});
    EXPECT_EQ(Run("UpgradeCheckEx"), ERROR_SUCCESS);
    EXPECT_EQ(session.Property("OLDPRODUCTS"), expected);  // past 1024 characters
}

TEST_F(UpgradeCheckEx, NothingWhenAnActionPropertyIsAlreadySet)
{
    Products().Add(kProduct1, kUpgrade, {{"VersionString", "1.5"}});
    Table({{"1.0", "2.0", "", 0}, {"1.0", "2.0", "", 0, "OTHER"}});
    for (std::string value : {std::string("set before"), std::string(2000, 'v')}) {
        session.SetProperty("OLDPRODUCTS", "");
        session.SetProperty("OTHER", value);
        EXPECT_EQ(Run("UpgradeCheckEx"), ERROR_SUCCESS);
        EXPECT_EQ(session.Property("OLDPRODUCTS"), "");
        EXPECT_EQ(session.Property("OTHER"), value);
    }
}

TEST_F(Upgrades, EachCheckActsOnItsFamilyOfSystemsAndNeedsTheInstallerFunction)
{
    Products().Add(kProduct1, kUpgrade, {{"VersionString", "1.5"}});
    Table({{"1.0", "2.0", "", 0}});
    Registry().CreateKey(HKEY_CLASSES_ROOT, std::string("Installer\\Products\\") + kPacked1);
    struct Case {
        const char* version9x;
        bool library, function;
        bool exActs, checkActs;
    } cases[] = {
        {"", true, true, false, true},
        {"410", true, true, true, false},
        {"410", false, true, false, false},
        {"410", true, false, false, false},
        {"", false, true, false, false},
        {"", true, false, false, false},
    };
    for (const auto& c : cases) {
        host.libraries.clear();
        if (c.library)
            host.libraries["msi.dll"]["MsiEnumRelatedProductsA"] =
                c.function ? reinterpret_cast<void*>(&MsiEnumRelatedProductsA) : nullptr;
        if (c.library && !c.function) host.libraries["msi.dll"].clear();
        session.SetProperty("Version9X", c.version9x);
        session.SetProperty("OLDPRODUCTS", "");
        session.SetProperty("ALLUSERS", "");
        EXPECT_EQ(Run("UpgradeCheckEx"), ERROR_SUCCESS);
        EXPECT_EQ(Run("UpgradeCheck"), ERROR_SUCCESS);
        EXPECT_EQ(session.HasProperty("OLDPRODUCTS"), c.exActs) << c.version9x << c.library << c.function;
        EXPECT_EQ(session.HasProperty("ALLUSERS"), c.checkActs) << c.version9x << c.library << c.function;
        EXPECT_EQ(host.librariesLoaded, host.librariesFreed);
    }
}

TEST_F(Upgrades, UpgradeCheckFollowsWhereTheRelatedProductIsRegistered)
{
    struct Case {
        bool perUser, perMachine;
        const char* allUsers;  // null: not set
    } cases[] = {
        {false, true, "1"},
        {true, false, nullptr},
        {true, true, "2"},
        {false, false, "2"},
    };
    Products().Add(kProduct1, kUpgrade, {{"VersionString", "1.5"}});
    Table({{"1.0", "2.0", "1031", 0x400}});  // the language is not looked at
    session.SetProperty("Version9X", "");
    for (const auto& c : cases) {
        Registry().Clear();
        if (c.perUser)
            Registry().CreateKey(HKEY_CURRENT_USER, std::string("Software\\Microsoft\\Installer\\Products\\") + kPacked1);
        if (c.perMachine) Registry().CreateKey(HKEY_CLASSES_ROOT, std::string("Installer\\Products\\") + kPacked1);
        session.SetProperty("ALLUSERS", "2");
        EXPECT_EQ(Run("UpgradeCheck"), ERROR_SUCCESS);
        EXPECT_EQ(session.HasProperty("ALLUSERS"), c.allUsers != nullptr) << c.perUser << c.perMachine;
        if (c.allUsers) {
            EXPECT_EQ(session.Property("ALLUSERS"), c.allUsers) << c.perUser << c.perMachine;
        }
    }
}

TEST_F(Upgrades, UpgradeCheckSkipsProductsOutOfRange)
{
    Products().Add(kProduct1, kUpgrade, {{"VersionString", "3.0"}});
    Table({{"1.0", "2.0", "", 0}});
    Registry().CreateKey(HKEY_CLASSES_ROOT, std::string("Installer\\Products\\") + kPacked1);
    session.SetProperty("Version9X", "");
    EXPECT_EQ(Run("UpgradeCheck"), ERROR_SUCCESS);
    EXPECT_FALSE(session.HasProperty("ALLUSERS"));
}

} // namespace
} // namespace setrunetest
