// A plug-in written as someone outside the project would: this file and the
// contract headers, nothing else. It shows "sn" values in capitals.

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "base/PluginContract.h"

namespace {

const GUID kClsid = {0x5a0e7e3bu, 0x1c2du, 0x4e5fu, {0x90, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde}};

wchar_t* Copy(const wchar_t* text)
{
    size_t size = (std::wcslen(text) + 1) * sizeof(wchar_t);
    void* copy = std::malloc(size);
    if (copy) std::memcpy(copy, text, size);
    return static_cast<wchar_t*>(copy);
}

PluginStringNode* One(const wchar_t* text)
{
    auto* node = static_cast<PluginStringNode*>(std::malloc(sizeof(PluginStringNode)));
    if (!node) return nullptr;
    node->text = Copy(text);
    node->next = nullptr;
    return node;
}

class Shouting final : public IPluginInfo, public IPluginValueConverter {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsSamePluginIid(iid, IID_IUnknown) || IsSamePluginIid(iid, IID_IPluginInfo))
            *object = static_cast<IPluginInfo*>(this);
        else if (IsSamePluginIid(iid, IID_IPluginValueConverter))
            *object = static_cast<IPluginValueConverter*>(this);
        else
            return E_NOINTERFACE;
        ++m_refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++m_refs; }
    uint32_t Release() override
    {
        uint32_t left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT GetInfo(PluginInfoTexts* info) override
    {
        info->description = Copy(L"Surnames in capitals");
        info->text2 = Copy(L"Built outside Arbolite");
        info->mail = Copy(L"outside@example.org");
        return S_OK;
    }
    HRESULT GetAttributeNames(PluginStringNode** first) override
    {
        *first = One(L"sn");
        return S_OK;
    }
    HRESULT GetSyntaxOids(PluginStringNode** first) override
    {
        *first = nullptr;
        return S_OK;
    }
    HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length) override
    {
        unsigned char* out = static_cast<unsigned char*>(std::malloc(value->length + 4));
        if (!out) return E_OUTOFMEMORY;
        std::memcpy(out, "SN: ", 4);
        for (uint32_t i = 0; i < value->length; ++i)
            out[4 + i] = static_cast<unsigned char>(std::toupper(value->bytes[i]));
        *result = out;
        *length = value->length + 4;
        return S_OK;
    }

private:
    ~Shouting() = default;
    uint32_t m_refs = 1;
};

} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT ArbolitePluginCreate(const char*, GUID* clsid,
                                                                               IUnknown** object)
{
    if (!clsid || !object) return E_POINTER;
    Shouting* plugin = new (std::nothrow) Shouting;
    if (!plugin) return E_OUTOFMEMORY;
    *clsid = kClsid;
    *object = static_cast<IPluginInfo*>(plugin);
    return S_OK;
}
