// InstallDCOM, DetectMDAC and InstallMDAC: version comparisons and the setup
// programs stored in the package.

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <string>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const char kDcom[] = "DCOM95_EXE.B6C2C595_F68D_11D3_B2CB_0080ADC9AB90";
const char kDcomKey[] = "CLSID\\{BDC67890-4FC0-11D0-A805-00AA006D2EA4}\\InstalledVersion";
const char* const kMdac[] = {
    "MDAC_EXE.2D733AE4_F6A6_11D3_B2CC_0080ADC9AB90",
    "MDAC_EXE.96FDBB7D_43AB_4028_B133_1B3C8EA8F4B8",
    "MDAC_EXE.EF93DD86_437F_424B_BD56_26CB2921998C",
    "MDAC_EXE.4F7040AC_65D2_4AF4_917D_8884F3F1CCAD",
};
const char* const kInstallMdac[] = {
    "INSTALLMDAC.2D733AE4_F6A6_11D3_B2CC_0080ADC9AB90",
    "INSTALLMDAC.96FDBB7D_43AB_4028_B133_1B3C8EA8F4B8",
    "INSTALLMDAC.EF93DD86_437F_424B_BD56_26CB2921998C",
    "INSTALLMDAC.4F7040AC_65D2_4AF4_917D_8884F3F1CCAD",
};
const char kCommon[] = "C:\\Program Files\\Common Files";
const char kMsado[] = "C:\\Program Files\\Common Files\\System\\ADO\\msado15.dll";

std::string Program(size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

void Put16(std::vector<unsigned char>& b, size_t at, unsigned v)
{
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A version block as a file carries it: wide (32-bit) or narrow (16-bit) form.
std::vector<unsigned char> VersionBlock(std::array<unsigned, 4> v, bool wide = true, size_t size = 160,
                                        uint32_t signature = 0xFEEF04BD)
{
    std::vector<unsigned char> b(size, 0);
    const char key[] = "VS_VERSION_INFO";
    size_t fixed = wide ? 40 : 20;
    if (b.size() < 4) return b;
    Put16(b, 0, static_cast<unsigned>(size));
    Put16(b, 2, 52);
    for (size_t i = 0; i < sizeof key && (wide ? 6 + 2 * i : 4 + i) < b.size(); ++i) b[wide ? 6 + 2 * i : 4 + i] = key[i];
    if (fixed + 52 <= b.size()) {
        Put32(b, fixed, signature);
        Put32(b, fixed + 4, 0x00010000);
        Put32(b, fixed + 8, v[0] << 16 | v[1]);
        Put32(b, fixed + 12, v[2] << 16 | v[3]);
    }
    return b;
}

class SetupPrograms : public ActionTest {
protected:
    SetupPrograms()
    {
        session.CreateDatabase().AddTable("Binary", {{"Name", msi::ColumnType::Text}, {"Data", msi::ColumnType::Stream}});
    }
    void AddBinary(const std::string& name, const std::string& bytes)
    {
        session.CreateDatabase().Insert("Binary", {name, msi::Value::Stream({bytes.begin(), bytes.end()})});
    }
    // The program file named by a command line.
    std::string ProgramPath(const std::string& commandLine) const
    {
        return commandLine.substr(1, commandLine.find('"', 1) - 1);
    }
};

class InstallDcom : public SetupPrograms {};

TEST_F(InstallDcom, RunsOnWindows95BelowTheRequiredVersion)
{
    struct Case {
        const char* version9x;
        const char* installed;  // null: no value
        bool runs;
    } cases[] = {
        {"400", "4,71,0,3328", false},
        {"400", "4,71,0,3327", true},
        {"400", "4.71.0.3328", false},
        {"400", "4,71,0,3329", false},
        {"400", "4,70,9999,9999", true},
        {"400", "4,72", false},
        {"400", "4,71", true},  // the missing parts read as 0
        {"400", nullptr, true},
        {"409", "1,0,0,0", true},
        {"410", "1,0,0,0", false},  // Windows 98
        {"399", "1,0,0,0", false},
        {"", nullptr, false},
    };
    AddBinary(kDcom, Program(100, 'd'));
    session.SetProperty("OlvaneMDACSuppressReboot", "1");
    for (const auto& c : cases) {
        Registry().Clear();
        if (c.installed) Registry().SetString(HKEY_CLASSES_ROOT, kDcomKey, "", c.installed);
        session.SetProperty("Version9X", c.version9x);
        host.runs.clear();
        EXPECT_EQ(Run("InstallDCOM"), ERROR_SUCCESS);
        EXPECT_EQ(host.runs.size(), c.runs ? 1u : 0u) << c.version9x << " " << (c.installed ? c.installed : "-");
    }
}

TEST_F(InstallDcom, TheProgramRunsFromAFreshTemporaryFileThatIsRemoved)
{
    // Stream sizes around the 1024-byte reads.
    for (size_t size : {0, 1, 1023, 1024, 1025, 2048, 5000}) {
        msi::Session s;
        s.CreateDatabase().AddTable("Binary", {{"Name", msi::ColumnType::Text}, {"Data", msi::ColumnType::Stream}});
        const std::string program = Program(size, 'x');
        s.CreateDatabase().Insert("Binary", {kDcom, msi::Value::Stream({program.begin(), program.end()})});
        s.SetProperty("Version9X", "400");
        host.runs.clear();
        EXPECT_EQ(FindAction("InstallDCOM")(s.Handle()), ERROR_INSTALL_SUSPEND);
        ASSERT_EQ(host.runs.size(), 1u);
        const auto& run = host.runs[0];
        EXPECT_EQ(run.program, program) << size;
        const std::string path = ProgramPath(run.commandLine);
        EXPECT_EQ(run.commandLine, "\"" + path + "\" /r:n /q:a");
        EXPECT_EQ(path.rfind(host.tempFolder + "OVM", 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - 4), ".EXE");
        EXPECT_EQ(s.ActionsDone(), std::vector<std::string>{"ForceReboot"});
        EXPECT_TRUE(s.Mode(MSIRUNMODE_REBOOTNOW));
        EXPECT_TRUE(FilesIn(host.tempFolder).empty()) << size;
    }
}

TEST_F(InstallDcom, NoPredictableNameAndNoLeftoverWhenTheProgramCannotStart)
{
    AddBinary(kDcom, Program(10, 'a'));
    session.SetProperty("Version9X", "400");
    // A name someone could have prepared is never used.
    WriteFile(host.tempFolder + "~OVMTMP6.EXE", "planted");
    host.programsStart = false;
    EXPECT_EQ(Run("InstallDCOM"), ERROR_SUCCESS);
    EXPECT_EQ(FilesIn(host.tempFolder), std::vector<std::string>{"~OVMTMP6.EXE"});
    EXPECT_EQ(ReadFile(host.tempFolder + "~OVMTMP6.EXE"), "planted");
    EXPECT_TRUE(session.ActionsDone().empty());

    // No temporary file can be made: nothing runs.
    host.programsStart = true;
    std::filesystem::remove_all(host.tempFolder);
    EXPECT_EQ(Run("InstallDCOM"), ERROR_SUCCESS);
    EXPECT_TRUE(host.runs.empty());
}

TEST_F(InstallDcom, TheRebootAfterTheProgram)
{
    struct Case {
        const char* suppress;
        const char* olvaneReboot;
        UINT result;
    } cases[] = {
        {"", "", ERROR_INSTALL_SUSPEND},
        {"0", "", ERROR_INSTALL_SUSPEND},
        {"abc", "", ERROR_INSTALL_SUSPEND},
        {"1", "", ERROR_SUCCESS},
        {"-3", "", ERROR_SUCCESS},
        // The package keeps the reboot for later: the installation goes on.
        {"", "1", ERROR_SUCCESS},
    };
    AddBinary(kDcom, Program(10, 'a'));
    session.SetProperty("Version9X", "400");
    for (const auto& c : cases) {
        session.SetProperty("OlvaneMDACSuppressReboot", c.suppress);
        session.SetProperty("OLVANEREBOOT", c.olvaneReboot);
        EXPECT_EQ(Run("InstallDCOM"), c.result) << c.suppress << "/" << c.olvaneReboot;
    }
}

TEST_F(InstallDcom, NothingWithoutTheStoredProgram)
{
    session.SetProperty("Version9X", "400");
    EXPECT_EQ(Run("InstallDCOM"), ERROR_SUCCESS);
    EXPECT_TRUE(host.runs.empty());
    EXPECT_TRUE(FilesIn(host.tempFolder).empty());
}

class DetectMdac : public SetupPrograms {
protected:
    DetectMdac()
    {
        Registry().SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                             kCommon);
    }
    // "1" when all four properties ask for MDAC, "" when none does.
    std::string Properties()
    {
        std::string first = session.Property(kInstallMdac[0]);
        for (const char* name : kInstallMdac)
            if (session.Property(name) != first) return "mixed";
        return first;
    }
};

TEST_F(DetectMdac, ComparesMsado15WithTheVersionThePackageNeeds)
{
    struct Case {
        std::array<unsigned, 4> installed;
        std::vector<int> records;  // indexes into kMdac
        std::string properties;
    } cases[] = {
        {{2, 50, 4403, 9}, {}, ""},
        {{2, 50, 4403, 8}, {}, "1"},
        {{2, 51, 0, 0}, {}, ""},
        {{3, 0, 0, 0}, {0}, ""},
        {{2, 61, 7326, 0}, {2}, ""},
        {{2, 60, 9999, 9}, {2}, "1"},
        {{2, 61, 7326, 0}, {3}, "1"},
        {{2, 70, 7713, 0}, {3}, ""},
        {{2, 61, 7326, 0}, {2, 3}, ""},  // the 2.61 record is looked for first
    };
    for (const auto& c : cases) {
        msi::Session s;
        auto& db = s.CreateDatabase();
        db.AddTable("Binary", {{"Name", msi::ColumnType::Text}, {"Data", msi::ColumnType::Stream}});
        for (int r : c.records) db.Insert("Binary", {kMdac[r], msi::Value::Stream({1})});
        host.versionBlocks[kMsado] = VersionBlock(c.installed);
        EXPECT_EQ(FindAction("DetectMDAC")(s.Handle()), ERROR_SUCCESS);
        for (const char* name : kInstallMdac)
            EXPECT_EQ(s.Property(name), c.properties)
                << name << " " << c.installed[0] << "." << c.installed[1] << "." << c.installed[2] << "."
                << c.installed[3];
    }
}

TEST_F(DetectMdac, AVersionBlockItCannotReadLeavesMdacToInstall)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> block;
        bool present;
        std::string properties;
    } cases[] = {
        {"wide", VersionBlock({9, 0, 0, 0}, true), true, ""},
        {"narrow", VersionBlock({9, 0, 0, 0}, false), true, ""},
        {"no block", {}, false, "1"},
        {"19 bytes", VersionBlock({9, 0, 0, 0}, false, 19), true, "1"},
        {"4097 bytes", VersionBlock({9, 0, 0, 0}, true, 4097), true, "1"},
        {"4096 bytes", VersionBlock({9, 0, 0, 0}, true, 4096), true, ""},
        {"cut before the fixed part", VersionBlock({9, 0, 0, 0}, true, 60), true, "1"},
        {"wrong signature", VersionBlock({9, 0, 0, 0}, true, 160, 0x12345678), true, "1"},
        {"other key", std::vector<unsigned char>(160, 'x'), true, "1"},
    };
    for (const auto& c : cases) {
        host.versionBlocks.clear();
        if (c.present) host.versionBlocks[kMsado] = c.block;
        EXPECT_EQ(Run("DetectMDAC"), ERROR_SUCCESS);
        EXPECT_EQ(Properties(), c.properties) << c.what;
    }
}

TEST_F(DetectMdac, WithoutCommonFilesDirThePropertiesAreRemoved)
{
    Registry().Clear();
    for (const char* name : kInstallMdac) session.SetProperty(name, "1");
    EXPECT_EQ(Run("DetectMDAC"), ERROR_SUCCESS);
    for (const char* name : kInstallMdac) EXPECT_FALSE(session.HasProperty(name)) << name;
}

TEST_F(DetectMdac, TheFolderGetsItsBackslash)
{
    Registry().SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                         std::string(kCommon) + "\\");
    host.versionBlocks[kMsado] = VersionBlock({9, 0, 0, 0});
    EXPECT_EQ(Run("DetectMDAC"), ERROR_SUCCESS);
    EXPECT_EQ(Properties(), "");
}

class InstallMdac : public SetupPrograms {};

TEST_F(InstallMdac, RunsTheStoredProgramsInOrderUntilOneAsksForTheReboot)
{
    AddBinary(kMdac[3], Program(20, '3'));
    AddBinary(kMdac[0], Program(20, '0'));
    AddBinary(kMdac[2], Program(20, '2'));
    session.SetProperty(kInstallMdac[0], "1");

    EXPECT_EQ(Run("InstallMDAC"), ERROR_INSTALL_SUSPEND);
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].program, Program(20, '0'));

    host.runs.clear();
    session.SetProperty("OlvaneMDACSuppressReboot", "1");
    EXPECT_EQ(Run("InstallMDAC"), ERROR_SUCCESS);
    ASSERT_EQ(host.runs.size(), 3u);
    EXPECT_EQ(host.runs[0].program, Program(20, '0'));
    EXPECT_EQ(host.runs[1].program, Program(20, '2'));
    EXPECT_EQ(host.runs[2].program, Program(20, '3'));
    for (const auto& run : host.runs)
        EXPECT_EQ(run.commandLine, "\"" + ProgramPath(run.commandLine) + "\" /r:n /q:a /c:\"setup.exe /qnt\"");
    EXPECT_TRUE(FilesIn(host.tempFolder).empty());
}

TEST_F(InstallMdac, OnlyWhenDetectionAskedForIt)
{
    AddBinary(kMdac[0], Program(20, '0'));
    for (const char* flag : {"", "0", "yes", "01"}) {
        session.SetProperty(kInstallMdac[0], flag);
        EXPECT_EQ(Run("InstallMDAC"), ERROR_SUCCESS);
    }
    EXPECT_TRUE(host.runs.empty());
    session.SetProperty(kInstallMdac[0], "1x");
    EXPECT_EQ(Run("InstallMDAC"), ERROR_INSTALL_SUSPEND);
}

} // namespace
} // namespace setrunetest
