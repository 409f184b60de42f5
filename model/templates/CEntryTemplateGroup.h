#pragma once
// A group of entry templates: the common one that every server shares, or
// the one of a server. Stored in the current user's settings below the
// group's key, one sub-key "%.5d<name>" per template, so that the keys come
// back in the saved order. Used on the user-interface thread.

#include <memory>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "model/templates/CEntryTemplate.h"

class CEntryTemplateGroup {
public:
    typedef std::vector<std::unique_ptr<CEntryTemplate>> TemplateList;

    // Loads the group when the key path is not empty.
    CEntryTemplateGroup(const std::wstring& name = std::wstring(), const std::wstring& keyPath = std::wstring());

    const std::wstring& GetName() const { return m_name; }
    void SetName(const std::wstring& name) { m_name = name; }
    const std::wstring& GetKeyPath() const { return m_keyPath; }
    const TemplateList& GetTemplates() const { return m_templates; }

    // Replaces the templates with those stored below the key; templates that
    // do not load are dropped.
    void Load(const std::wstring& keyPath);
    // Takes the template into the group under a name no other template has
    // (ignoring case): the name itself, else the name followed by 1, 2, ...
    // tell: say so when the name changed. save: write it at the end of the
    // group. Returns it.
    CEntryTemplate* AddTemplate(std::unique_ptr<CEntryTemplate> entryTemplate, bool tell, bool save);
    // Appends each name (UTF-8) in group order; with the flag, followed by
    // the marker of common templates.
    void GetTemplateNames(StringList& names, bool marked) const;
    // Rewrites the group's key whole.
    bool SaveAll();
    // Takes the template out of the group (deleting its key first when
    // asked) and hands it back; null when it is not in the group.
    std::unique_ptr<CEntryTemplate> RemoveTemplate(const CEntryTemplate* entryTemplate, bool deleteKey);
    // Exchanges the templates at two positions counted from 1.
    void SwapTemplates(size_t first, size_t second);

private:
    std::wstring UniqueName(const std::wstring& name) const;

    std::wstring m_name;
    std::wstring m_keyPath;
    TemplateList m_templates;
};

// The common group, which lives for the whole run.
CEntryTemplateGroup& GetGlobalTemplates();
// The start-up step: the common group from "Common Templates\" below the
// profiles key.
void LoadGlobalTemplates();
