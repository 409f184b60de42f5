#pragma once
// The bytes a hex editor shows and the caret moving over them, without a
// window: an offset column, a hex column and a text column, bytesPerRow bytes
// a row. The caret stands on a byte (0 .. size; size is the slot after the
// last byte, where typing appends); in the hex column it also stands on the
// byte's high or low digit. Typing in insert mode adds bytes, in overwrite
// mode replaces them.

#include <cstddef>
#include <string>

namespace dialogcore {

class HexEditBuffer {
public:
    enum class Column { Hex, Text };
    enum class Key {
        Left, Right, Up, Down, Home, End, CtrlHome, CtrlEnd, PageUp, PageDown,
        Insert, Delete, Backspace, Tab
    };

    explicit HexEditBuffer(size_t bytesPerRow = 16);

    // New bytes; the caret goes to the first digit of the first byte.
    void SetData(const std::string& bytes);
    const std::string& GetData() const { return m_bytes; }
    size_t GetSize() const { return m_bytes.size(); }

    size_t GetCaret() const { return m_caret; }
    // 0 on the high digit, 1 on the low one (always 0 in the text column).
    int GetDigit() const { return m_digit; }
    Column GetColumn() const { return m_column; }
    bool IsInsertMode() const { return m_insert; }
    void SetInsertMode(bool insert) { m_insert = insert; }
    // Moves the caret (clamped to the size); the digit goes to 0.
    void SetCaret(size_t position, Column column);

    size_t GetBytesPerRow() const { return m_bytesPerRow; }
    // Rows one PgUp or PgDn moves; at least 1.
    void SetPageRows(size_t rows) { m_pageRows = rows ? rows : 1; }
    // Rows shown: every full or partial row of bytes plus the row of the
    // append slot when it starts a row of its own.
    size_t GetRowCount() const { return m_bytes.size() / m_bytesPerRow + 1; }
    size_t GetCaretRow() const { return m_caret / m_bytesPerRow; }

    // False when the key changed nothing (an arrow at the edge).
    bool PressKey(Key key);
    // A hex digit in the hex column, a character from ' ' to '~' in the text
    // column; false (nothing changes) for anything else.
    bool TypeChar(char32_t ch);
    // Set by every change of the bytes, cleared by SetData.
    bool IsModified() const { return m_modified; }

    // "%08X" of the row's first offset.
    std::string OffsetText(size_t row) const;
    // The row's bytes as "XX " groups, and as characters ('.' for bytes that
    // are not printable ASCII).
    std::string HexText(size_t row) const;
    std::string CharText(size_t row) const;

    // The first row to show so that the caret's row is inside a window of
    // visibleRows rows that now starts at top.
    size_t ScrollTopFor(size_t top, size_t visibleRows) const;

private:
    bool MoveTo(size_t caret, int digit);
    bool TypeByte(unsigned char value);
    bool TypeHexDigit(int digit);

    std::string m_bytes;
    size_t m_bytesPerRow;
    size_t m_pageRows = 8;
    size_t m_caret = 0;
    int m_digit = 0;
    Column m_column = Column::Hex;
    bool m_insert = false;
    bool m_modified = false;
};

} // namespace dialogcore
