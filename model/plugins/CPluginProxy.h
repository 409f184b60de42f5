#pragma once
// One loaded plug-in: its object and interfaces, what it says about itself,
// and the call that converts a value. Its library stays loaded as long as
// the proxy (and so every interface pointer from it) lives.
//
// What a plug-in answers is foreign data: null texts read as empty, null
// texts in a list are skipped, and a list is read for at most
// kMaxPluginListNodes nodes.

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "base/Guid.h"
#include "base/StringList.h"

class IUnknown;
class IPluginInfo;
class IPluginValueConverter;
class IPluginExtension;
namespace platform {
class SharedLibrary;
}

constexpr size_t kMaxPluginListNodes = 10000;

class CPluginProxy {
public:
    // Takes over the object's reference; queries the interfaces and reads
    // the information. library is what the object came from (null for an
    // object the program made itself).
    CPluginProxy(const std::wstring& displayName, IUnknown* object, const GUID& clsid = GUID(),
                 std::shared_ptr<platform::SharedLibrary> library = nullptr);
    ~CPluginProxy();
    CPluginProxy(const CPluginProxy&) = delete;
    CPluginProxy& operator=(const CPluginProxy&) = delete;

    const std::wstring& GetDisplayName() const { return m_displayName; }
    const GUID& GetClsid() const { return m_clsid; }
    const std::wstring& GetDescription() const { return m_description; }
    const std::wstring& GetText2() const { return m_text2; }
    const std::wstring& GetMail() const { return m_mail; }
    const StringList& GetNames() const { return m_names; }
    const StringList& GetOids() const { return m_oids; }
    // At least one of the two lists is not empty.
    bool HasInformation() const { return m_names.GetCount() > 0 || m_oids.GetCount() > 0; }
    bool HasConverter() const { return m_converter != nullptr; }
    bool HasExtension() const { return m_extension != nullptr; }
    // Whether the plug-in declared the name (or OID) ignoring case.
    bool HandlesName(const std::string& name) const;
    bool HandlesOid(const std::string& oid) const;

    // Converts a value (attribute name in UTF-8); true on success. result is
    // replaced only when the plug-in returned some bytes. Calls from several
    // threads take turns.
    bool Call(const std::string& attributeName, const std::string& value, std::string& result);

private:
    void ReadInformation();

    // First, so that the library is closed after every interface is released.
    std::shared_ptr<platform::SharedLibrary> m_library;
    std::wstring m_displayName;
    GUID m_clsid;
    IUnknown* m_object = nullptr;
    IPluginInfo* m_info = nullptr;
    IPluginValueConverter* m_converter = nullptr;
    IPluginExtension* m_extension = nullptr;
    std::wstring m_description;
    std::wstring m_text2;
    std::wstring m_mail;
    StringList m_names;
    StringList m_oids;
    std::mutex m_callLock;
};
