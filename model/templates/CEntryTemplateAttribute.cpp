#include "model/templates/CEntryTemplateAttribute.h"

#include <string_view>

#include "base/Utf8.h"
#include "model/templates/TemplateKeys.h"
#include "platform/CStdRegistry.h"

using platform::RegRoot;

namespace {

std::wstring ValueName(size_t index)
{
    return L"val" + std::to_wstring(index);
}

}  // namespace

CEntryTemplateAttribute::CEntryTemplateAttribute(const std::string& name, bool must) : m_must(must)
{
    SetName(name);
}

bool CEntryTemplateAttribute::Save(const std::wstring& templateKeyPath)
{
    const std::wstring path = JoinKeyPath(templateKeyPath, EncodeTemplateKeyName(Utf8ToWideString(GetName())));
    CStdRegistry key(RegRoot::CurrentUser, false);
    // Values of an earlier save beyond today's count would come back at load.
    key.DeleteKey(path);
    if (!key.CreateKey(path))
        return false;
    m_keyPath = path;
    bool ok = key.Write(L"Must", static_cast<uint32_t>(m_must ? 1 : 0));
    size_t index = 0;
    for (std::string_view value : GetValues())
        ok = key.Write(ValueName(index++), std::string(value)) && ok;
    return ok;
}

bool CEntryTemplateAttribute::Load(const std::wstring& keyPath)
{
    m_keyPath = keyPath;
    CStdRegistry key(RegRoot::CurrentUser, true);
    if (!key.Open(keyPath))
        return false;
    uint32_t must = 0;
    if (!key.Read(L"Must", must))
        return false;
    m_must = must != 0;
    for (size_t index = 0;; ++index) {
        std::string value;
        if (!key.Read(ValueName(index), value))
            break;
        if (!value.empty())
            AddValue(value);
    }
    return true;
}

void CEntryTemplateAttribute::DeleteFromRegistry()
{
    if (m_keyPath.empty())
        return;
    CStdRegistry key(RegRoot::CurrentUser, false);
    key.DeleteKey(m_keyPath);
}
