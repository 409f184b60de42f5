// The plug-in manager with the sample plug-ins: loading and its log lines,
// the tables, their resolution against the stored tables, the conflict
// report, lookups and calls. The stored tables are read back with Python's
// sqlite3 module, not with the program's store.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "base/Utf8.h"
#include "model/plugins/CPluginManager.h"
#include "model/plugins/PluginRegistry.h"
#include "platform/RegistryKey.h"
#include "tests/model/plugins/SamplePlugins.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScriptedPluginSheet.h"
#include "tests/support/TempHome.h"

using namespace plugintest;

namespace {

// "name=data" lines of one key of the user's settings file, read by Python.
std::map<std::string, std::string> ReadStoredValues(const std::string& file, const std::string& path)
{
    std::string script =
        "import sqlite3,sys\n"
        "db=sqlite3.connect('file:'+sys.argv[1]+'?mode=ro',uri=True)\n"
        "key=1\n"
        "for part in sys.argv[2].split('\\\\'):\n"
        "    row=db.execute('select id from keys where parent=? and upper(name)=upper(?)',(key,part)).fetchone()\n"
        "    if row is None: sys.exit(0)\n"
        "    key=row[0]\n"
        "for name,data in db.execute('select name,data from vals where key=?',(key,)):\n"
        "    print(name+'='+(data.decode() if isinstance(data,bytes) else str(data)))\n";
    std::string command = "python3 -c \"$ARB_PY\" '" + file + "' '" + path + "'";
    setenv("ARB_PY", script.c_str(), 1);
    std::map<std::string, std::string> values;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return values;
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) text.pop_back();
        size_t eq = text.find('=');
        if (eq != std::string::npos) values[text.substr(0, eq)] = text.substr(eq + 1);
    }
    pclose(pipe);
    return values;
}

void StoreChoice(const wchar_t* kind, const std::wstring& key, const std::wstring& value)
{
    platform::RegistryKey settings(platform::RegRoot::CurrentUser, false);
    ASSERT_TRUE(settings.CreateKey(std::wstring(kPluginLookupTablesKey) + kind));
    ASSERT_TRUE(settings.Write(key, value));
}

class PluginManagerTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        m_previousSheet = SetPluginSheetPort(m_sheet);
    }
    void TearDown() override
    {
        SetPluginSheetPort(m_previousSheet);
        TempHomeTest::TearDown();
    }
    void Register(std::initializer_list<const wchar_t*> progIds)
    {
        for (const wchar_t* progId : progIds) ASSERT_TRUE(RegisterSample(progId));
    }
    std::map<std::string, std::string> StoredNames() const
    {
        return ReadStoredValues(UserFile(), "Software\\Vellumar\\Arbolite\\PluginLookupTables\\Names");
    }

    platform::HeadlessShell m_shell;
    testsupport::LogCapture m_log;
    std::shared_ptr<testsupport::ScriptedPluginSheet> m_sheet = std::make_shared<testsupport::ScriptedPluginSheet>();
    std::shared_ptr<PluginSheetPort> m_previousSheet;
};

std::vector<std::wstring> LoadedNames(const CPluginManager& manager)
{
    std::vector<std::wstring> names;
    for (const auto& plugin : manager.GetPlugins()) names.push_back(plugin->GetDisplayName());
    return names;
}

TEST_F(PluginManagerTest, NothingRegisteredLoadsNothingAndLogsNothing)
{
    CPluginManager manager;
    EXPECT_TRUE(manager.GetPlugins().empty());
    EXPECT_TRUE(m_log.Lines().empty());
    EXPECT_TRUE(m_sheet->opened.empty());
}

TEST_F(PluginManagerTest, LoadsByProgIdAndLogsEachFailure)
{
    Register({L"Arb.Time", L"Arb.Ext", L"Arb.NoInfo", L"Arb.Empty", L"Arb.Failing", L"Arb.NoEntry", L"Arb.Refusing",
              L"Arb.Nothing", L"Arb.Throwing"});
    std::string missing = "/nonexistent/arb-plugin.so";
    ASSERT_TRUE(RegisterPlugin({L"Arb.Missing", L"Missing", Utf8ToWideString(missing)}));
    ASSERT_TRUE(RegisterPlugin({L"Arb.Relative", L"Relative", L"sample_plugin_Failing.so"}));
    ASSERT_TRUE(RegisterPlugin({L"Arb.NoPath", L"No path", L""}));
    {
        // Without a "FriendlyName" a registration does not count.
        platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(std::wstring(kPluginsKey) + L"Arb.Nameless"));
        ASSERT_TRUE(key.Write(L"Path", SamplePath("PhotoSizeA")));
    }
    // The system's texts, asked independently.
    ASSERT_EQ(dlopen(missing.c_str(), RTLD_NOW | RTLD_LOCAL), nullptr);
    std::string missingText = dlerror();
    std::string noEntryPath = WideToUtf8Text(SamplePath("NoEntry"));
    void* noEntry = dlopen(noEntryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(noEntry, nullptr);
    ASSERT_EQ(dlsym(noEntry, "ArbolitePluginCreate"), nullptr);
    std::string noEntryText = dlerror();
    dlclose(noEntry);

    CPluginManager manager;
    EXPECT_EQ(LoadedNames(manager),
              (std::vector<std::wstring>{L"Quiet", L"Extension", L"Failing", L"Readable time"}));
    std::vector<std::wstring> lines = m_log.Lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], L"Loading plugins...");
    EXPECT_EQ(lines[1], L"        ERROR: Can't load 'Missing' plugin. REASON: " + Utf8ToWideString(missingText) + L".");
    EXPECT_EQ(lines[2], L"        ERROR: Can't load 'No entry' plugin. REASON: " + Utf8ToWideString(noEntryText) + L".");
    EXPECT_EQ(lines[3], L"        ERROR: Can't load the 'No info' plugin. REASON: IPluginInfo interface is not supported.");
    EXPECT_EQ(lines[4], L"        ERROR: Can't load 'No path' plugin. REASON: no library path is registered.");
    EXPECT_EQ(lines[5], L"        ERROR: Can't load 'Nothing' plugin. REASON: ArbolitePluginCreate gave no object.");
    EXPECT_EQ(lines[6], L"        ERROR: Can't load 'Refusing' plugin. REASON: ArbolitePluginCreate failed with "
                        L"0x80070002.");
    EXPECT_EQ(lines[7], L"        ERROR: Can't load 'Relative' plugin. REASON: sample_plugin_Failing.so: the library "
                        L"path is not absolute.");
    EXPECT_EQ(lines[8], L"        ERROR: Can't load 'Throwing' plugin. REASON: ArbolitePluginCreate failed with "
                        L"0x80004005.");
    EXPECT_TRUE(m_sheet->opened.empty());
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
}

TEST_F(PluginManagerTest, ReadsWhatEachPluginDeclares)
{
    Register({L"Arb.PhotoA", L"Arb.Ext", L"Arb.Empty", L"Arb.Failing"});
    CPluginManager manager;
    ASSERT_EQ(manager.GetPlugins().size(), 4u);
    const CPluginProxy& empty = *manager.GetPlugins()[0];
    const CPluginProxy& ext = *manager.GetPlugins()[1];
    const CPluginProxy& failing = *manager.GetPlugins()[2];
    const CPluginProxy& photo = *manager.GetPlugins()[3];

    EXPECT_EQ(photo.GetDescription(), L"Photo sizes, first kind");
    EXPECT_EQ(photo.GetText2(), L"Counts the bytes of a photo");
    EXPECT_EQ(photo.GetMail(), L"photo-a@example.org");
    EXPECT_EQ(GuidToString(photo.GetClsid()), kPhotoAClsid);
    EXPECT_TRUE(photo.HasConverter());
    EXPECT_FALSE(photo.HasExtension());

    EXPECT_FALSE(ext.HasConverter());
    EXPECT_TRUE(ext.HasExtension());
    EXPECT_EQ(std::vector<std::string>(ext.GetNames().begin(), ext.GetNames().end()),
              (std::vector<std::string>{"labeledURI", "description"}));
    EXPECT_EQ(std::vector<std::string>(ext.GetOids().begin(), ext.GetOids().end()),
              (std::vector<std::string>{"1.3.6.1.4.1.1466.115.121.1.15"}));

    // Null texts read as empty; empty lists still load.
    EXPECT_EQ(empty.GetDescription(), L"");
    EXPECT_EQ(empty.GetMail(), L"");
    EXPECT_FALSE(empty.HasInformation());
    EXPECT_EQ(failing.GetText2(), L"");
    EXPECT_TRUE(failing.HasInformation());
}

TEST_F(PluginManagerTest, CallsConvertOrLeaveTheResult)
{
    Register({L"Arb.PhotoA", L"Arb.Time", L"Arb.Failing", L"Arb.Ext"});
    CPluginManager manager;
    struct Case {
        const char* attribute;
        const char* syntax;
        const char* value;
        bool found;
        bool succeeds;
        const char* result;
    } cases[] = {
        {"jpegPhoto", "", "\xff\xd8\xff\xe0xyz", true, true, "Photo A: 7 bytes"},
        {"JPEGPHOTO", "", "", true, true, "Photo A: 0 bytes"},
        {"modifyTimestamp", "1.3.6.1.4.1.1466.115.121.1.24", "20240102030405Z", true, true, "2024-01-02 03:04:05 UTC"},
        {"modifyTimestamp", "1.3.6.1.4.1.1466.115.121.1.24", "garbage", true, false, "untouched"},
        {"title", "", "Boss", true, false, "untouched"},
        {"roomNumber", "", "12", true, true, "untouched"},  // no bytes back
        {"cn", "", "Jane", true, true, "untouched"},        // a null result
        {"CN", "", "Jane", true, false, "untouched"},       // "CN" finds "cn"; the sample fails on it
        {"jpegPhoto;binary", "", "x", false, false, "untouched"},  // options are part of the name
        {"sn", "1.3.6.1.4.1.1466.115.121.1.15", "x", true, false, "untouched"},  // no converter
        {"sn", "", "x", false, false, "untouched"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.attribute) + " " + c.value);
        std::shared_ptr<CPluginProxy> proxy = manager.Lookup(c.attribute, c.syntax);
        EXPECT_EQ(proxy != nullptr, c.found);
        EXPECT_EQ(manager.HasPlugin(c.attribute, c.syntax), c.found);
        if (!proxy) continue;
        std::string result = "untouched";
        EXPECT_EQ(proxy->Call(c.attribute, c.value, result), c.succeeds);
        EXPECT_EQ(result, c.result);
    }
}

TEST_F(PluginManagerTest, TwoPluginsForOneNameOpenTheNamesPageAfterTheMessage)
{
    Register({L"Arb.PhotoA", L"Arb.PhotoB", L"Arb.Time"});
    CPluginManager manager;
    EXPECT_TRUE(manager.HasNewConflict(PluginKind::Names));
    EXPECT_FALSE(manager.HasNewConflict(PluginKind::Oids));
    ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(m_shell.MessageBox().asked[0].text,
              L"There are some new plugins that are conflict between each other. Please tune it manually.");
    ASSERT_EQ(m_sheet->opened.size(), 1u);
    EXPECT_EQ(m_sheet->opened[0].caption, L"Plugin Manager");
    ASSERT_EQ(m_sheet->opened[0].pages.size(), 1u);
    const PluginLookupPageSetup& page = m_sheet->opened[0].pages[0];
    EXPECT_EQ(page.caption, L"Name Mapping");
    EXPECT_EQ(page.heading, L"Attributes Supported:");
    EXPECT_TRUE(page.showUnresolvedOnly);
    EXPECT_EQ(page.supported->count("jpegPhoto"), 2u);
    // Cancelled: the key stays unchosen, stored as none; the single-handler key is chosen.
    EXPECT_EQ(manager.Chosen(PluginKind::Names).count("jpegPhoto"), 0u);
    EXPECT_EQ(manager.Lookup("jpegPhoto", ""), nullptr);
    EXPECT_EQ(manager.Lookup("audio", "")->GetDisplayName(), L"Photo\nB");
    EXPECT_EQ(StoredNames(), (std::map<std::string, std::string>{{"audio", WideToUtf8Text(kPhotoBClsid)},
                                                                 {"jpegPhoto", "N/A"}}));
    EXPECT_EQ(ReadStoredValues(UserFile(), "Software\\Vellumar\\Arbolite\\PluginLookupTables\\OIDs"),
              (std::map<std::string, std::string>{{"1.3.6.1.4.1.1466.115.121.1.24", WideToUtf8Text(kTimeClsid)}}));
}

TEST_F(PluginManagerTest, TheChoiceMadeInTheSheetIsKeptForTheNextStart)
{
    Register({L"Arb.PhotoA", L"Arb.PhotoB"});
    m_sheet->answer = 1;
    m_sheet->edit = [](const std::vector<PluginLookupPageSetup>& pages) {
        auto range = pages[0].supported->equal_range("jpegPhoto");
        for (auto it = range.first; it != range.second; ++it)
            if (it->second->GetDisplayName() == L"Photo A") (*pages[0].chosen)["jpegPhoto"] = it->second;
    };
    {
        CPluginManager manager;
        EXPECT_EQ(manager.Lookup("jpegPhoto", "")->GetDisplayName(), L"Photo A");
    }
    EXPECT_EQ(StoredNames()["jpegPhoto"], WideToUtf8Text(kPhotoAClsid));
    m_sheet->opened.clear();
    m_shell.MessageBox().asked.clear();
    CPluginManager again;
    EXPECT_FALSE(again.HasNewConflict(PluginKind::Names));
    EXPECT_TRUE(m_sheet->opened.empty());
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
    EXPECT_EQ(again.Lookup("JpegPhoto", "")->GetDisplayName(), L"Photo A");
}

TEST_F(PluginManagerTest, CancelTakesTheStoredTableBack)
{
    Register({L"Arb.PhotoA", L"Arb.PhotoB"});
    StoreChoice(L"Names", L"audio", L"N/A");
    m_sheet->answer = 2;
    m_sheet->edit = [](const std::vector<PluginLookupPageSetup>& pages) {
        (*pages[0].chosen)["jpegPhoto"] = pages[0].supported->find("jpegPhoto")->second;
        (*pages[0].chosen)["audio"] = pages[0].supported->find("audio")->second;
    };
    CPluginManager manager;
    EXPECT_TRUE(manager.Chosen(PluginKind::Names).empty());
    EXPECT_EQ(manager.Lookup("audio", ""), nullptr);
    EXPECT_EQ(StoredNames(), (std::map<std::string, std::string>{{"audio", "N/A"}, {"jpegPhoto", "N/A"}}));
}

TEST_F(PluginManagerTest, StoredEntriesResolveOrMakeTheKeyNew)
{
    struct Case {
        const char* what;
        std::wstring stored;  // for "jpegPhoto"; empty: none stored
        bool conflict;
        const wchar_t* chosen;  // null: none
    } cases[] = {
        {"nothing stored", L"", true, nullptr},
        {"a loaded plug-in that handles it", kPhotoBClsid, false, L"Photo\nB"},
        {"stored in lower case", L"{22222222-bbbb-4000-8000-000000000002}", false, L"Photo\nB"},
        {"none", L"N/A", false, nullptr},
        {"a plug-in that is not loaded", L"{99999999-AAAA-4000-8000-000000000009}", true, nullptr},
        {"a loaded plug-in that does not handle it", kTimeClsid, true, nullptr},
        {"malformed", L"{22222222-BBBB-4000-8000", true, nullptr},
        {"empty text", L"", true, nullptr},
    };
    Register({L"Arb.PhotoA", L"Arb.PhotoB", L"Arb.Time"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
        key.DeleteKey(kPluginLookupTablesKey);
        if (!c.stored.empty()) StoreChoice(L"Names", L"jpegPhoto", c.stored);
        m_sheet->opened.clear();
        CPluginManager manager;
        EXPECT_EQ(manager.HasNewConflict(PluginKind::Names), c.conflict);
        EXPECT_EQ(m_sheet->opened.size(), c.conflict ? 1u : 0u);
        std::shared_ptr<CPluginProxy> proxy = manager.Lookup("jpegPhoto", "");
        EXPECT_EQ(proxy ? proxy->GetDisplayName() : L"", c.chosen ? c.chosen : L"");
    }
}

TEST_F(PluginManagerTest, NoneStoredForAKeyOfOnePluginKeepsTheStandardHandling)
{
    Register({L"Arb.Time", L"Arb.Failing"});
    StoreChoice(L"OIDs", L"1.3.6.1.4.1.1466.115.121.1.24", L"N/A");
    StoreChoice(L"Names", L"Cn", L"N/A");
    CPluginManager manager;
    EXPECT_FALSE(manager.HasNewConflict(PluginKind::Oids));
    EXPECT_EQ(manager.Lookup("modifyTimestamp", "1.3.6.1.4.1.1466.115.121.1.24"), nullptr);
    EXPECT_EQ(manager.Lookup("cn", ""), nullptr);
    EXPECT_NE(manager.Lookup("title", ""), nullptr);
    EXPECT_TRUE(m_sheet->opened.empty());
}

TEST_F(PluginManagerTest, TheFullReportShowsBothPagesWithoutTheMessage)
{
    Register({L"Arb.PhotoA", L"Arb.Time"});
    CPluginManager manager;
    ASSERT_TRUE(m_sheet->opened.empty());
    manager.ReportConflicts(ConflictReport::All);
    ASSERT_EQ(m_sheet->opened.size(), 1u);
    ASSERT_EQ(m_sheet->opened[0].pages.size(), 2u);
    EXPECT_EQ(m_sheet->opened[0].pages[0].caption, L"Name Mapping");
    EXPECT_EQ(m_sheet->opened[0].pages[1].caption, L"OID Mapping");
    EXPECT_EQ(m_sheet->opened[0].pages[1].heading, L"OIDs Supported:");
    EXPECT_FALSE(m_sheet->opened[0].pages[0].showUnresolvedOnly);
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
    // Reporting only new conflicts when there are none does nothing.
    manager.ReportConflicts(ConflictReport::NewConflictsOnly);
    EXPECT_EQ(m_sheet->opened.size(), 1u);
}

TEST_F(PluginManagerTest, TheRegistrationFunctionsRefuseBadProgIds)
{
    EXPECT_FALSE(RegisterPlugin({L"", L"x", L"/x.so"}));
    EXPECT_FALSE(RegisterPlugin({L"a\\b", L"x", L"/x.so"}));
    EXPECT_FALSE(UnregisterPlugin(L"Arb.None"));
    ASSERT_TRUE(RegisterSample(L"Arb.PhotoA"));
    ASSERT_EQ(ReadPluginRegistrations().size(), 1u);
    EXPECT_TRUE(UnregisterPlugin(L"arb.photoa"));
    EXPECT_TRUE(ReadPluginRegistrations().empty());
}

} // namespace
