// Inline completion's rules without a field: matches ignore case, the
// stored case is taken, nothing completes while characters are removed, nor
// when disabled, nor a change the completion made itself; Ctrl+Enter's format.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellcore/CRecentItemsList.h"
#include "shellcore/InlineCompletion.h"

namespace {

class InlineCompletionTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* text : {L"Alice Example", L"(cn=alice)", L"alpha", L"Bob"})
            m_texts.AddString(text);
    }
    CRecentItemsList m_texts;
};

TEST_F(InlineCompletionTest, MatchesStartIgnoringCase)
{
    CInlineCompletion rules(m_texts, kAutoAppend, L"");
    struct Case {
        const wchar_t* prefix;
        size_t all;
    };
    const Case cases[] = {{L"al", 2}, {L"AL", 2}, {L"ALICE", 1}, {L"b", 1}, {L"", 0}, {L"z", 0}, {L"(CN", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.prefix)));
        std::vector<std::wstring> matches;
        EXPECT_EQ(rules.GetMatches(c.prefix, matches, false), c.all);
        EXPECT_EQ(rules.GetMatches(c.prefix, matches, true), c.all ? 1u : 0u);
    }
}

TEST_F(InlineCompletionTest, TypingCompletesAndBackspacingDoesNot)
{
    CInlineCompletion rules(m_texts, 0x23, L"");
    struct Step {
        const wchar_t* typed;
        bool completes;
        const wchar_t* text;
        long from, to;
    };
    // The user's own keys, one after the other, as the field reports them.
    const Step steps[] = {
        {L"b", true, L"Bob", 1, 3},        // the stored case is taken
        {L"bo", true, L"Bob", 2, 3},       // a key typed over the selection
        {L"b", false, L"", 0, 0},          // Backspace
        {L"", false, L"", 0, 0},           // the field emptied
        {L"ALI", true, L"Alice Example", 3, 13},
        {L"ALIX", false, L"", 0, 0},       // no match
        {L"ALI", false, L"", 0, 0},        // Backspace again
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(s.typed)));
        CompletedText completed;
        ASSERT_EQ(rules.OnTextChanged(s.typed, completed), s.completes);
        if (!s.completes)
            continue;
        EXPECT_EQ(completed.text, s.text);
        EXPECT_EQ(completed.selectFrom, s.from);
        EXPECT_EQ(completed.selectTo, s.to);
    }
}

TEST_F(InlineCompletionTest, DisabledOwnChangesAndWithoutAppendNothingCompletes)
{
    CompletedText completed;
    CInlineCompletion rules(m_texts, kAutoAppend, L"");
    rules.Enable(false);
    EXPECT_FALSE(rules.OnTextChanged(L"b", completed));
    rules.Enable(true);
    {
        CInlineCompletion::OwnChange own(rules);
        EXPECT_FALSE(rules.OnTextChanged(L"bo", completed)) << "its own change was completed again";
    }
    EXPECT_TRUE(rules.OnTextChanged(L"a", completed));

    CInlineCompletion suggestOnly(m_texts, kAutoSuggest | kUpDownDropsList, L"");
    EXPECT_FALSE(suggestOnly.OnTextChanged(L"b", completed));
    EXPECT_TRUE(suggestOnly.OpensListOnUpDown());
}

TEST_F(InlineCompletionTest, CtrlEnterPutsTheTextIntoTheFormat)
{
    struct Case {
        const wchar_t* format;
        const wchar_t* text;
        bool applies;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"(%s)", L"cn=bob", true, L"(cn=bob)"},
        {L"(%s)", L"", true, L"()"},
        {L"", L"cn=bob", false, L""},
        {L"%s%s", L"x", true, L"x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.format)));
        CInlineCompletion rules(m_texts, 0x23, c.format);
        std::wstring result;
        ASSERT_EQ(rules.QuickComplete(c.text, result), c.applies);
        if (c.applies)
            EXPECT_EQ(result, c.result);
    }
    CInlineCompletion disabled(m_texts, 0x23, L"(%s)");
    disabled.Enable(false);
    std::wstring result;
    EXPECT_FALSE(disabled.QuickComplete(L"x", result));
}

} // namespace
