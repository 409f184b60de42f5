#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogcore/HexEditBuffer.h"

using dialogcore::HexEditBuffer;
using Key = HexEditBuffer::Key;
using Column = HexEditBuffer::Column;

namespace {

// One step: a key, or characters typed one by one.
struct Step {
    Step(Key k) : isKey(true), key(k) {}
    Step(const char* t) : isKey(false), key(Key::Left), text(t) {}
    bool isKey;
    Key key;
    std::string text;
};

struct Case {
    const char* name;
    std::string start;
    std::vector<Step> steps;
    std::string bytes;
    size_t caret;
    int digit;
    Column column;
};

const std::string k20 = std::string("0123456789abcdefGHIJ");  // 20 bytes: rows of 16 and 4

void Play(HexEditBuffer& buffer, const std::vector<Step>& steps)
{
    for (const Step& s : steps) {
        if (s.isKey)
            buffer.PressKey(s.key);
        else
            for (char c : s.text) buffer.TypeChar(static_cast<unsigned char>(c));
    }
}

} // namespace

TEST(HexEditBuffer, KeyTable)
{
    const std::vector<Case> cases = {
        {"overwrite two digits", "\x01\x02", {"ab"}, "\xAB\x02", 1, 0, Column::Hex},
        {"one digit stays halfway", "\x01\x02", {"F"}, "\xF1\x02", 0, 1, Column::Hex},
        {"typing at the end appends", "\x01", {Key::CtrlEnd, "7f"}, "\x01\x7F", 2, 0, Column::Hex},
        {"empty value takes bytes", "", {"0a0B"}, "\x0A\x0B", 2, 0, Column::Hex},
        {"insert mode inserts", "\x01\x02", {Key::Insert, Key::Right, Key::Right, "ff"}, "\x01\xFF\x02", 2, 0,
         Column::Hex},
        {"insert halfway then backspace takes the byte back", "\x01\x02", {Key::Insert, "e", Key::Backspace},
         "\x01\x02", 0, 0, Column::Hex},
        {"non-hex characters are ignored", "\x01", {"xyz-"}, "\x01", 0, 0, Column::Hex},
        {"delete removes the byte under the caret", "\x01\x02\x03", {Key::Right, Key::Right, Key::Delete},
         std::string("\x01\x03", 2), 1, 0, Column::Hex},
        {"delete at the end does nothing", "\x01", {Key::CtrlEnd, Key::Delete}, "\x01", 1, 0, Column::Hex},
        {"backspace removes the byte before", "\x01\x02\x03", {Key::CtrlEnd, Key::Backspace},
         "\x01\x02", 2, 0, Column::Hex},
        {"backspace at the start does nothing", "\x01", {Key::Backspace}, "\x01", 0, 0, Column::Hex},
        {"tab to text and type", "\x01\x02", {Key::Tab, "Hi"}, "Hi", 2, 0, Column::Text},
        {"text column inserts in insert mode", "ab", {Key::Tab, Key::Insert, Key::Right, "X"}, "aXb", 2, 0,
         Column::Text},
        {"text column takes printable ASCII only", "ab", {Key::Tab, "\t\x7F"}, "ab", 0, 0, Column::Text},
        {"tab back to hex starts on the high digit", "ab", {"6", Key::Tab, Key::Tab}, "ab", 0, 0, Column::Hex},
        {"left and right step by digit in hex", "\x01\x02", {Key::Right, Key::Right, Key::Right}, "\x01\x02", 1, 1,
         Column::Hex},
        {"left from a high digit goes to the low digit before", "\x01\x02", {Key::Right, Key::Right, Key::Left},
         "\x01\x02", 0, 1, Column::Hex},
        {"left at the start stays", "\x01", {Key::Left}, "\x01", 0, 0, Column::Hex},
        {"right stops at the append slot", "\x01", {Key::Right, Key::Right, Key::Right, Key::Right}, "\x01", 1, 0,
         Column::Hex},
        {"down and up keep the column", k20, {Key::Right, Key::Right, Key::Down}, k20, 17, 0, Column::Hex},
        {"down past a short last row lands on the append slot", k20,
         {Key::Tab, Key::End, Key::Down}, k20, 20, 0, Column::Text},
        {"down on the last row stays", k20, {Key::Down, Key::Down}, k20, 16, 0, Column::Hex},
        {"up on the first row stays", k20, {Key::Right, Key::Up}, k20, 0, 1, Column::Hex},
        {"end goes to the row's last digit", k20, {Key::End}, k20, 15, 1, Column::Hex},
        {"home goes to the row's start", k20, {Key::Down, Key::Right, Key::Right, Key::Home}, k20, 16, 0,
         Column::Hex},
        {"ctrl+end and ctrl+home", k20, {Key::CtrlEnd}, k20, 20, 0, Column::Hex},
        {"page keys move by page rows and stop at the edges", k20, {Key::PageDown, Key::PageDown, Key::PageUp},
         k20, 0, 0, Column::Hex},
    };
    for (const Case& c : cases) {
        HexEditBuffer buffer(16);
        buffer.SetData(c.start);
        Play(buffer, c.steps);
        EXPECT_EQ(buffer.GetData(), c.bytes) << c.name;
        EXPECT_EQ(buffer.GetCaret(), c.caret) << c.name;
        EXPECT_EQ(buffer.GetDigit(), c.digit) << c.name;
        EXPECT_EQ(buffer.GetColumn(), c.column) << c.name;
    }
}

TEST(HexEditBuffer, ModifiedByEditsNotByMoves)
{
    HexEditBuffer buffer;
    buffer.SetData("ab");
    for (Key k : {Key::Right, Key::End, Key::Tab, Key::Insert, Key::CtrlHome, Key::PageDown}) buffer.PressKey(k);
    EXPECT_FALSE(buffer.IsModified());
    buffer.TypeChar('a');  // the same byte typed over itself is still an edit
    EXPECT_TRUE(buffer.IsModified());
    buffer.SetData("cd");
    EXPECT_FALSE(buffer.IsModified());
}

TEST(HexEditBuffer, PagesOverManyRows)
{
    HexEditBuffer buffer(4);
    buffer.SetData(std::string(40, 'x'));  // rows 0..10, the last one the append slot
    buffer.SetPageRows(3);
    buffer.SetCaret(1, Column::Hex);
    buffer.PressKey(Key::PageDown);
    EXPECT_EQ(buffer.GetCaret(), 13u);
    buffer.PressKey(Key::PageDown);
    buffer.PressKey(Key::PageDown);
    buffer.PressKey(Key::PageDown);  // only one row left: the append slot row
    EXPECT_EQ(buffer.GetCaret(), 40u);
    EXPECT_FALSE(buffer.PressKey(Key::PageDown));
    buffer.PressKey(Key::PageUp);
    EXPECT_EQ(buffer.GetCaret(), 28u);
    EXPECT_EQ(buffer.ScrollTopFor(0, 4), 4u);   // row 7 at the bottom of rows 4..7
    EXPECT_EQ(buffer.ScrollTopFor(9, 4), 7u);   // scrolled past: the caret's row comes first
    EXPECT_EQ(buffer.ScrollTopFor(5, 4), 5u);   // already in view
}

TEST(HexEditBuffer, RowTexts)
{
    HexEditBuffer buffer(4);
    buffer.SetData(std::string("A\x00~\x7F\xFFz", 6));
    EXPECT_EQ(buffer.GetRowCount(), 2u);
    EXPECT_EQ(buffer.OffsetText(1), "00000004");
    EXPECT_EQ(buffer.HexText(0), "41 00 7E 7F ");
    EXPECT_EQ(buffer.CharText(0), "A.~.");
    EXPECT_EQ(buffer.HexText(1), "FF 7A ");
    EXPECT_EQ(buffer.CharText(1), ".z");

    buffer.SetData(std::string(8, 'q'));  // a full last row: the append slot starts a row
    EXPECT_EQ(buffer.GetRowCount(), 3u);
    EXPECT_EQ(buffer.HexText(2), "");
}

TEST(HexEditBuffer, ZeroBytesAndEveryByteValueSurviveEditing)
{
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    HexEditBuffer buffer;
    buffer.SetData(all);
    buffer.SetCaret(0, Column::Hex);
    buffer.TypeChar('0');
    buffer.TypeChar('0');  // overwrite 00 with 00
    EXPECT_EQ(buffer.GetData(), all);
    buffer.PressKey(Key::Insert);
    buffer.TypeChar('0');
    buffer.TypeChar('0');
    EXPECT_EQ(buffer.GetData(), std::string(1, '\0') + all);
}
