#include "model/templates/CEntryTemplateGroup.h"

#include <utility>

#include "base/NoCase.h"
#include "base/Utf8.h"
#include "model/profiles/ProfileKeys.h"
#include "model/ports/ResourceText.h"
#include "model/templates/TemplateKeys.h"
#include "platform/CStdRegistry.h"
#include "platform/ShellPorts.h"

using platform::RegRoot;

namespace {

constexpr unsigned kStrCommonMarker = 614;
constexpr unsigned kStrRenamed = 672;
// The position prefix of a template's key name.
constexpr size_t kPositionDigits = 5;

}  // namespace

CEntryTemplateGroup::CEntryTemplateGroup(const std::wstring& name, const std::wstring& keyPath) : m_name(name)
{
    if (!keyPath.empty())
        Load(keyPath);
}

void CEntryTemplateGroup::Load(const std::wstring& keyPath)
{
    m_templates.clear();
    m_keyPath = keyPath;
    CStdRegistry key(RegRoot::CurrentUser, true);
    std::vector<std::wstring> names;
    if (!key.Open(keyPath) || !key.ReadSubKeys(names))
        return;
    for (const std::wstring& keyName : names) {
        if (keyName.size() <= kPositionDigits)
            continue;
        auto entryTemplate = std::make_unique<CEntryTemplate>();
        entryTemplate->SetName(DecodeTemplateKeyName(keyName.substr(kPositionDigits)));
        if (entryTemplate->Load(JoinKeyPath(keyPath, keyName)))
            m_templates.push_back(std::move(entryTemplate));
    }
}

std::wstring CEntryTemplateGroup::UniqueName(const std::wstring& name) const
{
    auto taken = [this](const std::wstring& candidate) {
        const std::string text = WideToUtf8Text(candidate);
        for (const std::unique_ptr<CEntryTemplate>& entryTemplate : m_templates)
            if (EqualNoCase(WideToUtf8Text(entryTemplate->GetName()), text))
                return true;
        return false;
    };
    if (!taken(name))
        return name;
    for (unsigned long number = 1;; ++number) {
        std::wstring candidate = name + std::to_wstring(number);
        if (!taken(candidate))
            return candidate;
    }
}

CEntryTemplate* CEntryTemplateGroup::AddTemplate(std::unique_ptr<CEntryTemplate> entryTemplate, bool tell, bool save)
{
    if (!entryTemplate)
        return nullptr;
    const std::wstring oldName = entryTemplate->GetName();
    const std::wstring newName = UniqueName(oldName);
    if (newName != oldName && tell)
        platform::ShowMessageBox(FormatResourceText(kStrRenamed, {oldName, newName}), platform::kMbOk);
    entryTemplate->SetName(newName);
    if (save)
        entryTemplate->Save(m_keyPath, static_cast<int>(m_templates.size()));
    m_templates.push_back(std::move(entryTemplate));
    return m_templates.back().get();
}

void CEntryTemplateGroup::GetTemplateNames(StringList& names, bool marked) const
{
    const std::string marker = marked ? WideToUtf8Text(LoadResourceText(kStrCommonMarker)) : std::string();
    for (const std::unique_ptr<CEntryTemplate>& entryTemplate : m_templates)
        names.Add(WideToUtf8Text(entryTemplate->GetName()) + marker);
}

bool CEntryTemplateGroup::SaveAll()
{
    CStdRegistry key(RegRoot::CurrentUser, false);
    key.DeleteKey(m_keyPath);
    if (!key.CreateKey(m_keyPath))
        return false;
    bool ok = true;
    int position = 0;
    for (std::unique_ptr<CEntryTemplate>& entryTemplate : m_templates)
        ok = entryTemplate->Save(m_keyPath, position++) && ok;
    return ok;
}

std::unique_ptr<CEntryTemplate> CEntryTemplateGroup::RemoveTemplate(const CEntryTemplate* entryTemplate,
                                                                    bool deleteKey)
{
    for (auto it = m_templates.begin(); it != m_templates.end(); ++it) {
        if (it->get() != entryTemplate)
            continue;
        if (deleteKey)
            (*it)->DeleteFromRegistry();
        std::unique_ptr<CEntryTemplate> removed = std::move(*it);
        m_templates.erase(it);
        return removed;
    }
    return nullptr;
}

void CEntryTemplateGroup::SwapTemplates(size_t first, size_t second)
{
    if (first == second || first < 1 || second < 1 || first > m_templates.size() || second > m_templates.size())
        return;
    std::swap(m_templates[first - 1], m_templates[second - 1]);
}

CEntryTemplateGroup& GetGlobalTemplates()
{
    static CEntryTemplateGroup group;
    return group;
}

void LoadGlobalTemplates()
{
    CEntryTemplateGroup& group = GetGlobalTemplates();
    group.SetName(L"Common Templates");
    group.Load(std::wstring(kProfilesKey) + kCommonTemplatesKey);
}
