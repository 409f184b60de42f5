#pragma once
// Command ids of the main window and the rules that go with them: the
// commands hidden from the toolbars and menus, and the ranges of ids given
// to the items of the drop-down lists (favourites, entry templates, history).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PopupMenu.h"

namespace cmd {
// The framework's standard commands, with their usual numbers.
constexpr uint32_t kFileNew = 57600;
constexpr uint32_t kFileOpen = 57601;
constexpr uint32_t kFileSave = 57603;
constexpr uint32_t kFilePrint = 57607;
constexpr uint32_t kEditClear = 57632;
constexpr uint32_t kEditCopy = 57634;
constexpr uint32_t kEditCut = 57635;
constexpr uint32_t kEditPaste = 57637;
constexpr uint32_t kEditUndo = 57643;
constexpr uint32_t kAppAbout = 57664;
constexpr uint32_t kAppExit = 57665;
constexpr uint32_t kHelpFinder = 57667;
constexpr uint32_t kContextHelp = 57669;
constexpr uint32_t kHelp = 57670;
constexpr uint32_t kDefaultHelp = 57671;
constexpr uint32_t kViewToolbar = 59392;
constexpr uint32_t kViewStatusBar = 59393;
constexpr uint32_t kViewSmallIcon = 59408;
constexpr uint32_t kViewLargeIcon = 59409;
constexpr uint32_t kViewList = 59410;
constexpr uint32_t kViewDetails = 59411;
constexpr uint32_t kViewLineUp = 59412;
constexpr uint32_t kViewByName = 59413;

// The program's own.
constexpr uint32_t kTipOfTheDay = 181;
constexpr uint32_t kCustomize = 32770;
constexpr uint32_t kToolbarList = 32771;  // placeholder of the toolbar list
constexpr uint32_t kSecondToolbar = 32773;  // the second toolbar's id
constexpr uint32_t kOutputBar = 32801;
constexpr uint32_t kRefresh = 32832;
constexpr uint32_t kDelete = 32833;
constexpr uint32_t kToggleBookmark = 32837;
constexpr uint32_t kNextBookmark = 32838;
constexpr uint32_t kPrevBookmark = 32839;
constexpr uint32_t kClearBookmarks = 32840;
constexpr uint32_t kHideOutput = 32841;
constexpr uint32_t kProperties = 32842;
constexpr uint32_t kNewServerProfile = 32845;
constexpr uint32_t kEntryTemplates = 32849;
constexpr uint32_t kRename = 32850;
constexpr uint32_t kExportLDIF = 32855;
constexpr uint32_t kAbort = 32861;
constexpr uint32_t kNothing = 32862;
constexpr uint32_t kUpOneLevel = 32863;
constexpr uint32_t kSaveValue = 32865;
constexpr uint32_t kGoToDN = 32866;
constexpr uint32_t kFavorites = 32870;
constexpr uint32_t kFavoritesPlaceholder = 32871;
constexpr uint32_t kReconnect = 32875;
constexpr uint32_t kTemplatesPlaceholder = 32877;
constexpr uint32_t kRemoveMessage = 32881;
constexpr uint32_t kOpenValue = 32882;
constexpr uint32_t kDeleteSelected = 32883;
constexpr uint32_t kSecondToolbarToggle = 32885;
constexpr uint32_t kWebSite = 32887;
constexpr uint32_t kSupportRequest = 32888;
constexpr uint32_t kBugReport = 32889;
constexpr uint32_t kSuggestion = 32890;
constexpr uint32_t kOptions = 32897;
constexpr uint32_t kCheckForUpdates = 32898;
constexpr uint32_t kBack = 32899;
constexpr uint32_t kForward = 32900;
constexpr uint32_t kBackPlaceholder = 32901;
constexpr uint32_t kForwardPlaceholder = 32902;
constexpr uint32_t kHelpIndex = 32920;
constexpr uint32_t kApplyFilter = 32922;
constexpr uint32_t kRemoveFilter = 32925;
constexpr uint32_t kSortDescending = 32927;
constexpr uint32_t kSortAscending = 32928;
constexpr uint32_t kSchemaViewer = 32929;
constexpr uint32_t kLoadValue = 32930;  // load the selected binary value from a file

// Status-bar panes.
constexpr uint32_t kPaneServer = 59143;   // status text 1 and icon 384
constexpr uint32_t kPaneSchema = 59140;   // status text 2
constexpr uint32_t kPaneSecure = 59394;   // icon 300 or 302
} // namespace cmd

// Removed from the second toolbar.
const std::vector<uint32_t>& HiddenToolbarCommands();
// Removed from every submenu of the main menu.
const std::vector<uint32_t>& HiddenMenuCommands();
bool IsHiddenToolbarCommand(uint32_t command);
bool IsHiddenMenuCommand(uint32_t command);

// A block of command ids for the items of one drop-down list.
struct CommandRange {
    uint32_t first;
    uint32_t last;

    size_t Capacity() const { return static_cast<size_t>(last - first) + 1; }
    bool Contains(uint32_t id) const { return id >= first && id <= last; }
    size_t IndexOf(uint32_t id) const { return id - first; }
};

constexpr CommandRange kFavoriteCommands{3584, 4095};
constexpr CommandRange kTemplateCommands{4096, 4607};
constexpr CommandRange kHistoryBackCommands{4608, 4808};
constexpr CommandRange kHistoryForwardCommands{4809, 5009};

// Replaces the menu's items by one item per text, ids from the range's
// first in order. A list longer than the range is cut at its end, so no id
// reaches the next range. Returns the number of items made.
size_t FillRangeMenu(platform::PopupMenu& menu, const CommandRange& range, const std::vector<std::wstring>& texts);

// Which template an entry-template command names: the server's templates
// are counted first, then the global ones.
struct TemplateChoice {
    bool found = false;
    bool global = false;
    size_t index = 0;
};
TemplateChoice ChooseTemplate(uint32_t command, size_t serverCount, size_t globalCount);
