#include "model/plugins/CPluginProxy.h"

#include <cstdlib>
#include <cstring>

#include "base/NoCase.h"
#include "base/PluginContract.h"
#include "base/Utf8.h"
#include "platform/SharedLibrary.h"

namespace {

template <typename Interface>
Interface* QueryPluginInterface(IUnknown* object, const IID& iid)
{
    void* found = nullptr;
    try {
        if (FAILED(object->QueryInterface(iid, &found))) return nullptr;
    } catch (...) {
        return nullptr;
    }
    return static_cast<Interface*>(found);
}

void ReleaseQuietly(IUnknown* object)
{
    if (!object) return;
    try {
        object->Release();
    } catch (...) {
    }
}

std::wstring TakeText(wchar_t* text)
{
    std::wstring taken = text ? std::wstring(text) : std::wstring();
    std::free(text);
    return taken;
}

// Reads a list a plug-in handed out into list, freeing what was read.
void TakeList(PluginStringNode* node, StringList& list)
{
    for (size_t count = 0; node && count < kMaxPluginListNodes; ++count) {
        PluginStringNode* next = node->next;
        if (node->text) list.Add(WideToUtf8Text(node->text));
        std::free(node->text);
        std::free(node);
        node = next;
    }
}

bool HasNoCase(const StringList& list, const std::string& text)
{
    for (const std::string& item : list)
        if (EqualNoCase(item, text)) return true;
    return false;
}

} // namespace

CPluginProxy::CPluginProxy(const std::wstring& displayName, IUnknown* object, const GUID& clsid,
                           std::shared_ptr<platform::SharedLibrary> library)
    : m_library(std::move(library)), m_displayName(displayName), m_clsid(clsid), m_object(object)
{
    if (!m_object) return;
    m_info = QueryPluginInterface<IPluginInfo>(m_object, IID_IPluginInfo);
    m_converter = QueryPluginInterface<IPluginValueConverter>(m_object, IID_IPluginValueConverter);
    m_extension = QueryPluginInterface<IPluginExtension>(m_object, IID_IPluginExtension);
    ReadInformation();
}

CPluginProxy::~CPluginProxy()
{
    ReleaseQuietly(m_extension);
    ReleaseQuietly(m_converter);
    ReleaseQuietly(m_info);
    ReleaseQuietly(m_object);
}

void CPluginProxy::ReadInformation()
{
    if (!m_info) return;
    try {
        PluginInfoTexts texts{nullptr, nullptr, nullptr};
        HRESULT hr = m_info->GetInfo(&texts);
        // The texts are taken (and freed) whatever the result said.
        std::wstring description = TakeText(texts.description);
        std::wstring text2 = TakeText(texts.text2);
        std::wstring mail = TakeText(texts.mail);
        if (SUCCEEDED(hr)) {
            m_description = std::move(description);
            m_text2 = std::move(text2);
            m_mail = std::move(mail);
        }
        PluginStringNode* first = nullptr;
        if (SUCCEEDED(m_info->GetAttributeNames(&first))) TakeList(first, m_names);
        first = nullptr;
        if (SUCCEEDED(m_info->GetSyntaxOids(&first))) TakeList(first, m_oids);
    } catch (...) {
    }
}

bool CPluginProxy::HandlesName(const std::string& name) const
{
    return HasNoCase(m_names, name);
}

bool CPluginProxy::HandlesOid(const std::string& oid) const
{
    return HasNoCase(m_oids, oid);
}

bool CPluginProxy::Call(const std::string& attributeName, const std::string& value, std::string& result)
{
    if (!m_converter) return false;
    std::lock_guard<std::mutex> lock(m_callLock);
    // The plug-in gets a heap copy, so that it cannot write into the node's value.
    std::unique_ptr<unsigned char, decltype(&std::free)> copy(
        static_cast<unsigned char*>(std::malloc(value.empty() ? 1 : value.size())), &std::free);
    if (!copy) return false;
    if (!value.empty()) std::memcpy(copy.get(), value.data(), value.size());
    std::wstring name = Utf8ToWideString(attributeName);
    PluginValue in{copy.get(), static_cast<uint32_t>(value.size()), name.c_str()};
    unsigned char* out = nullptr;
    uint32_t length = 0;
    HRESULT hr;
    try {
        hr = m_converter->Convert(&in, &out, &length);
    } catch (...) {
        return false;
    }
    std::unique_ptr<unsigned char, decltype(&std::free)> owned(out, &std::free);
    if (FAILED(hr)) return false;
    if (owned && length > 0) result.assign(reinterpret_cast<const char*>(owned.get()), length);
    return true;
}
