#pragma once
// The plug-in mapping sheet: one lookup page per kind of key, in the
// program's dialog font, its placement kept in the settings section
// "PluginManager". The plug-in manager decides what OK and Cancel mean.

#include <string>

#include "model/plugins/PluginSheetPort.h"
#include "widgets/CResizableSheet.h"

class CPluginLookupPage;

constexpr unsigned kIdiPluginSheet = 138;
// No context of its own in the help's context table.
constexpr unsigned kHelpContextPluginOptionsSheet = 0;

class CPluginOptionsSheet : public CResizableSheet {
public:
    // first: the first page (may be null); pages are then added with AddLookupPage.
    CPluginOptionsSheet(const wxString& caption, wxWindow* parent, const PluginLookupPageSetup* first = nullptr);

    CPluginLookupPage* AddLookupPage(const wxString& heading, const wxString& caption, PluginSupportedTable& supported,
                                     PluginChosenTable& chosen, bool showUnresolvedOnly);
    CPluginLookupPage* GetLookupPage(int index) const;

protected:
    bool OnInitDialog() override;
};

// The port the plug-in manager opens the sheet through.
class WxPluginSheetPort : public PluginSheetPort {
public:
    int RunModal(const std::wstring& caption, const std::vector<PluginLookupPageSetup>& pages) override;
};
