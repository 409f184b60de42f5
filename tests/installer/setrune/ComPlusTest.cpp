// OlvaneRegComPlus: COM+ applications removed, created in up to three tries
// and filled with their components, each DLL installed once.

#include <functional>
#include <string>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const wchar_t kAppA[] = L"{A0000000-0000-0000-0000-00000000000A}";
const wchar_t kAppB[] = L"{B0000000-0000-0000-0000-00000000000B}";

struct AppRow {
    std::string id, name, feature;
    int options = 0;
};

class ComPlus : public ActionTest {
protected:
    ComPlus()
    {
        auto& db = session.CreateDatabase();
        db.AddTable("File", {{"File", msi::ColumnType::Text},
                             {"Component_", msi::ColumnType::Text},
                             {"FileName", msi::ColumnType::Text}});
        db.AddTable("Component", {{"Component", msi::ColumnType::Text}, {"Directory_", msi::ColumnType::Text}});
        db.Insert("File", {"shared.dll", "Core", "SHARED~1.DLL|Shared Objects.dll"});
        db.Insert("File", {"shared.tlb", "Core", "shared.tlb"});
        db.Insert("File", {"other.dll", "Core", "OTHER~1.DLL|Other Objects.dll"});
        db.Insert("File", {"nodir.dll", "Lost", "nodir.dll"});
        db.Insert("Component", {"Core", "BINDIR"});
        db.Insert("Component", {"Lost", "NOWHERE"});
        session.SetTargetPath("BINDIR", L"C:\\Program Files\\Arbolite\\bin\\");
        session.SetProperty("ACTIVATION", "Local");
        session.SetProperty("SVCUSER", "svc-arbolite");
        session.SetProperty("SVCPASS", "secret");
        session.SetProperty("TXN", "Required");
        host.catalog.dllComponents[L"Shared Objects.dll"] = {L"{C1}", L"{C2}"};
        host.catalog.dllComponents[L"Other Objects.dll"] = {L"{C3}"};
    }

    void LongApps(const std::vector<AppRow>& rows)
    {
        auto& db = session.CreateDatabase();
        db.AddTable("OlvaneComPlusApp", {{"AppID", msi::ColumnType::Text},
                                         {"Name", msi::ColumnType::Text},
                                         {"Feature_", msi::ColumnType::Text},
                                         {"Options", msi::ColumnType::Integer},
                                         {"Authentication", msi::ColumnType::Integer},
                                         {"Activation", msi::ColumnType::Text},
                                         {"ShutdownAfter", msi::ColumnType::Integer},
                                         {"RunForever", msi::ColumnType::Text},
                                         {"SecurityEnabled", msi::ColumnType::Text},
                                         {"Identity", msi::ColumnType::Text},
                                         {"Password", msi::ColumnType::Text}});
        for (const auto& r : rows)
            db.Insert("OlvaneComPlusApp", {r.id, r.name, r.feature, r.options, 4, "[ACTIVATION]", 3, "N", "Y",
                                           "[SVCUSER]", "[SVCPASS]"});
    }

    void ShortApps(const std::vector<AppRow>& rows)
    {
        auto& db = session.CreateDatabase();
        db.AddTable("OlvaneComPlusApp", {{"AppID", msi::ColumnType::Text},
                                         {"Name", msi::ColumnType::Text},
                                         {"Feature_", msi::ColumnType::Text},
                                         {"Options", msi::ColumnType::Integer}});
        for (const auto& r : rows) db.Insert("OlvaneComPlusApp", {r.id, r.name, r.feature, r.options});
    }

    struct ComponentRow {
        std::string clsid, dll, typeLib, description, feature, app;
    };

    void Components(const std::vector<ComponentRow>& rows, bool longForm = true)
    {
        auto& db = session.CreateDatabase();
        std::vector<msi::Column> columns = {{"CLSID", msi::ColumnType::Text},
                                            {"File_DLL", msi::ColumnType::Text},
                                            {"File_TypeLib", msi::ColumnType::Text},
                                            {"Description", msi::ColumnType::Text}};
        if (longForm) {
            columns.push_back({"Transaction", msi::ColumnType::Text});
            columns.push_back({"SecurityEnabled", msi::ColumnType::Text});
        }
        columns.push_back({"Feature_", msi::ColumnType::Text});
        columns.push_back({"ApplicationID", msi::ColumnType::Text});
        db.AddTable("OlvaneComPlusComponent", columns);
        for (const auto& r : rows) {
            std::vector<msi::Value> row = {r.clsid, r.dll, r.typeLib, r.description};
            if (longForm) {
                row.push_back("[TXN]");
                row.push_back("N");
            }
            row.push_back(r.feature);
            row.push_back(r.app);
            db.Insert("OlvaneComPlusComponent", row);
        }
    }

    void Existing(const std::wstring& id, const std::wstring& name)
    {
        host.catalog.apps.push_back({{{L"ID", Text(id)}, {L"Name", Text(name)}}, {{{L"CLSID", Text(L"{OLD}")}}}});
    }

    // "ID:Name" of every application in the catalog.
    std::wstring Apps()
    {
        std::wstring out;
        for (auto& app : host.catalog.apps) out += app.values[L"ID"].text + L":" + app.values[L"Name"].text + L" ";
        return out;
    }

    static std::wstring TextOf(const Values& values, const wchar_t* name)
    {
        auto it = values.find(name);
        return it == values.end() ? L"<none>" : it->second.isText ? it->second.text : std::to_wstring(it->second.number);
    }
};

TEST_F(ComPlus, AFeatureBeingRemovedRemovesItsApplicationOnly)
{
    Existing(kAppA, L"Old A");
    Existing(kAppB, L"Old B");
    LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
    session.SetFeatureState("Server", INSTALLSTATE_LOCAL, INSTALLSTATE_ABSENT);
    EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);
    EXPECT_EQ(Apps(), std::wstring(kAppB) + L":Old B ");
}

TEST_F(ComPlus, FeatureStatesThatLeaveTheCatalogAlone)
{
    for (INSTALLSTATE action : {INSTALLSTATE_SOURCE, INSTALLSTATE_ADVERTISED, INSTALLSTATE_UNKNOWN}) {
        host.catalog.apps.clear();
        Existing(kAppA, L"Old A");
        LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
        session.SetFeatureState("Server", INSTALLSTATE_ABSENT, action);
        EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);
        EXPECT_EQ(Apps(), std::wstring(kAppA) + L":Old A ") << action;
    }
    // Options bit 2 skips the row whatever the feature does.
    LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server", 2}});
    session.SetFeatureState("Server", INSTALLSTATE_LOCAL, INSTALLSTATE_ABSENT);
    EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);
    EXPECT_EQ(Apps(), std::wstring(kAppA) + L":Old A ");
}

TEST_F(ComPlus, CreationInUpToThreeTries)
{
    struct Case {
        const char* what;
        std::function<bool(const Values&)> refuse;
        int refused;
        bool created;
        std::wstring identity, authentication;
    } cases[] = {
        {"first try", nullptr, 0, true, L"svc-arbolite", L"4"},
        {"without the account", [](const Values& v) { return v.count(L"Identity") > 0; }, 1, true, L"<none>", L"4"},
        {"name and ID only", [](const Values& v) { return v.count(L"Authentication") > 0; }, 2, true, L"<none>",
         L"<none>"},
        {"never", [](const Values&) { return true; }, 3, false, L"", L""},
    };
    for (const auto& c : cases) {
        host.catalog = CatalogState();
        host.catalog.dllComponents[L"Shared Objects.dll"] = {L"{C1}", L"{C2}"};
        Existing(kAppA, L"Old A");
        host.catalog.refuseApp = c.refuse;
        LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
        Components({{"{C1}", "shared.dll", "shared.tlb", "Objects", "Server", "{A0000000-0000-0000-0000-00000000000A}"}});
        session.SetFeatureState("Server", INSTALLSTATE_ABSENT, INSTALLSTATE_LOCAL);
        EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS) << c.what;
        EXPECT_EQ(host.catalog.refusedSaves, c.refused) << c.what;
        CatalogApp* app = host.catalog.App(kAppA);
        ASSERT_EQ(app != nullptr, c.created) << c.what;
        if (!app) {
            // The old application is gone and nothing is registered for the new one.
            EXPECT_TRUE(host.catalog.apps.empty()) << c.what;
            EXPECT_TRUE(host.catalog.installs.empty()) << c.what;
            continue;
        }
        EXPECT_EQ(TextOf(app->values, L"Name"), L"Arbolite Objects");
        EXPECT_EQ(TextOf(app->values, L"Identity"), c.identity) << c.what;
        EXPECT_EQ(TextOf(app->values, L"Authentication"), c.authentication) << c.what;
        if (c.authentication != L"<none>") {
            EXPECT_EQ(TextOf(app->values, L"Activation"), L"Local");
            EXPECT_EQ(TextOf(app->values, L"ShutdownAfter"), L"3");
            EXPECT_EQ(TextOf(app->values, L"RunForever"), L"N");
            EXPECT_EQ(TextOf(app->values, L"SecurityEnabled"), L"Y");
        }
        if (c.identity != L"<none>") {
            EXPECT_EQ(TextOf(app->values, L"Password"), L"secret");
        }
        EXPECT_EQ(host.catalog.apps.size(), 1u) << c.what;
        EXPECT_EQ(host.catalog.installs.size(), 1u) << c.what;
    }
}

TEST_F(ComPlus, TheShortTableSetsNameAndIdOnly)
{
    ShortApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
    Components({{"{C1}", "shared.dll", "shared.tlb", "[TXN] objects", "Server", "{A0000000-0000-0000-0000-00000000000A}"}},
               false);
    session.SetFeatureState("Server", INSTALLSTATE_ABSENT, INSTALLSTATE_DEFAULT);
    EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);
    CatalogApp* app = host.catalog.App(kAppA);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->values.size(), 2u);
    EXPECT_EQ(TextOf(app->values, L"Name"), L"Arbolite Objects");
    ASSERT_EQ(app->components.size(), 2u);
    EXPECT_EQ(TextOf(app->components[0], L"Description"), L"Required objects");
    EXPECT_EQ(TextOf(app->components[0], L"Transaction"), L"<none>");
}

TEST_F(ComPlus, SharedDllsAreInstalledOnceAndEveryComponentGetsItsSettings)
{
    const std::string a = "{A0000000-0000-0000-0000-00000000000A}", b = "{B0000000-0000-0000-0000-00000000000B}";
    LongApps({{a, "First", "Server"}, {b, "Second", "Server"}});
    Components({
        {"{C1}", "shared.dll", "shared.tlb", "one", "Server", a},
        {"{C2}", "SHARED.DLL", "shared.tlb", "two", "Server", a},  // the same file key in other case
        {"{C3}", "other.dll", "shared.tlb", "three", "Server", a},
        {"{C9}", "nodir.dll", "shared.tlb", "lost", "Server", a},     // no folder: not registered
        {"{C1}", "shared.dll", "shared.tlb", "again", "Server", b},  // installed already in this run
        {"{C3}", "other.dll", "shared.tlb", "elsewhere", "Client", a},
    });
    session.SetFeatureState("Server", INSTALLSTATE_ABSENT, INSTALLSTATE_LOCAL);
    EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);

    ASSERT_EQ(host.catalog.installs.size(), 2u);
    EXPECT_EQ(host.catalog.installs[0].dll, L"C:\\Program Files\\Arbolite\\bin\\Shared Objects.dll");
    EXPECT_EQ(host.catalog.installs[0].typeLib, L"C:\\Program Files\\Arbolite\\bin\\shared.tlb");
    EXPECT_EQ(host.catalog.installs[0].proxyStub, L"");
    EXPECT_EQ(host.catalog.installs[0].appId, kAppA);
    EXPECT_EQ(host.catalog.installs[1].dll, L"C:\\Program Files\\Arbolite\\bin\\Other Objects.dll");

    CatalogApp* first = host.catalog.App(kAppA);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->components.size(), 3u);
    std::wstring settings;
    for (const auto& c : first->components)
        settings += TextOf(c, L"CLSID") + L"=" + TextOf(c, L"Description") + L"/" + TextOf(c, L"Transaction") + L"/" +
                    TextOf(c, L"SecurityEnabled") + L" ";
    EXPECT_EQ(settings, L"{C1}=one/Required/N {C2}=two/Required/N {C3}=three/Required/N ");
    CatalogApp* second = host.catalog.App(kAppB);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->components.empty());
}

TEST_F(ComPlus, ShortTargetNames)
{
    session.SetMode(MSIRUNMODE_TARGETSHORTNAMES, true);
    LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
    Components({{"{C1}", "shared.dll", "shared.tlb", "one", "Server", "{A0000000-0000-0000-0000-00000000000A}"}});
    session.SetFeatureState("Server", INSTALLSTATE_ABSENT, INSTALLSTATE_LOCAL);
    EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);
    ASSERT_EQ(host.catalog.installs.size(), 1u);
    EXPECT_EQ(host.catalog.installs[0].dll, L"C:\\Program Files\\Arbolite\\bin\\SHARED~1.DLL");
}

TEST_F(ComPlus, FailuresLetTheInstallationGoOn)
{
    session.SetFeatureState("Server", INSTALLSTATE_ABSENT, INSTALLSTATE_LOCAL);
    struct Case {
        const char* what;
        std::function<void()> fault;
    } cases[] = {
        {"no OLE", [&] { host.oleWorks = false; }},
        {"no catalog", [&] { host.catalogWorks = false; }},
        {"no application table", [&] { session.CreateDatabase().AddTable("OlvaneComPlusApp", {}); }},
    };
    for (const auto& c : cases) {
        host.oleWorks = host.catalogWorks = true;
        LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
        c.fault();
        EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS) << c.what;
        EXPECT_TRUE(host.catalog.apps.empty()) << c.what;
    }
    msi::Session noDatabase;
    EXPECT_EQ(FindAction("OlvaneRegComPlus")(noDatabase.Handle()), ERROR_SUCCESS);
}

TEST_F(ComPlus, AnExistingApplicationIsReplaced)
{
    Existing(kAppA, L"Old A");
    LongApps({{"{A0000000-0000-0000-0000-00000000000A}", "Arbolite Objects", "Server"}});
    session.SetFeatureState("Server", INSTALLSTATE_LOCAL, INSTALLSTATE_LOCAL);
    EXPECT_EQ(Run("OlvaneRegComPlus"), ERROR_SUCCESS);
    EXPECT_EQ(Apps(), std::wstring(kAppA) + L":Arbolite Objects ");
    EXPECT_TRUE(host.catalog.App(kAppA)->components.empty()) << "the old components went with it";
}

} // namespace
} // namespace setrunetest
