#pragma once
// The shape every sample plug-in shares: one object answering IUnknown,
// IPluginInfo and, when asked to, the converter and the extension. Built
// against the contract headers only, like a plug-in from elsewhere.

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "base/PluginContract.h"

#define SAMPLE_EXPORT extern "C" __attribute__((visibility("default")))

namespace sample {

inline wchar_t* Dup(const wchar_t* text)
{
    if (!text) return nullptr;
    size_t size = (std::wcslen(text) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(std::malloc(size));
    std::memcpy(copy, text, size);
    return copy;
}

inline PluginStringNode* MakeList(const std::vector<const wchar_t*>& texts)
{
    PluginStringNode* first = nullptr;
    PluginStringNode** tail = &first;
    for (const wchar_t* text : texts) {
        auto* node = static_cast<PluginStringNode*>(std::malloc(sizeof(PluginStringNode)));
        node->text = Dup(text);
        node->next = nullptr;
        *tail = node;
        tail = &node->next;
    }
    return first;
}

inline HRESULT ReturnText(const std::string& text, unsigned char** result, uint32_t* length)
{
    *result = static_cast<unsigned char*>(std::malloc(text.size() ? text.size() : 1));
    std::memcpy(*result, text.data(), text.size());
    *length = static_cast<uint32_t>(text.size());
    return S_OK;
}

struct Setup {
    const wchar_t* description;
    const wchar_t* text2;
    const wchar_t* mail;
    std::vector<const wchar_t*> names;
    std::vector<const wchar_t*> oids;
    bool info = true;
    bool converter = true;
    bool extension = false;
};

// Convert is the sample's own function: (value, name) -> HRESULT with result.
typedef HRESULT (*ConvertFunction)(const PluginValue* value, unsigned char** result, uint32_t* length);

class Plugin final : public IPluginInfo, public IPluginValueConverter, public IPluginExtension {
public:
    Plugin(const Setup& setup, ConvertFunction convert) : m_setup(setup), m_convert(convert) {}

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (IsSamePluginIid(iid, IID_IUnknown) || (m_setup.info && IsSamePluginIid(iid, IID_IPluginInfo)))
            *object = static_cast<IPluginInfo*>(this);
        else if (m_setup.converter && IsSamePluginIid(iid, IID_IPluginValueConverter))
            *object = static_cast<IPluginValueConverter*>(this);
        else if (m_setup.extension && IsSamePluginIid(iid, IID_IPluginExtension))
            *object = static_cast<IPluginExtension*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
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
        info->description = Dup(m_setup.description);
        info->text2 = Dup(m_setup.text2);
        info->mail = Dup(m_setup.mail);
        return S_OK;
    }
    HRESULT GetAttributeNames(PluginStringNode** first) override
    {
        *first = MakeList(m_setup.names);
        return S_OK;
    }
    HRESULT GetSyntaxOids(PluginStringNode** first) override
    {
        *first = MakeList(m_setup.oids);
        return S_OK;
    }
    HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length) override
    {
        return m_convert(value, result, length);
    }

private:
    ~Plugin() = default;
    Setup m_setup;
    ConvertFunction m_convert;
    std::atomic<uint32_t> m_refs{1};
};

// The body of ArbolitePluginCreate.
inline HRESULT Create(const GUID& id, const Setup& setup, ConvertFunction convert, GUID* clsid, IUnknown** object)
{
    if (!clsid || !object) return E_POINTER;
    *clsid = id;
    *object = static_cast<IPluginInfo*>(new Plugin(setup, convert));
    return S_OK;
}

} // namespace sample
