#include <gtest/gtest.h>

#include <string>

#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/RememberedAnswers.h"
#include "tests/support/TempHome.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

class RememberedAnswersTest : public testsupport::TempHomeTest {
protected:
    void StoreRaw(int confirmation, uint32_t value)
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(g_strSettingsKey + g_strConfirmationsKey));
        ASSERT_TRUE(key.Write(std::to_wstring(confirmation), value));
    }
};

TEST(ButtonSets, ResultsAndTextsByPosition)
{
    struct Case {
        int set;
        int results[3];
        std::vector<unsigned> texts;
    } cases[] = {
        {kSetOk, {kIdOk, 0, 0}, {144}},
        {kSetOkCancel, {kIdOk, kIdCancel, 0}, {144, 146}},
        {kSetAbortRetryIgnore, {kIdAbort, kIdRetry, kIdIgnore}, {135, 137, 140}},
        {kSetYesNoCancel, {kIdYes, kIdNo, kIdCancel}, {148, 151, 146}},
        {kSetYesNo, {kIdYes, kIdNo, 0}, {148, 151}},
        {kSetRetryCancel, {kIdRetry, kIdCancel, 0}, {137, 146}},
    };
    for (const Case& c : cases) {
        for (int p = 1; p <= 3; ++p) EXPECT_EQ(ResultForButton(c.set, p), c.results[p - 1]) << c.set << " " << p;
        EXPECT_EQ(ButtonTextIds(c.set), c.texts) << c.set;
        EXPECT_EQ(ButtonCount(c.set), static_cast<int>(c.texts.size()));
    }
    EXPECT_EQ(ButtonCount(9), 0);
    EXPECT_EQ(ResultForButton(9, 1), 0);
}

// What a stored value means for a box: a result given at once, or 0 (ask).
TEST_F(RememberedAnswersTest, StoredValuesReplayOnlyButtonsTheBoxHas)
{
    struct Case {
        uint32_t stored;
        uint32_t style;
        int expected;
    } cases[] = {
        {1, kSetYesNo, kIdYes},
        {2, kSetYesNo, kIdNo},
        {3, kSetYesNoCancel, kIdCancel},
        {2, kSetOkCancel | 0x30, kIdCancel},
        // A third button that a Yes/No box does not have asks again.
        {3, kSetYesNo, 0},
        {2, kSetOk, 0},
        {0, kSetYesNo, 0},
        {4, kSetYesNo, 0},
        {0xFFFFFFFFu, kSetYesNo, 0},
    };
    int number = 10;
    for (const Case& c : cases) {
        StoreRaw(number, c.stored);
        EXPECT_EQ(RememberedResult(c.style, number), c.expected) << "stored " << c.stored << " style " << c.style;
        ++number;
    }
    EXPECT_EQ(RememberedResult(kSetYesNo, 99), 0);  // never stored
}

TEST_F(RememberedAnswersTest, RememberingMakesTheStoreAndKeepsOthers)
{
    EXPECT_EQ(ReadRememberedAnswer(5), -1);
    RememberAnswer(5, 2);
    RememberAnswer(3, 1);
    EXPECT_EQ(ReadRememberedAnswer(5), 2);
    EXPECT_EQ(ReadRememberedAnswer(3), 1);
    RegistryKey key(RegRoot::CurrentUser, true);
    ASSERT_TRUE(key.Open(L"Software\\Vellumar\\Arbolite\\Settings\\Confirmations\\"));
    uint32_t value = 0;
    EXPECT_TRUE(key.Read(L"5", value));
    EXPECT_EQ(value, 2u);
}

TEST(CheckBoxLayout, ButtonsCentredBelowTheCheckBox)
{
    CheckBoxLayoutInput in;
    in.iconWidth = 32;
    in.textWidth = 300;
    in.textHeight = 40;
    in.checkWidth = 150;
    in.checkHeight = 20;
    in.buttonWidth = 80;
    in.buttonHeight = 25;
    in.buttons = 2;
    CheckBoxLayout l = ComputeCheckBoxLayout(in);
    EXPECT_EQ(l.text.left, 56);
    EXPECT_EQ(l.text.top, 12);
    EXPECT_EQ(l.text.right, 56 + 300 + 5);
    EXPECT_EQ(l.check.left, 56);
    EXPECT_EQ(l.check.top, 12 + 40 + 12);
    EXPECT_EQ(l.width, 361 + 12);
    ASSERT_EQ(l.buttons.size(), 2u);
    EXPECT_EQ(l.buttons[0].left, (373 - (160 + 12)) / 2);
    EXPECT_EQ(l.buttons[1].left, l.buttons[0].left + 86);
    EXPECT_EQ(l.buttons[0].top, l.check.bottom + 12);
    EXPECT_EQ(l.height, l.check.bottom + 25 + 48);

    // A narrow message: the buttons start at the margin and widen the box.
    in.iconWidth = 0;
    in.textWidth = 20;
    in.checkWidth = 40;
    in.buttons = 3;
    l = ComputeCheckBoxLayout(in);
    EXPECT_EQ(l.buttons[0].left, 12);
    EXPECT_EQ(l.width, l.buttons[2].right + 18);

    EXPECT_EQ(LimitedTextWidth(2000, 1200), 800);
    EXPECT_EQ(LimitedTextWidth(300, 1200), 300);
}

} // namespace
