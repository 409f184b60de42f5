#pragma once
// A COM+ catalog in memory: applications with their components, saves that
// can be refused, and the DLLs installed into it.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "installer/msi/Catalog.h"

namespace setrunetest {

using Values = std::map<std::wstring, msi::CatalogValue>;

struct CatalogApp {
    Values values;
    std::vector<Values> components;
};

struct CatalogState {
    std::vector<CatalogApp> apps;
    // The CLSIDs a DLL brings, by the DLL's file name.
    std::map<std::wstring, std::vector<std::wstring>> dllComponents;
    struct Install {
        std::wstring appId, dll, typeLib, proxyStub;
    };
    std::vector<Install> installs;
    // Saving the applications fails while this says so of one of them.
    std::function<bool(const Values&)> refuseApp;
    int refusedSaves = 0;

    // The application with this ID; null when there is none.
    CatalogApp* App(const std::wstring& id);
};

class FakeCatalog : public msi::Catalog {
public:
    explicit FakeCatalog(CatalogState& state) : state_(state) {}
    std::unique_ptr<msi::CatalogCollection> GetCollection(const std::wstring& name) override;

private:
    CatalogState& state_;
};

msi::CatalogValue Text(const std::wstring& text);

} // namespace setrunetest
