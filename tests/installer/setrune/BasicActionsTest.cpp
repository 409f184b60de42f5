// getIeVersion, ModifySourceList, ForceReboot and DisplayHelpContext.

#include <string>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const char kIeKey[] = "Software\\Microsoft\\Internet Explorer";
const char kProduct[] = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
const char kPacked[] = "87654321CBA90FED21436587A9CBED0F";

class IeVersion : public ActionTest {};

TEST_F(IeVersion, VersionCodes)
{
    struct Case {
        std::string version, code;
    } cases[] = {
        {"4.40.308", "100"},         {"4.40.520", "200"},         {"4.70.1155", "300"},
        {"4.70.1158", "300"},        {"4.70.1215", "301"},        {"4.70.1300", "302"},
        {"4.71.544", "400"},         {"4.71.1008.3", "400"},      {"4.71.1712.6", "400"},
        {"4.72.2106.8", "401"},      {"4.72.3110.8", "401"},      {"4.72.3612.1713", "401"},
        {"5.00.0518.10", "500"},     {"5.00.0910.1309", "500"},   {"5.00.2014.0216", "500"},
        {"5.00.2314.1003", "500"},   {"5.00.2614.3500", "500"},   {"5.00.2516.1900", "501"},
        {"5.00.2031", "501"},        {"5.00.2919.800", "501"},    {"5.00.2072", "501"},
        {"5.00.2919.3800", "501"},   {"5.00.2128", "501"},        {"5.00.2919.6307", "501"},
        {"5.00.3103.1000", "501"},   {"5.00.3315.1000", "501"},   {"5.50.3825.1300", "550"},
        {"5.50.4134.0600", "550"},   {"5.50.4134.0600C0", "550"}, {"5.50.4134.0600c0", "550"},
        {"6.0.2462.0000", "600"},
        // Not in the table: M x 100 + N of "M.N".
        {"6.0.2800.1106", "600"},    {"7.0", "700"},              {"  5.5.1", "505"},
        {"8", "800"},                {"11.00.9600.16428", "1100"}, {"x.5", "5"},
        {"21474836.47", "2147483647"},
    };
    for (const auto& c : cases) {
        Registry().SetString(HKEY_LOCAL_MACHINE, kIeKey, "Version", c.version);
        session.SetProperty("IEVERSION", "");
        session.SetProperty("IEVERSIONEX", "");
        EXPECT_EQ(Run("getIeVersion"), ERROR_SUCCESS);
        EXPECT_EQ(session.Property("IEVERSION"), c.code) << c.version;
        EXPECT_EQ(session.Property("IEVERSIONEX"), c.version) << c.version;
    }
}

TEST_F(IeVersion, NothingIsSetWithoutAVersionItCanRead)
{
    struct Case {
        const char* what;
        bool write;
        std::string version;
        DWORD type;
    } cases[] = {
        {"no key", false, "", REG_SZ},
        {"empty", true, "", REG_SZ},
        {"not REG_SZ", true, "6.0", REG_EXPAND_SZ},
        {"does not fit 100 bytes", true, "6." + std::string(98, '1'), REG_SZ},
        // A code past 32 bits is no version: nothing, rather than a wrong number.
        {"major too large", true, "99999999999.1", REG_SZ},
        {"code too large", true, "21474836.48", REG_SZ},
        {"minor too large", true, "1.99999999999", REG_SZ},
    };
    for (const auto& c : cases) {
        msi::Machine::Get().Registry().Clear();
        if (c.write) Registry().SetString(HKEY_LOCAL_MACHINE, kIeKey, "Version", c.version, c.type);
        EXPECT_EQ(Run("getIeVersion"), ERROR_SUCCESS) << c.what;
        EXPECT_FALSE(session.HasProperty("IEVERSION")) << c.what;
        EXPECT_FALSE(session.HasProperty("IEVERSIONEX")) << c.what;
    }
    Registry().SetString(HKEY_LOCAL_MACHINE, kIeKey, "Version", "6.0." + std::string(95, '1'));
    Run("getIeVersion");
    EXPECT_TRUE(session.HasProperty("IEVERSIONEX")) << "99 characters and the zero fit";
}

class SourceList : public ActionTest {
protected:
    std::string UserKey() const { return std::string("Software\\Microsoft\\Installer\\Products\\") + kPacked + "\\SourceList"; }

    // "name=value" of every value in Net, in order 1..32.
    std::string Net(HKEY hive, const std::string& key)
    {
        std::string out;
        for (int j = 1; j <= 32; ++j)
            if (auto v = Registry().GetString(hive, key + "\\Net", std::to_string(j)))
                out += std::to_string(j) + "=" + *v + " ";
        return out;
    }
};

TEST_F(SourceList, ItemsNumberedWithoutTheEmptyOnes)
{
    std::string allOld;
    for (int j = 1; j <= 32; ++j) allOld += std::to_string(j) + "=old ";
    struct Case {
        std::string data, net, lastUsed;
    } cases[] = {
        {"\\\\srv\\a;;\\\\srv\\b", "1=\\\\srv\\a 2=\\\\srv\\b 32=old ", "n;1;\\\\srv\\a"},
        {";x;;y;", "1=x 2=y 32=old ", "n;1;x"},
        {"only", "1=only 32=old ", "n;1;only"},
        // No item: nothing written and nothing deleted.
        {";;", allOld, "before"},
    };
    for (const auto& c : cases) {
        Registry().Clear();
        Registry().SetString(HKEY_CURRENT_USER, UserKey(), "LastUsedSource", "before");
        for (int j = 1; j <= 32; ++j)
            Registry().SetString(HKEY_CURRENT_USER, UserKey() + "\\Net", std::to_string(j), "old");
        session.SetProperty("ProductCode", kProduct);
        session.SetProperty("CustomActionData", c.data);
        EXPECT_EQ(Run("ModifySourceList"), ERROR_SUCCESS);
        EXPECT_EQ(Net(HKEY_CURRENT_USER, UserKey()), c.net) << c.data;
        EXPECT_EQ(Registry().GetString(HKEY_CURRENT_USER, UserKey(), "LastUsedSource"), c.lastUsed) << c.data;
    }
    Registry().Clear();
    Registry().CreateKey(HKEY_CURRENT_USER, UserKey());
    session.SetProperty("CustomActionData", "a");
    Run("ModifySourceList");
    EXPECT_EQ(Registry().FindValue(HKEY_CURRENT_USER, UserKey(), "LastUsedSource")->type, REG_EXPAND_SZ);
    EXPECT_EQ(Registry().FindValue(HKEY_CURRENT_USER, UserKey() + "\\Net", "1")->type, REG_EXPAND_SZ);
}

TEST_F(SourceList, PerMachineKeyWhenThereIsNoPerUserOne)
{
    const std::string machineKey = std::string("Installer\\Products\\") + kPacked + "\\SourceList";
    Registry().CreateKey(HKEY_CLASSES_ROOT, machineKey);
    session.SetProperty("ProductCode", kProduct);
    session.SetProperty("CustomActionData", "p1;p2");
    EXPECT_EQ(Run("ModifySourceList"), ERROR_SUCCESS);
    EXPECT_EQ(Net(HKEY_CLASSES_ROOT, machineKey), "1=p1 2=p2 ");
    EXPECT_FALSE(Registry().HasKey(HKEY_CURRENT_USER, UserKey()));
}

TEST_F(SourceList, NothingWithoutTheProductsKeyOrTheProperties)
{
    session.SetProperty("ProductCode", kProduct);
    session.SetProperty("CustomActionData", "p1");
    EXPECT_EQ(Run("ModifySourceList"), ERROR_SUCCESS);
    EXPECT_FALSE(Registry().HasKey(HKEY_CURRENT_USER, "Software"));
    EXPECT_FALSE(Registry().HasKey(HKEY_CLASSES_ROOT, "Installer"));

    Registry().CreateKey(HKEY_CURRENT_USER, UserKey());
    session.SetProperty("CustomActionData", std::string(4096, 'x'));  // does not fit 4096 bytes
    EXPECT_EQ(Run("ModifySourceList"), ERROR_SUCCESS);
    EXPECT_FALSE(Registry().HasKey(HKEY_CURRENT_USER, UserKey() + "\\Net"));
}

TEST_F(SourceList, TheLongestCustomActionDataIsWrittenWhole)
{
    const std::string path(4095, 'p');
    Registry().CreateKey(HKEY_CURRENT_USER, UserKey());
    session.SetProperty("ProductCode", kProduct);
    session.SetProperty("CustomActionData", path);
    EXPECT_EQ(Run("ModifySourceList"), ERROR_SUCCESS);
    EXPECT_EQ(Registry().GetString(HKEY_CURRENT_USER, UserKey(), "LastUsedSource"), "n;1;" + path);
    EXPECT_EQ(Registry().GetString(HKEY_CURRENT_USER, UserKey() + "\\Net", "1"), path);
}

class Reboot : public ActionTest {};

TEST_F(Reboot, ForcedUnlessOlvaneRebootHoldsAValue)
{
    struct Case {
        std::string value;
        bool forced;
    } cases[] = {
        {"", true},
        {"0", false},
        {"anything", false},
        {std::string(259, 'x'), false},
        {std::string(260, 'x'), true},  // does not fit: unreadable
    };
    for (const auto& c : cases) {
        msi::Session s;
        s.SetProperty("OLVANEREBOOT", c.value);
        UINT r = FindAction("ForceReboot")(s.Handle());
        EXPECT_EQ(r, c.forced ? ERROR_INSTALL_SUSPEND : ERROR_SUCCESS) << c.value.size();
        EXPECT_EQ(s.ActionsDone(), c.forced ? std::vector<std::string>{"ForceReboot"} : std::vector<std::string>{});
        EXPECT_EQ(s.Mode(MSIRUNMODE_REBOOTNOW), c.forced);
    }
}

class HelpContext : public ActionTest {};

TEST_F(HelpContext, OpensTheTopicWhenBothPropertiesCanBeRead)
{
    struct Case {
        std::string file, context;
        bool shown;
        unsigned long data;
    } cases[] = {
        {"C:\\help\\setup.hlp", "42", true, 42},
        {"C:\\help\\setup.hlp", "", true, 0},
        {"C:\\help\\setup.hlp", "12abc", true, 12},
        {"C:\\help\\setup.hlp", std::string(256, '1'), false, 0},
        {"", "42", false, 0},
        {std::string(260, 'f'), "42", false, 0},
    };
    for (const auto& c : cases) {
        host.helpCalls.clear();
        session.SetProperty("OlvaneHelpFilePath", c.file);
        session.SetProperty("OlvaneHelpContext", c.context);
        EXPECT_EQ(Run("DisplayHelpContext"), ERROR_SUCCESS);
        ASSERT_EQ(host.helpCalls.size(), c.shown ? 1u : 0u) << c.file << " " << c.context;
        if (!c.shown) continue;
        EXPECT_EQ(host.helpCalls[0].file, c.file);
        EXPECT_EQ(host.helpCalls[0].command, 1u);
        EXPECT_EQ(host.helpCalls[0].data, c.data);
    }
}

} // namespace
} // namespace setrunetest
