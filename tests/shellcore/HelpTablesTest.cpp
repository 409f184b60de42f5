#include <gtest/gtest.h>

#include <string>

#include "shellcore/HelpTables.h"

namespace {

TEST(HelpTables, LookUpScansOnlyThePairsWithinTheSizeUpToTheEndPair)
{
    const HelpIdPair table[] = {{10, 1}, {20, 2}, {10, 3}, {0, 0}, {30, 4}};
    struct Case {
        const char* name;
        size_t bytes;
        uint32_t id;
        uint32_t expected;
    } cases[] = {
        {"first pair", sizeof(table), 10, 1},  // the first match wins over the later (10, 3)
        {"second pair", sizeof(table), 20, 2},
        {"missing id", sizeof(table), 99, 0},
        {"after the end pair", sizeof(table), 30, 0},
        {"beyond the size", sizeof(HelpIdPair), 20, 0},
        {"half a pair is no pair", sizeof(HelpIdPair) + 4, 20, 0},
        {"no size", 0, 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LookUpHelpId(table, c.bytes, c.id), c.expected) << c.name;
    EXPECT_EQ(LookUpHelpId(nullptr, 64, 10), 0u);
}

TEST(HelpTables, TheApplicationsTablesGiveTheirNumbers)
{
    struct Case {
        uint32_t id, topic;
    } commands[] = {{57635, 1}, {32855, 7}, {32771, 17}, {59392, 17}, {32801, 17}, {32885, 17},
                    {32890, 41}, {32770, 32}, {32925, 44}, {32920, 0}, {138, 0}};
    for (const Case& c : commands)
        EXPECT_EQ(LookUpHelpId(help::kCommandPopupTopics, help::kCommandPopupTopicsSize, c.id), c.topic) << c.id;
    Case windows[] = {{138, 1}, {330, 14}, {347, 33}, {351, 33}, {456, 46}, {102, 56}, {606, 54}, {685, 0}, {650, 0}};
    for (const Case& c : windows)
        EXPECT_EQ(help::WindowHelpContext(c.id), c.topic) << c.id;
}

TEST(HelpTables, APopupTopicIsTheTextUpToTheNextTopic)
{
    const std::string file = "; comment before any topic\r\n"
                             ".topic 1\r\n"
                             "\r\n"
                             "Cut\r\n"
                             "Removes the selection.\r\n"
                             "\r\n"
                             "\r\n"
                             "Second paragraph.\r\n"
                             "\r\n"
                             "  .topic 10\n"
                             "Ten\n"
                             ".topic x\n"
                             "not a topic of its own\n"
                             ".topic 3\n"
                             "\n"
                             ".topic 4\n"
                             "Last";
    struct Case {
        uint32_t topic;
        const char* expected;
    } cases[] = {
        {1, "Cut\nRemoves the selection.\n\n\nSecond paragraph."},
        {10, "Ten"},  // its text ends at the malformed topic line
        {3, ""},      // a topic without text shows nothing
        {4, "Last"},  // no line end at the end of the file
        {2, ""},
        {0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(help::FindPopupTopic(file, c.topic), c.expected) << c.topic;
}

TEST(HelpTables, AClickInTheMainWindowChoosesThePopupOfThePartClicked)
{
    using help::ClickedPart;
    struct Case {
        uint32_t id;
        ClickedPart part;
        const char* file;
        uint32_t topic;
    } cases[] = {
        {138, ClickedPart::Tree, help::kMainWindowPopupFile, 3},
        {1, ClickedPart::List, help::kMainWindowPopupFile, 4},
        {2, ClickedPart::OutputBar, help::kMainWindowPopupFile, 5},
        {138, ClickedPart::StatusBar, help::kMainWindowPopupFile, 6},
        {32842, ClickedPart::StatusBar, help::kMainWindowPopupFile, 6},
        {2, ClickedPart::Other, help::kMainWindowPopupFile, 6},
        {32842, ClickedPart::Tree, help::kMenusPopupFile, 20},  // a button over the tree answers for itself
        {32899, ClickedPart::Other, help::kMenusPopupFile, 42},
        {138, ClickedPart::Other, help::kMenusPopupFile, 0},
    };
    for (const Case& c : cases) {
        const help::PopupChoice choice = help::ChooseMainWindowPopup(c.id, c.part);
        EXPECT_STREQ(choice.file, c.file) << c.id;
        EXPECT_EQ(choice.topic, c.topic) << c.id;
    }
}

} // namespace
