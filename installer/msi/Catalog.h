#pragma once
// The COM+ administration catalog as custom actions use it: collections of
// objects with named properties, saved as a whole. The host provides it.

#include <memory>
#include <string>

namespace msi {

struct CatalogValue {
    bool isText = false;
    std::wstring text;
    long number = 0;

    static CatalogValue Text(std::wstring t) { return {true, std::move(t), 0}; }
    static CatalogValue Number(long n) { return {false, {}, n}; }
    bool operator==(const CatalogValue& o) const
    {
        return isText == o.isText && (isText ? text == o.text : number == o.number);
    }
};

class CatalogObject {
public:
    virtual ~CatalogObject() = default;
    virtual bool GetValue(const std::wstring& property, CatalogValue* value) = 0;
    virtual bool SetValue(const std::wstring& property, const CatalogValue& value) = 0;
    virtual CatalogValue Key() = 0;
};

class ComponentUtil {
public:
    virtual ~ComponentUtil() = default;
    // Installs every component of a DLL into the collection's application.
    virtual bool InstallComponent(const std::wstring& dll, const std::wstring& typeLib,
                                  const std::wstring& proxyStub) = 0;
};

class CatalogCollection {
public:
    virtual ~CatalogCollection() = default;
    // Reads the collection anew; changes not saved are dropped.
    virtual bool Populate() = 0;
    virtual long Count() = 0;
    // Owned by the collection, valid until the next Populate or Remove.
    virtual CatalogObject* Item(long index) = 0;
    virtual CatalogObject* Add() = 0;
    virtual bool Remove(long index) = 0;
    virtual bool SaveChanges() = 0;
    virtual std::unique_ptr<CatalogCollection> GetCollection(const std::wstring& name, const CatalogValue& key) = 0;
    virtual std::unique_ptr<ComponentUtil> GetUtilInterface() = 0;
};

class Catalog {
public:
    virtual ~Catalog() = default;
    virtual std::unique_ptr<CatalogCollection> GetCollection(const std::wstring& name) = 0;
};

} // namespace msi
