// The command table and the menus every node builds.

#include <gtest/gtest.h>

#include "model/nodes/CErrorObject.h"
#include "model/nodes/CInformationObject.h"
#include "tests/model/nodes/ModelTestSupport.h"

namespace {

using modeltest::ModelUi;
using modeltest::TestNode;
using modeltest::Text;

constexpr uint32_t kGrayed = platform::kMenuGrayed | platform::kMenuDisabled;

// One line per item: "command text flags", "-" for a separator.
std::vector<std::wstring> Describe(const platform::PopupMenu& menu)
{
    std::vector<std::wstring> out;
    for (const platform::MenuItem& item : menu.Items())
        out.push_back(item.IsSeparator() ? L"-"
                                         : std::to_wstring(item.command) + L" " + item.text + L" " +
                                               std::to_wstring(item.flags));
    return out;
}

std::wstring Item(uint32_t command, unsigned stringId, uint32_t flags = platform::kMenuEnabled)
{
    return std::to_wstring(command) + L" " + Text(stringId) + L" " + std::to_wstring(flags);
}

TEST(NodeCommands, TheCommandTableHoldsTheStartUpCommandsInOrder)
{
    ModelUi ui;
    CDataObject::InitCommandImages();
    CDataObject::InitCommandImages();  // again: still one table
    const CommandList expected = {{57635, 128}, {57637, 129}, {57634, 130}, {32845, 127},
                                  {32833, 105}, {32855, 141}, {0, 0}};
    EXPECT_EQ(CDataObject::GetCommandTable(), expected);
    for (const CommandEntry& entry : expected) {
        if (entry.command) {
            EXPECT_TRUE(CDataObject::IsCommandListed(entry.command)) << entry.command;
        }
    }
    EXPECT_FALSE(CDataObject::IsCommandListed(32832));  // Refresh is no table command
    EXPECT_FALSE(CDataObject::IsCommandListed(0));      // nor is the separator

    // Every text of the table is in the resource library.
    for (const CommandEntry& entry : expected) {
        if (entry.stringId) {
            EXPECT_FALSE(Text(entry.stringId).empty()) << entry.stringId;
        }
    }
}

TEST(NodeCommands, CommandMenusComeFromTheTableOrTheNodesList)
{
    ModelUi ui;
    TestNode node;
    std::unique_ptr<platform::PopupMenu> all = node.CreateCommandMenu(true);
    EXPECT_EQ(Describe(*all), (std::vector<std::wstring>{Item(57635, 128), Item(57637, 129), Item(57634, 130),
                                                          Item(32845, 127), Item(32833, 105), Item(32855, 141),
                                                          L"-"}));

    std::unique_ptr<platform::PopupMenu> own = node.CreateCommandMenu(false);
    EXPECT_EQ(Describe(*own), (std::vector<std::wstring>{Item(57635, 128), Item(57634, 130), Item(57637, 129)}));

    CommandList list = {{1, 2}};
    EXPECT_EQ(&node.GetCommandList(list), &list);
    EXPECT_EQ(list, (CommandList{{57635, 128}, {57634, 130}, {57637, 129}}));  // replaced, not appended
}

TEST(NodeCommands, ClipboardCommandsFollowTheirFlags)
{
    ModelUi ui;
    TestNode node;
    struct Case {
        uint32_t flags;
        uint32_t cut, copy, paste;
    };
    const Case cases[] = {
        {0, kGrayed, platform::kMenuEnabled, platform::kMenuEnabled},
        {kClipboardCut, platform::kMenuEnabled, kGrayed, platform::kMenuEnabled},
        {kClipboardNoCopyPaste, kGrayed, kGrayed, kGrayed},
        {kClipboardCut | kClipboardNoCopyPaste, platform::kMenuEnabled, kGrayed, kGrayed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        platform::PopupMenu menu;
        node.AppendClipboardCommands(menu, c.flags);
        EXPECT_EQ(Describe(menu), (std::vector<std::wstring>{Item(57635, 128, c.cut), Item(57634, 130, c.copy),
                                                             Item(57637, 129, c.paste)}));
    }
}

TEST(NodeCommands, ContextMenusOfEachKind)
{
    ModelUi ui;
    const std::vector<std::wstring> base = {Item(32832, 133), L"-", Item(57635, 128, kGrayed), Item(57634, 130),
                                            Item(57637, 129), L"-"};
    std::vector<std::wstring> message = base;
    message.push_back(L"-");
    message.push_back(Item(32881, 171));
    message.push_back(Item(32842, 124));

    TestNode node;
    CErrorObject error(32, L"No such object", nullptr);
    CInformationObject information(L"text", L"", nullptr);
    EXPECT_EQ(Describe(*node.BuildContextMenu()), base);
    EXPECT_EQ(Describe(*error.BuildContextMenu()), message);
    EXPECT_EQ(Describe(*information.BuildContextMenu()), message);
}

}  // namespace
