#include "shellcore/FrameCommands.h"

#include <algorithm>

const std::vector<uint32_t>& HiddenToolbarCommands()
{
    static const std::vector<uint32_t> kCommands = {32849, 32850, 32852, 32854, 32856, 32857,
                                                    32858, 32876, 32878, 32908, 32909};
    return kCommands;
}

const std::vector<uint32_t>& HiddenMenuCommands()
{
    static const std::vector<uint32_t> kCommands = {32854, 32908, 32909, 32878};
    return kCommands;
}

bool IsHiddenToolbarCommand(uint32_t command)
{
    const auto& c = HiddenToolbarCommands();
    return std::find(c.begin(), c.end(), command) != c.end();
}

bool IsHiddenMenuCommand(uint32_t command)
{
    const auto& c = HiddenMenuCommands();
    return std::find(c.begin(), c.end(), command) != c.end();
}

size_t FillRangeMenu(platform::PopupMenu& menu, const CommandRange& range, const std::vector<std::wstring>& texts)
{
    menu = platform::PopupMenu();
    size_t n = std::min(texts.size(), range.Capacity());
    for (size_t i = 0; i < n; ++i)
        menu.AppendItem(range.first + static_cast<uint32_t>(i), texts[i]);
    return n;
}

TemplateChoice ChooseTemplate(uint32_t command, size_t serverCount, size_t globalCount)
{
    TemplateChoice choice;
    if (!kTemplateCommands.Contains(command))
        return choice;
    size_t k = kTemplateCommands.IndexOf(command);
    if (k < serverCount) {
        choice.found = true;
        choice.index = k;
    } else if (k - serverCount < globalCount) {
        choice.found = true;
        choice.global = true;
        choice.index = k - serverCount;
    }
    return choice;
}
