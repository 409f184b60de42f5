#include "tests/installer/setrune/FakeCatalog.h"

#include <memory>

namespace setrunetest {
namespace {

class Object : public msi::CatalogObject {
public:
    explicit Object(Values values, int origin = -1) : values(std::move(values)), origin(origin) {}
    bool GetValue(const std::wstring& property, msi::CatalogValue* value) override
    {
        auto it = values.find(property);
        if (it == values.end()) return false;
        *value = it->second;
        return true;
    }
    bool SetValue(const std::wstring& property, const msi::CatalogValue& value) override
    {
        values[property] = value;
        return true;
    }
    msi::CatalogValue Key() override { return values[L"ID"]; }

    Values values;
    int origin;  // index in the state it was read from; -1 when added
};

// Shared by both collections: a working copy read by Populate.
class Collection : public msi::CatalogCollection {
public:
    long Count() override { return static_cast<long>(items_.size()); }
    msi::CatalogObject* Item(long index) override
    {
        return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
    }
    msi::CatalogObject* Add() override
    {
        items_.push_back(std::make_unique<Object>(Values{}));
        return items_.back().get();
    }
    bool Remove(long index) override
    {
        if (index < 0 || index >= Count()) return false;
        items_.erase(items_.begin() + index);
        return true;
    }
    std::unique_ptr<msi::CatalogCollection> GetCollection(const std::wstring&, const msi::CatalogValue&) override
    {
        return nullptr;
    }
    std::unique_ptr<msi::ComponentUtil> GetUtilInterface() override { return nullptr; }

protected:
    std::vector<std::unique_ptr<Object>> items_;
};

class Util : public msi::ComponentUtil {
public:
    Util(CatalogState& state, std::wstring appId) : state_(state), appId_(std::move(appId)) {}
    bool InstallComponent(const std::wstring& dll, const std::wstring& typeLib, const std::wstring& proxyStub) override
    {
        // Every call is recorded: one for an application that does not exist is a fault too.
        state_.installs.push_back({appId_, dll, typeLib, proxyStub});
        CatalogApp* app = state_.App(appId_);
        if (!app) return false;
        std::wstring name = dll.substr(dll.find_last_of(L"\\/") + 1);
        for (const auto& clsid : state_.dllComponents[name])
            app->components.push_back({{L"CLSID", Text(clsid)}, {L"DLL", Text(dll)}});
        return true;
    }

private:
    CatalogState& state_;
    std::wstring appId_;
};

class Components : public Collection {
public:
    Components(CatalogState& state, std::wstring appId) : state_(state), appId_(std::move(appId)) {}
    bool Populate() override
    {
        items_.clear();
        if (CatalogApp* app = state_.App(appId_))
            for (const auto& c : app->components) items_.push_back(std::make_unique<Object>(c));
        return true;
    }
    bool SaveChanges() override
    {
        CatalogApp* app = state_.App(appId_);
        if (!app) return false;
        app->components.clear();
        for (const auto& item : items_) app->components.push_back(item->values);
        return true;
    }
    std::unique_ptr<msi::ComponentUtil> GetUtilInterface() override
    {
        return std::make_unique<Util>(state_, appId_);
    }

private:
    CatalogState& state_;
    std::wstring appId_;
};

class Packages : public Collection {
public:
    explicit Packages(CatalogState& state) : state_(state) {}
    bool Populate() override
    {
        items_.clear();
        for (size_t i = 0; i < state_.apps.size(); ++i)
            items_.push_back(std::make_unique<Object>(state_.apps[i].values, static_cast<int>(i)));
        return true;
    }
    bool SaveChanges() override
    {
        for (const auto& item : items_)
            if (state_.refuseApp && state_.refuseApp(item->values)) {
                ++state_.refusedSaves;
                return false;
            }
        std::vector<CatalogApp> apps;
        for (const auto& item : items_) {
            CatalogApp app;
            app.values = item->values;
            if (item->origin >= 0) app.components = state_.apps[static_cast<size_t>(item->origin)].components;
            apps.push_back(std::move(app));
        }
        state_.apps = std::move(apps);
        for (size_t i = 0; i < items_.size(); ++i) items_[i]->origin = static_cast<int>(i);
        return true;
    }
    std::unique_ptr<msi::CatalogCollection> GetCollection(const std::wstring& name,
                                                          const msi::CatalogValue& key) override
    {
        if (name != L"ComponentsInPackage" || !key.isText) return nullptr;
        return std::make_unique<Components>(state_, key.text);
    }

private:
    CatalogState& state_;
};

} // namespace

msi::CatalogValue Text(const std::wstring& text)
{
    return msi::CatalogValue::Text(text);
}

CatalogApp* CatalogState::App(const std::wstring& id)
{
    for (auto& app : apps) {
        auto it = app.values.find(L"ID");
        if (it != app.values.end() && it->second.isText && it->second.text == id) return &app;
    }
    return nullptr;
}

std::unique_ptr<msi::CatalogCollection> FakeCatalog::GetCollection(const std::wstring& name)
{
    if (name != L"Packages") return nullptr;
    return std::make_unique<Packages>(state_);
}

} // namespace setrunetest
