// RemoveSingleFileMSI: the cached package files of a removed product, with
// locked files left for the next start of the system.

#include <filesystem>
#include <string>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const char kProduct[] = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
const char kMine1[] = "OLV123456789ABCDEF0123456789ABCDEF0.MSI";
const char kMine2[] = "olv123456789abcdef0123456789abcdef0x1.msp";
const char kOther[] = "OLVAAAAAAAABBBBCCCCDDDDEEEEEEEEEEEE.MSI";
const char kReadme[] = "readme.txt";

class SingleFileRemoval : public ActionTest {
protected:
    SingleFileRemoval()
    {
        common = dir.Path() + "/Common";
        wizard = common + "\\Olvane Installation Wizard";
        std::filesystem::create_directories(msi::LocalHost::NativePath(wizard));
        Registry().SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                             common + "\\");
        session.SetProperty("ProductCode", kProduct);
    }

    void Put(const char* name) { WriteFile(wizard + "\\" + name, "package"); }
    std::string Wininit() { return ReadFile(host.windowsFolder + "/WININIT.INI"); }

    std::string common, wizard;
};

TEST_F(SingleFileRemoval, DeletesTheProductsFilesOnly)
{
    Put(kMine1);
    Put(kMine2);
    Put(kOther);
    Put(kReadme);
    EXPECT_EQ(Run("RemoveSingleFileMSI"), ERROR_SUCCESS);
    EXPECT_EQ(FilesIn(wizard), (std::vector<std::string>{kOther, kReadme}));
}

TEST_F(SingleFileRemoval, RemovesTheFolderOnceEmpty)
{
    Put(kMine1);
    EXPECT_EQ(Run("RemoveSingleFileMSI"), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(wizard));
}

TEST_F(SingleFileRemoval, NothingWhileTheProductIsInstalled)
{
    for (std::string name : {std::string("Arbolite"), std::string(300, 'n')}) {
        Products().Clear();
        Products().Add(kProduct, "", {{"InstalledProductName", name}});
        Put(kMine1);
        EXPECT_EQ(Run("RemoveSingleFileMSI"), ERROR_SUCCESS);
        // Also a name longer than the buffer names an installed product.
        EXPECT_TRUE(Exists(wizard + "\\" + kMine1)) << name.size();
    }
}

TEST_F(SingleFileRemoval, NothingWithoutCommonFilesDir)
{
    Registry().Clear();
    Put(kMine1);
    EXPECT_EQ(Run("RemoveSingleFileMSI"), ERROR_SUCCESS);
    EXPECT_TRUE(Exists(wizard + "\\" + kMine1));
}

TEST_F(SingleFileRemoval, LockedFilesWaitForTheNextStart)
{
    struct Case {
        unsigned platform;
        std::vector<std::string> locked;
        std::vector<std::string> atReboot;  // names
        std::string wininit;                // with <W> for the folder
        bool folderRemains;
    } cases[] = {
        {VER_PLATFORM_WIN32_NT, {kMine1}, {kMine1}, "", true},
        {VER_PLATFORM_WIN32_NT, {kMine1, kMine2}, {kMine1, kMine2}, "", true},
        {VER_PLATFORM_WIN32_WINDOWS, {kMine1}, {}, "[rename]\r\nNUL=SHORT:<W>\\" + std::string(kMine1) + "\r\n", true},
        {VER_PLATFORM_WIN32_WINDOWS,
         {kMine1, kMine2},
         {},
         "[rename]\r\nNUL=SHORT:<W>\\" + std::string(kMine1) + "\r\nNUL=SHORT:<W>\\" + kMine2 + "\r\n",
         true},
    };
    for (const auto& c : cases) {
        TempDir other;
        TestHost h(other.Path());
        msi::Machine::Get().SetHost(&h);
        h.platformId = c.platform;
        h.locked = {c.locked.begin(), c.locked.end()};
        Put(kMine1);
        Put(kMine2);
        EXPECT_EQ(Run("RemoveSingleFileMSI"), ERROR_SUCCESS);
        std::vector<std::string> expectedReboot;
        for (const auto& name : c.atReboot) expectedReboot.push_back(wizard + "\\" + name);
        auto atReboot = h.DeletesAtReboot();
        std::sort(atReboot.begin(), atReboot.end());
        std::sort(expectedReboot.begin(), expectedReboot.end());
        EXPECT_EQ(atReboot, expectedReboot);
        std::string wininit = c.wininit;
        for (size_t at; (at = wininit.find("<W>")) != std::string::npos;) wininit.replace(at, 3, wizard);
        std::string written = ReadFile(h.windowsFolder + "/WININIT.INI");
        if (c.locked.size() == 2 && !wininit.empty() && written.find(kMine2) < written.find(kMine1)) {
            // Folder order decides which line comes first.
            wininit = "[rename]\r\nNUL=SHORT:" + wizard + "\\" + kMine2 + "\r\nNUL=SHORT:" + wizard + "\\" + kMine1 +
                      "\r\n";
        }
        EXPECT_EQ(written, wininit);
        EXPECT_EQ(Exists(wizard), c.folderRemains);
        for (const auto& name : c.locked) EXPECT_TRUE(Exists(wizard + "\\" + name));
        msi::Machine::Get().SetHost(&host);
        std::filesystem::remove_all(msi::LocalHost::NativePath(wizard));
        std::filesystem::create_directories(msi::LocalHost::NativePath(wizard));
    }
}

TEST_F(SingleFileRemoval, WininitIsAppendedToWhenItExists)
{
    host.platformId = VER_PLATFORM_WIN32_WINDOWS;
    host.locked = {kMine1};
    WriteFile(host.windowsFolder + "/WININIT.INI", "[rename]\r\nNUL=C:\\old.tmp\r\n");
    Put(kMine1);
    EXPECT_EQ(Run("RemoveSingleFileMSI"), ERROR_SUCCESS);
    EXPECT_EQ(Wininit(), "[rename]\r\nNUL=C:\\old.tmp\r\nNUL=SHORT:" + wizard + "\\" + kMine1 + "\r\n");
}

} // namespace
} // namespace setrunetest
