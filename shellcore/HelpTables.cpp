#include "shellcore/HelpTables.h"

#include <sstream>

uint32_t LookUpHelpId(const HelpIdPair* table, size_t tableBytes, uint32_t id)
{
    if (!table) return 0;
    const size_t count = tableBytes / sizeof(HelpIdPair);
    for (size_t i = 0; i < count; ++i) {
        if (table[i].id == 0 && table[i].value == 0) break;
        if (table[i].id == id) return table[i].value;
    }
    return 0;
}

namespace help {

const char* const kMenusPopupFile = "Menus.txt";
const char* const kMainWindowPopupFile = "MainWindow.txt";

const HelpIdPair kCommandPopupTopics[] = {
    {57635, 1},  {57634, 2},  {57637, 3},  {32845, 4},  {32833, 5},  {32854, 6},  {32855, 7},  {57665, 8},
    {32849, 9},  {32850, 10}, {32852, 11}, {32856, 12}, {32857, 13}, {32858, 14}, {32865, 15}, {32864, 16},
    {32771, 17}, {59392, 17}, {32801, 17}, {32885, 17}, {59393, 18}, {32832, 19}, {32842, 20}, {32866, 21},
    {32878, 22}, {32870, 23}, {32897, 24}, {181, 25},   {32898, 26}, {57667, 27}, {57664, 28}, {32887, 29},
    {32888, 30}, {32889, 31}, {32890, 41}, {32770, 32}, {32861, 33}, {32863, 34}, {59409, 35}, {59408, 36},
    {59410, 37}, {59411, 38}, {32875, 39}, {32876, 40}, {32899, 42}, {32900, 43}, {32925, 44}, {0, 0},
};
const size_t kCommandPopupTopicsSize = sizeof(kCommandPopupTopics);

const HelpIdPair kWindowContexts[] = {
    {138, 1},  {255, 8},  {164, 9},  {168, 10}, {170, 11}, {172, 12}, {330, 14}, {322, 15}, {228, 16},
    {230, 17}, {226, 18}, {378, 19}, {397, 21}, {342, 22}, {326, 23}, {248, 24}, {364, 25}, {306, 26},
    {374, 27}, {428, 28}, {204, 29}, {200, 30}, {208, 31}, {202, 32}, {347, 33}, {351, 33}, {394, 34},
    {456, 46}, {102, 56}, {242, 35}, {358, 36}, {370, 37}, {333, 38}, {267, 39}, {289, 40}, {278, 41},
    {285, 42}, {280, 43}, {296, 44}, {259, 45}, {580, 52}, {604, 53}, {606, 54}, {0, 0},
};
const size_t kWindowContextsSize = sizeof(kWindowContexts);

uint32_t WindowHelpContext(uint32_t windowId)
{
    return LookUpHelpId(kWindowContexts, kWindowContextsSize, windowId);
}

namespace {

// The topic number of a ".topic n" line; -1 for any other line,
// -2 for a ".topic" line whose number is not one.
long TopicLineNumber(const std::string& line)
{
    static const std::string kTopic = ".topic";
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, kTopic.size(), kTopic) != 0) return -1;
    std::istringstream in(line.substr(start + kTopic.size()));
    long n = -2;
    if (!(in >> n) || n < 0) return -2;
    return n;
}

bool IsBlank(const std::string& line)
{
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

} // namespace

std::string FindPopupTopic(const std::string& fileText, uint32_t topic)
{
    std::istringstream in(fileText);
    std::string line;
    bool inTopic = false;
    std::string text;
    size_t pendingBlank = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const long n = TopicLineNumber(line);
        if (n != -1) {
            if (inTopic) break;
            inTopic = n == static_cast<long>(topic);
            continue;
        }
        if (!inTopic) continue;
        if (IsBlank(line)) {
            if (!text.empty()) ++pendingBlank;
            continue;
        }
        if (!text.empty()) text.append(pendingBlank ? std::string(pendingBlank + 1, '\n') : "\n");
        pendingBlank = 0;
        text += line;
    }
    return text;
}

PopupChoice ChooseMainWindowPopup(uint32_t id, ClickedPart part)
{
    const bool frameId = id == 138 || id == 1 || id == 2;
    if (frameId && part == ClickedPart::Tree) return {kMainWindowPopupFile, kTopicTree};
    if (frameId && part == ClickedPart::List) return {kMainWindowPopupFile, kTopicList};
    if (frameId && part == ClickedPart::OutputBar) return {kMainWindowPopupFile, kTopicOutputBar};
    if (part == ClickedPart::StatusBar || id == 2) return {kMainWindowPopupFile, kTopicStatusBar};
    return {kMenusPopupFile, LookUpHelpId(kCommandPopupTopics, kCommandPopupTopicsSize, id)};
}

} // namespace help
