// Where the export dialogs propose their files, and the report's default
// name and extension switch.

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/Utf8.h"
#include "dialogcore/ExportPaths.h"
#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"

namespace {

std::tm Date(int year, int month, int day)
{
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    return date;
}

TEST(ExportPaths, ReportDefaultName)
{
    struct Case {
        std::wstring baseDN;
        std::tm date;
        std::wstring name;
    };
    const Case cases[] = {
        {L"cn=x,o=y", Date(2026, 12, 9), L"December-09-2026(cn=x)"},
        {L"", Date(2026, 1, 31), L"January-31-2026(RootDSE)"},
        {L"RootDSE", Date(2027, 5, 1), L"May-01-2027(RootDSE)"},
        {L"cn=a.b/c:d,o=y", Date(2026, 7, 4), L"July-04-2026(cn=a_b_c_d)"},
        {L"o=lab", Date(2026, 2, 28), L"February-28-2026(o=lab)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReportDefaultName(c.baseDN, c.date), c.name) << WideToUtf8Text(c.baseDN);
}

TEST(ExportPaths, ReplaceExtension)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* extension;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"/home/u/report.csv", L".html", L"/home/u/report.html"},
        {L"/home/u.v/report", L".csv", L"/home/u.v/report.csv"},
        {L"/home/u.v/a.b.txt", L".xlsx", L"/home/u.v/a.b.xlsx"},
        {L"report", L".txt", L"report.txt"},
        {L"/x/.hidden", L".csv", L"/x/.csv"},
        {L"", L".csv", L".csv"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceExtension(c.path, c.extension), c.result) << c.path;
}

class ExportFolders : public testsupport::TempHomeTest {};

TEST_F(ExportFolders, TheStoredFolderElseTheDocumentsFolder)
{
    const std::string documents = testsupport::Run("mktemp -d");
    const std::string folder = documents.substr(0, documents.find('\n'));
    setenv("XDG_DOCUMENTS_DIR", folder.c_str(), 1);
    EXPECT_EQ(LoadExportFolder(g_strLdifExportPathValue), Utf8ToWideString(folder) + L"/");
    StoreExportFolder(g_strLdifExportPathValue, L"/some/where/file.ldif");
    EXPECT_EQ(LoadExportFolder(g_strLdifExportPathValue), L"/some/where/");
    EXPECT_EQ(LoadExportFolder(g_strReportWizardPathValue), Utf8ToWideString(folder) + L"/");
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    std::wstring stored;
    ASSERT_TRUE(key.Open(g_strSettingsKey));
    ASSERT_TRUE(key.Read(L"LDIFExportFilePath", stored));
    EXPECT_EQ(stored, L"/some/where/");
    unsetenv("XDG_DOCUMENTS_DIR");
    testsupport::Run("rmdir '" + folder + "'");
}

TEST_F(ExportFolders, WithoutADocumentsFolderTheHomeFolder)
{
    const std::string made = testsupport::Run("mktemp -d");
    const std::string home = made.substr(0, made.find('\n'));
    const char* oldHome = std::getenv("HOME");
    const std::string previous = oldHome ? oldHome : "";
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string previousConfig = oldConfig ? oldConfig : "";
    unsetenv("XDG_DOCUMENTS_DIR");
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(LoadExportFolder(g_strReportWizardPathValue), Utf8ToWideString(home) + L"/");
    setenv("HOME", previous.c_str(), 1);
    if (oldConfig) setenv("XDG_CONFIG_HOME", previousConfig.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
    testsupport::Run("rmdir '" + home + "'");
}

} // namespace
