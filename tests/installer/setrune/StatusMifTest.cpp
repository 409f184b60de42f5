// StatusMifInit and StatusMifCommit: the record kept between them and the
// status MIF, through the status library or as text from the template.

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const char kProduct[] = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
const char kRecordName[] = "_12345678_9ABC_DEF0_1234_56789ABCDEF0_.TMP";

// The template as a distribution system reads it, for the given values.
std::string ExpectedMif(const std::string& manufacturer, const std::string& product, const std::string& version,
                        const std::string& serial, const std::string& time, const std::string& status,
                        const std::string& description)
{
    std::string text = R"(START COMPONENT
  NAME = "WORKSTATION"
  START GROUP
    NAME = "ComponentID"
    ID = 1
    CLASS = "DMTF|ComponentID|1.0"
    START ATTRIBUTE
      NAME = "Manufacturer"
      ID = 1
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<1>"
    END ATTRIBUTE
    START ATTRIBUTE
      NAME = "Product"
      ID = 2
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<2>"
    END ATTRIBUTE
    START ATTRIBUTE
      NAME = "Version"
      ID = 3
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<3>"
    END ATTRIBUTE
    START ATTRIBUTE
      NAME = "Serial Number"
      ID = 4
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<4>"
    END ATTRIBUTE
    START ATTRIBUTE
      NAME = "Installation"
      ID = 5
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<6>"
    END ATTRIBUTE
  END GROUP
  START GROUP
    NAME = "InstallationStatus"
    ID = 2
    CLASS = "MICROSOFT|JOBSTATUS|1.0"
    START ATTRIBUTE
      NAME = "Status"
      ID = 1
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<7>"
    END ATTRIBUTE
    START ATTRIBUTE
      NAME = "Description"
      ID = 2
      ACCESS = READ-ONLY
      STORAGE = SPECIFIC
      TYPE = STRING(255)
      VALUE = "<8>"
    END ATTRIBUTE
  END GROUP
END COMPONENT
)";
    const std::string values[] = {manufacturer, product, version, serial, "", time, status, description};
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<' && i + 2 < text.size() && text[i + 2] == '>' && text[i + 1] >= '1' && text[i + 1] <= '8') {
            out += values[text[i + 1] - '1'];
            i += 2;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

struct MifCall {
    std::vector<std::string> texts;  // the seven texts in order
    BOOL success;
};
std::vector<MifCall> g_mifCalls;
BOOL g_mifResult = TRUE;

BOOL InstallStatusMIF(char* mif, char* manufacturer, char* product, char* version, char* locale, char* serial,
                      char* description, BOOL success)
{
    g_mifCalls.push_back({{mif, manufacturer, product, version, locale, serial, description}, success});
    return g_mifResult;
}

class StatusMif : public ActionTest {
protected:
    StatusMif()
    {
        g_mifCalls.clear();
        g_mifResult = TRUE;
        session.SetProperty("ProductCode", kProduct);
        session.SetProperty("Installed", "");
        session.SetProperty("_OlvaneStatusMifInstall", "arbolite.mif");
        session.SetProperty("_OlvaneStatusMifUninstall", "arbolite-remove.mif");
        session.SetProperty("Manufacturer", "Vellumar");
        session.SetProperty("ProductName", "Arbolite");
        session.SetProperty("ProductVersion", "2.0.2100");
        session.SetProperty("_OlvaneStatusMifSerial", "SN-1");
    }
    std::string Mif(const std::string& name) { return ReadFile(host.windowsFolder + "/" + name); }
    std::string Record() { return ReadFile(host.tempFolder + kRecordName); }
    void WithStatusLibrary()
    {
        host.libraries["ismif32.dll"]["InstallStatusMIF"] = reinterpret_cast<void*>(&InstallStatusMIF);
    }
};

TEST_F(StatusMif, TextMifFailedUntilCommitSaysSuccess)
{
    EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
    EXPECT_EQ(Mif("arbolite.mif"),
              ExpectedMif("Vellumar", "Arbolite", "2.0.2100", "SN-1", "03/07/24 9:05", "Failed", "Initialization failed."));

    host.now = {2031, 12, 24, 17, 40};
    EXPECT_EQ(Run("StatusMifCommit"), ERROR_SUCCESS);
    EXPECT_EQ(Mif("arbolite.mif"), ExpectedMif("Vellumar", "Arbolite", "2.0.2100", "SN-1", "12/24/31 17:40", "Success", ""));
    EXPECT_TRUE(Exists(host.tempFolder + kRecordName)) << "the record stays";
}

TEST_F(StatusMif, TheRecordIsFiveZeroFilledFields)
{
    EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
    std::string expected(1280, '\0');
    const char* fields[] = {"arbolite.mif", "Vellumar", "Arbolite", "2.0.2100", "SN-1"};
    for (int i = 0; i < 5; ++i) expected.replace(i * 256, std::strlen(fields[i]), fields[i]);
    EXPECT_EQ(Record(), expected);
}

TEST_F(StatusMif, TheMifNameFollowsInstallOrRemoval)
{
    struct Case {
        const char* installed;
        const char* mif;
    } cases[] = {{"", "arbolite.mif"}, {"0", "arbolite.mif"}, {"1", "arbolite-remove.mif"}, {"yes", "arbolite-remove.mif"}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(host.windowsFolder);
        std::filesystem::create_directories(host.windowsFolder);
        session.SetProperty("Installed", c.installed);
        EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
        EXPECT_EQ(FilesIn(host.windowsFolder), std::vector<std::string>{c.mif}) << c.installed;
    }
}

TEST_F(StatusMif, NoMifWithoutAName)
{
    session.SetProperty("_OlvaneStatusMifInstall", "");
    EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
    EXPECT_EQ(Run("StatusMifCommit"), ERROR_SUCCESS);
    EXPECT_TRUE(FilesIn(host.windowsFolder).empty());
    EXPECT_TRUE(Exists(host.tempFolder + kRecordName));
}

TEST_F(StatusMif, LongValuesFitAndPlaceholdersInValuesStayAsTheyAre)
{
    const std::string longest(255, 'm');
    session.SetProperty("Manufacturer", longest);
    session.SetProperty("ProductName", "100%1% sure %8%");
    session.SetProperty("ProductVersion", std::string(256, 'v'));  // does not fit: the field stays empty
    session.SetProperty("_OlvaneStatusMifSerial", longest);
    EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
    EXPECT_EQ(Mif("arbolite.mif"),
              ExpectedMif(longest, "100%1% sure %8%", "", longest, "03/07/24 9:05", "Failed", "Initialization failed."));
    EXPECT_EQ(Run("StatusMifCommit"), ERROR_SUCCESS);
    EXPECT_EQ(Mif("arbolite.mif"), ExpectedMif(longest, "100%1% sure %8%", "", longest, "03/07/24 9:05", "Success", ""));
}

TEST_F(StatusMif, TheStatusLibraryWritesItWhenItCan)
{
    WithStatusLibrary();
    EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
    EXPECT_EQ(Run("StatusMifCommit"), ERROR_SUCCESS);
    ASSERT_EQ(g_mifCalls.size(), 2u);
    EXPECT_EQ(g_mifCalls[0].texts, (std::vector<std::string>{"arbolite.mif", "Vellumar", "Arbolite", "2.0.2100", "ENU",
                                                             "SN-1", "Initialization failed."}));
    EXPECT_EQ(g_mifCalls[0].success, FALSE);
    EXPECT_EQ(g_mifCalls[1].texts, (std::vector<std::string>{"arbolite.mif", "Vellumar", "Arbolite", "2.0.2100", "ENU",
                                                             "SN-1", ""}));
    EXPECT_EQ(g_mifCalls[1].success, TRUE);
    EXPECT_TRUE(FilesIn(host.windowsFolder).empty());

    // A library that does not take it: the text file is written after all.
    g_mifResult = FALSE;
    EXPECT_EQ(Run("StatusMifCommit"), ERROR_SUCCESS);
    EXPECT_EQ(g_mifCalls.size(), 3u);
    EXPECT_EQ(Mif("arbolite.mif"), ExpectedMif("Vellumar", "Arbolite", "2.0.2100", "SN-1", "03/07/24 9:05", "Success", ""));

    // A library without the function is no status library.
    host.libraries["ismif32.dll"].clear();
    std::filesystem::remove_all(host.windowsFolder);
    std::filesystem::create_directories(host.windowsFolder);
    EXPECT_EQ(Run("StatusMifInit"), ERROR_SUCCESS);
    EXPECT_EQ(g_mifCalls.size(), 3u);
    EXPECT_EQ(FilesIn(host.windowsFolder), std::vector<std::string>{"arbolite.mif"});
}

TEST_F(StatusMif, CommitWithoutAWholeRecordWritesNothing)
{
    struct Case {
        const char* what;
        bool write;
        size_t size;
    } cases[] = {{"no record", false, 0}, {"short record", true, 1279}, {"empty record", true, 0}};
    for (const auto& c : cases) {
        if (c.write) WriteFile(host.tempFolder + kRecordName, std::string(c.size, 'r'));
        EXPECT_EQ(Run("StatusMifCommit"), ERROR_SUCCESS) << c.what;
        EXPECT_TRUE(FilesIn(host.windowsFolder).empty()) << c.what;
        EXPECT_FALSE(Exists(host.tempFolder + kRecordName)) << c.what;
    }
}

TEST_F(StatusMif, NothingWithoutItsProperties)
{
    for (const char* missing : {"Installed", "ProductCode"}) {
        msi::Session s;
        s.SetProperty("_OlvaneStatusMifInstall", "arbolite.mif");
        s.SetProperty("ProductCode", kProduct);
        s.SetProperty(missing, std::string(300, 'x'));  // too long to read
        EXPECT_EQ(FindAction("StatusMifInit")(s.Handle()), ERROR_SUCCESS);
        EXPECT_TRUE(FilesIn(host.tempFolder).empty()) << missing;
        EXPECT_TRUE(FilesIn(host.windowsFolder).empty()) << missing;
    }
}

} // namespace
} // namespace setrunetest
