#pragma once
// The plug-in mapping sheet for tests without a display: records what it was
// opened with, lets the test pick plug-ins in the tables as a user would,
// and answers OK or Cancel.

#include <functional>
#include <string>
#include <vector>

#include "model/plugins/PluginSheetPort.h"

namespace testsupport {

class ScriptedPluginSheet : public PluginSheetPort {
public:
    struct Opened {
        std::wstring caption;
        std::vector<PluginLookupPageSetup> pages;
    };

    int RunModal(const std::wstring& caption, const std::vector<PluginLookupPageSetup>& pages) override
    {
        opened.push_back({caption, pages});
        if (edit) edit(pages);
        return answer;
    }

    std::vector<Opened> opened;
    std::function<void(const std::vector<PluginLookupPageSetup>&)> edit;
    int answer = 2;
};

} // namespace testsupport
