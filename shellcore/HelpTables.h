#pragma once
// The help's lookups without a display: the application's two tables (the
// popup topic of each command in "Menus.txt", the help context of each
// window), the fixed contexts, the topics of a popup file, and the choice
// context help makes for a point the user clicked in the main window.

#include <cstddef>
#include <cstdint>
#include <string>

// One pair of a help table: a control, command or window id and its topic
// or context number. A table ends with the pair (0, 0).
struct HelpIdPair {
    uint32_t id;
    uint32_t value;
};

// The value paired with the id among the pairs within tableBytes, the first
// match winning; 0 when the id has none. The end pair stops the scan.
uint32_t LookUpHelpId(const HelpIdPair* table, size_t tableBytes, uint32_t id);

namespace help {

// The popup file of the main window's commands, and its table.
extern const char* const kMenusPopupFile;
// The popup file of the main window's parts (topics 3-6 below).
extern const char* const kMainWindowPopupFile;
extern const HelpIdPair kCommandPopupTopics[];
extern const size_t kCommandPopupTopicsSize;  // in bytes
// Window or dialog resource id to help context.
extern const HelpIdPair kWindowContexts[];
extern const size_t kWindowContextsSize;  // in bytes

// Contexts the program opens by number.
constexpr uint32_t kContextMainWindow = 1;
constexpr uint32_t kContextTopics = 7;       // Help Topics
constexpr uint32_t kContextIndex = 51;       // the help index command
constexpr uint32_t kContextUpdateDialog = 55;
// Popup topics of the main window's parts in "Menus.txt".
constexpr uint32_t kTopicTree = 3;
constexpr uint32_t kTopicList = 4;
constexpr uint32_t kTopicOutputBar = 5;
constexpr uint32_t kTopicStatusBar = 6;

// The help context of a window or dialog resource id (0: none).
uint32_t WindowHelpContext(uint32_t windowId);

// The text of topic n of a popup file: the lines after ".topic n" up to the
// next ".topic" line, without the blank lines around them. Empty when the
// file has no such topic.
std::string FindPopupTopic(const std::string& fileText, uint32_t topic);

// Where the click of "What's This?" landed in the main window.
enum class ClickedPart { Tree, List, OutputBar, StatusBar, Other };

// A popup topic and the file it is in.
struct PopupChoice {
    const char* file = nullptr;
    uint32_t topic = 0;  // 0: nothing to show
};

// The popup for a click on a part of the main window whose help id is the
// given one: the tree, list and output bar answer for the frame's ids (138,
// 1 and 2), the status bar (or id 2) with its own topic, anything else (a
// toolbar button: its command) with the command's topic in "Menus.txt".
PopupChoice ChooseMainWindowPopup(uint32_t id, ClickedPart part);

} // namespace help
