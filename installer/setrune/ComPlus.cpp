// OlvaneRegComPlus: the package's COM+ applications and their components,
// created, filled or removed in the catalog as their features are installed
// or removed.

#include <memory>
#include <string>
#include <vector>

#include "installer/msi/Host.h"
#include "installer/setrune/Actions.h"
#include "installer/setrune/InstalledFile.h"
#include "installer/setrune/MsiHandle.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/Properties.h"
#include "installer/setrune/TextCase.h"
#include "installer/setrune/Wide.h"

namespace {

using msi::CatalogValue;

const char kAppsLong[] = "SELECT AppID,Name,Feature_,Options,Authentication,Activation,ShutdownAfter,RunForever,"
                         "SecurityEnabled,Identity,Password FROM OlvaneComPlusApp";
const char kAppsShort[] = "SELECT AppID,Name,Feature_,Options FROM OlvaneComPlusApp";
const char kComponentsLong[] =
    "SELECT `CLSID`,`File_DLL`,`File_TypeLib`,`Description`,`Transaction`,`SecurityEnabled` "
    "FROM `OlvaneComPlusComponent` WHERE `Feature_`=? AND `ApplicationID`=?";
const char kComponentsShort[] = "SELECT `CLSID`,`File_DLL`,`File_TypeLib`,`Description` "
                                "FROM `OlvaneComPlusComponent` WHERE `Feature_`=? AND `ApplicationID`=?";

// Options bit that keeps a row out of the catalog.
const int kSkipRow = 2;

bool TextValueIs(msi::CatalogObject* object, const wchar_t* property, const std::wstring& text)
{
    CatalogValue value;
    return object->GetValue(property, &value) && value.isText && setrune::EqualIgnoringCase(value.text, text);
}

class Registration {
public:
    Registration(MSIHANDLE hInstall, MSIHANDLE db, msi::CatalogCollection& packages)
        : hInstall_(hInstall), db_(db), packages_(packages)
    {
    }

    void Application(MSIHANDLE row, bool longForm)
    {
        int options = MsiRecordGetInteger(row, 4);
        if (options != MSI_NULL_INTEGER && (options & kSkipRow)) return;
        std::string appId, name, feature;
        if (!setrune::GetFieldText(row, 1, 256, &appId) || !setrune::GetFieldText(row, 2, 256, &name) ||
            !setrune::GetFieldText(row, 3, 256, &feature))
            return;
        INSTALLSTATE installed, action;
        if (MsiGetFeatureStateA(hInstall_, feature.c_str(), &installed, &action) != ERROR_SUCCESS) return;
        if (action == INSTALLSTATE_ABSENT) {
            Remove(appId);
        } else if (action == INSTALLSTATE_LOCAL || action == INSTALLSTATE_DEFAULT) {
            Remove(appId);
            CatalogValue key;
            // Components go only into an application that now exists.
            if (Create(row, longForm, appId, name, &key)) Components(key, feature, appId);
        }
    }

private:
    void Remove(const std::string& appId)
    {
        if (!packages_.Populate()) return;
        const std::wstring id = setrune::Widen(appId);
        for (long i = 0; i < packages_.Count(); ++i) {
            msi::CatalogObject* app = packages_.Item(i);
            if (app && TextValueIs(app, L"ID", id)) {
                if (packages_.Remove(i)) packages_.SaveChanges();
                return;
            }
        }
    }

    void SetFormatted(msi::CatalogObject* object, const wchar_t* property, MSIHANDLE row, UINT field)
    {
        std::string raw, text;
        if (setrune::GetFieldText(row, field, 256, &raw) && setrune::FormatText(hInstall_, raw, 256, &text))
            object->SetValue(property, CatalogValue::Text(setrune::Widen(text)));
    }

    // Up to three tries, each with fewer properties; true once one is saved.
    bool Create(MSIHANDLE row, bool longForm, const std::string& appId, const std::string& name, CatalogValue* key)
    {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            // Drops what a failed save left behind.
            if (!packages_.Populate()) return false;
            msi::CatalogObject* app = packages_.Add();
            if (!app) continue;
            app->SetValue(L"Name", CatalogValue::Text(setrune::Widen(name)));
            app->SetValue(L"ID", CatalogValue::Text(setrune::Widen(appId)));
            if (longForm && attempt <= 2) {
                app->SetValue(L"Authentication", CatalogValue::Number(MsiRecordGetInteger(row, 5)));
                SetFormatted(app, L"Activation", row, 6);
                app->SetValue(L"ShutdownAfter", CatalogValue::Number(MsiRecordGetInteger(row, 7)));
                SetFormatted(app, L"RunForever", row, 8);
                SetFormatted(app, L"SecurityEnabled", row, 9);
                if (attempt == 1) {
                    SetFormatted(app, L"Identity", row, 10);
                    SetFormatted(app, L"Password", row, 11);
                }
            }
            *key = app->Key();
            if (packages_.SaveChanges()) return true;
        }
        return false;
    }

    void Components(const CatalogValue& appKey, const std::string& feature, const std::string& appId)
    {
        auto components = packages_.GetCollection(L"ComponentsInPackage", appKey);
        if (!components || !components->Populate()) return;
        auto util = components->GetUtilInterface();
        if (!util) return;

        setrune::MsiHandle view, params(MsiCreateRecord(2));
        MsiRecordSetStringA(params, 1, feature.c_str());
        MsiRecordSetStringA(params, 2, appId.c_str());
        bool longForm = MsiDatabaseOpenViewA(db_, kComponentsLong, view.Put()) == ERROR_SUCCESS;
        if (!longForm && MsiDatabaseOpenViewA(db_, kComponentsShort, view.Put()) != ERROR_SUCCESS) return;
        if (MsiViewExecute(view, params) != ERROR_SUCCESS) return;
        setrune::MsiHandle row;
        while (MsiViewFetch(view, row.Put()) == ERROR_SUCCESS) Component(*components, *util, row, longForm);
        MsiViewClose(view);
    }

    void Component(msi::CatalogCollection& components, msi::ComponentUtil& util, MSIHANDLE row, bool longForm)
    {
        std::string clsid, dll, typeLib;
        if (!setrune::GetFieldText(row, 1, 256, &clsid) || !setrune::GetFieldText(row, 2, 256, &dll) ||
            !setrune::GetFieldText(row, 3, 256, &typeLib))
            return;
        if (!Installed(dll)) {
            std::wstring dllPath, typeLibPath;
            if (!setrune::InstalledFilePath(hInstall_, db_, dll, &dllPath) ||
                !setrune::InstalledFilePath(hInstall_, db_, typeLib, &typeLibPath) ||
                !util.InstallComponent(dllPath, typeLibPath, L""))
                return;
            installedDlls_.push_back(dll);
        }
        if (!components.Populate()) return;
        const std::wstring id = setrune::Widen(clsid);
        for (long i = 0; i < components.Count(); ++i) {
            msi::CatalogObject* component = components.Item(i);
            if (!component || !TextValueIs(component, L"CLSID", id)) continue;
            SetFormatted(component, L"Description", row, 4);
            if (longForm) {
                SetFormatted(component, L"Transaction", row, 5);
                SetFormatted(component, L"SecurityEnabled", row, 6);
            }
            components.SaveChanges();
            return;
        }
    }

    // A DLL goes into the catalog once per run, however many rows name it.
    bool Installed(const std::string& dll) const
    {
        for (const auto& done : installedDlls_)
            if (setrune::EqualIgnoringCase(done, dll)) return true;
        return false;
    }

    MSIHANDLE hInstall_, db_;
    msi::CatalogCollection& packages_;
    std::vector<std::string> installedDlls_;
};

class OleScope {
public:
    explicit OleScope(msi::Host& host) : host_(host), ok_(host.InitializeOle()) {}
    ~OleScope()
    {
        if (ok_) host_.UninitializeOle();
    }
    bool Ok() const { return ok_; }

private:
    msi::Host& host_;
    bool ok_;
};

} // namespace

SETRUNE_ACTION OlvaneRegComPlus(MSIHANDLE hInstall)
{
    // Like every action, nothing to do deferred and no failure reported.
    if (setrune::IsDeferred(hInstall)) return ERROR_SUCCESS;
    setrune::MsiHandle db(MsiGetActiveDatabase(hInstall));
    if (!db) return ERROR_SUCCESS;
    msi::Host& host = setrune::TheHost();
    OleScope ole(host);
    if (!ole.Ok()) return ERROR_SUCCESS;

    setrune::MsiHandle apps;
    bool longForm = MsiDatabaseOpenViewA(db, kAppsLong, apps.Put()) == ERROR_SUCCESS;
    if (!longForm && MsiDatabaseOpenViewA(db, kAppsShort, apps.Put()) != ERROR_SUCCESS) return ERROR_SUCCESS;
    if (MsiViewExecute(apps, 0) != ERROR_SUCCESS) return ERROR_SUCCESS;

    std::unique_ptr<msi::Catalog> catalog = host.CreateCatalog();
    std::unique_ptr<msi::CatalogCollection> packages = catalog ? catalog->GetCollection(L"Packages") : nullptr;
    if (packages) {
        Registration registration(hInstall, db, *packages);
        setrune::MsiHandle row;
        while (MsiViewFetch(apps, row.Put()) == ERROR_SUCCESS) registration.Application(row, longForm);
    }
    MsiViewClose(apps);
    return ERROR_SUCCESS;
}
