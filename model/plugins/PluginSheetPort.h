#pragma once
// The plug-in mapping sheet as the plug-in manager opens it: one page per
// kind, each working on the manager's tables directly. The program installs
// the toolkit's sheet; tests script it. Without a port the sheet counts as
// cancelled.

#include <memory>
#include <string>
#include <vector>

#include "model/plugins/PluginTables.h"

struct PluginLookupPageSetup {
    std::wstring heading;  // the key list's heading
    std::wstring caption;  // the page's tab
    PluginSupportedTable* supported = nullptr;
    PluginChosenTable* chosen = nullptr;
    bool showUnresolvedOnly = false;
};

class PluginSheetPort {
public:
    virtual ~PluginSheetPort() = default;
    // Modal; 1 for OK, 2 for Cancel.
    virtual int RunModal(const std::wstring& caption, const std::vector<PluginLookupPageSetup>& pages) = 0;
};

// The process-wide sheet; the setter returns the previous one.
std::shared_ptr<PluginSheetPort> SetPluginSheetPort(std::shared_ptr<PluginSheetPort> port);
std::shared_ptr<PluginSheetPort> GetPluginSheetPort();
// Through the current port; 2 (cancelled) without one.
int RunPluginSheet(const std::wstring& caption, const std::vector<PluginLookupPageSetup>& pages);
