#include "model/templates/CEntryTemplate.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "base/NoCase.h"
#include "base/Utf8.h"
#include "model/templates/TemplateKeys.h"
#include "platform/CStdRegistry.h"
#include "schema/LDAPSchema.h"

using namespace arbldap;
using platform::RegRoot;

std::wstring MakeTemplateKeyName(int position, const std::wstring& name)
{
    wchar_t prefix[32];
    std::swprintf(prefix, sizeof prefix / sizeof prefix[0], L"%.5d", position);
    return prefix + EncodeTemplateKeyName(name);
}

CEntryTemplate::CEntryTemplate(const std::wstring& name, const std::wstring& rdnType, const std::wstring& description)
{
    if (!name.empty())
        m_name = name;
    if (!rdnType.empty())
        m_rdnType = rdnType;
    if (!description.empty())
        m_description = description;
}

CEntryTemplate::CEntryTemplate(const LDAPEntry& entry, const CLDAPSchema* schema, const std::wstring& name,
                               const std::wstring& rdnType, const std::wstring& description)
    : m_name(name), m_rdnType(rdnType)
{
    if (!description.empty())
        m_description = description;
    SetFromEntry(entry, schema);
}

CEntryTemplateAttribute& CEntryTemplate::AddAttribute(const std::string& name, bool must)
{
    m_attributes.emplace_back(name, must);
    return m_attributes.back();
}

CEntryTemplateAttribute& CEntryTemplate::AddAttribute(const std::string& name, const std::string& value, bool must)
{
    m_attributes.emplace_back(name, value, must);
    return m_attributes.back();
}

CEntryTemplateAttribute& CEntryTemplate::AddAttribute(const std::string& name, const StringList& values, bool must)
{
    m_attributes.emplace_back(name, values, must);
    return m_attributes.back();
}

CEntryTemplateAttribute* CEntryTemplate::FindAttribute(const std::string& name)
{
    for (CEntryTemplateAttribute& attribute : m_attributes)
        if (EqualNoCase(attribute.GetName(), name))
            return &attribute;
    return nullptr;
}

bool CEntryTemplate::SetAttributeValues(const std::string& name, const StringList& values)
{
    CEntryTemplateAttribute* attribute = FindAttribute(name);
    if (!attribute)
        return false;
    attribute->SetValues(values);
    return true;
}

void CEntryTemplate::GetMustAttributes(StringList& names) const
{
    for (const CEntryTemplateAttribute& attribute : m_attributes)
        if (attribute.GetMust())
            names.Add(attribute.GetName());
}

void CEntryTemplate::SetFromEntry(const LDAPEntry& entry, const CLDAPSchema* schema)
{
    ClearAttributes();
    const StringList classes = entry.GetObjectClasses();
    for (const LDAPAttribute& attribute : entry.GetAttributes()) {
        bool must = schema && schema->IsMustAttribute(attribute.GetName(), classes);
        m_attributes.emplace_back(attribute.GetName(), StringList(attribute.GetValues()), must);
    }
}

void CEntryTemplate::ClearAttributes()
{
    for (CEntryTemplateAttribute& attribute : m_attributes)
        attribute.DeleteFromRegistry();
    m_attributes.clear();
}

bool CEntryTemplate::RemoveAttribute(const CEntryTemplateAttribute* attribute)
{
    for (auto it = m_attributes.begin(); it != m_attributes.end(); ++it) {
        if (&*it != attribute)
            continue;
        it->DeleteFromRegistry();
        m_attributes.erase(it);
        return true;
    }
    return false;
}

bool CEntryTemplate::Save(const std::wstring& groupKeyPath, int position)
{
    m_keyPath = JoinKeyPath(groupKeyPath, MakeTemplateKeyName(position, m_name));
    CStdRegistry group(RegRoot::CurrentUser, false);
    if (!group.Open(groupKeyPath) && !group.CreateKey(groupKeyPath))
        return false;
    CStdRegistry key(RegRoot::CurrentUser, false);
    if (!key.CreateKey(m_keyPath))
        return false;
    bool ok = key.Write(L"Description", m_description);
    ok = key.Write(L"RDNType", m_rdnType) && ok;
    for (CEntryTemplateAttribute& attribute : m_attributes)
        ok = attribute.Save(m_keyPath) && ok;
    return ok;
}

bool CEntryTemplate::Load(const std::wstring& keyPath)
{
    m_keyPath = keyPath;
    m_attributes.clear();
    CStdRegistry key(RegRoot::CurrentUser, true);
    if (!key.Open(keyPath))
        return false;
    std::wstring rdnType;
    if (!key.Read(L"RDNType", rdnType))
        return false;
    m_rdnType = rdnType;
    std::wstring description;
    if (key.Read(L"Description", description))
        m_description = description;
    std::vector<std::wstring> names;
    key.ReadSubKeys(names);
    for (const std::wstring& name : names) {
        CEntryTemplateAttribute& attribute = AddAttribute(WideToUtf8Text(DecodeTemplateKeyName(name)), false);
        if (!attribute.Load(JoinKeyPath(keyPath, name)))
            m_attributes.pop_back();
    }
    return !m_attributes.empty();
}

void CEntryTemplate::DeleteFromRegistry()
{
    if (m_keyPath.empty())
        return;
    CStdRegistry key(RegRoot::CurrentUser, false);
    key.DeleteKey(m_keyPath);
}
