#include "model/templates/TemplateKeys.h"

namespace {

constexpr wchar_t kStoredBackslash = L'\xF05C';

}  // namespace

std::wstring EncodeTemplateKeyName(const std::wstring& name)
{
    std::wstring keyName(name);
    for (wchar_t& c : keyName)
        if (c == L'\\')
            c = kStoredBackslash;
    return keyName;
}

std::wstring DecodeTemplateKeyName(const std::wstring& keyName)
{
    std::wstring name(keyName);
    for (wchar_t& c : name)
        if (c == kStoredBackslash)
            c = L'\\';
    return name;
}

std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child)
{
    if (parent.empty())
        return child;
    if (parent.back() == L'\\')
        return parent + child;
    return parent + L'\\' + child;
}
