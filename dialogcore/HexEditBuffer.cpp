#include "dialogcore/HexEditBuffer.h"

#include <algorithm>
#include <cstdio>

namespace dialogcore {

namespace {

int HexValue(char32_t ch)
{
    if (ch >= '0' && ch <= '9') return static_cast<int>(ch - '0');
    if (ch >= 'a' && ch <= 'f') return static_cast<int>(ch - 'a' + 10);
    if (ch >= 'A' && ch <= 'F') return static_cast<int>(ch - 'A' + 10);
    return -1;
}

} // namespace

HexEditBuffer::HexEditBuffer(size_t bytesPerRow) : m_bytesPerRow(bytesPerRow ? bytesPerRow : 16) {}

void HexEditBuffer::SetData(const std::string& bytes)
{
    m_bytes = bytes;
    m_caret = 0;
    m_digit = 0;
    m_modified = false;
}

void HexEditBuffer::SetCaret(size_t position, Column column)
{
    m_caret = std::min(position, m_bytes.size());
    m_column = column;
    m_digit = 0;
}

bool HexEditBuffer::MoveTo(size_t caret, int digit)
{
    caret = std::min(caret, m_bytes.size());
    if (caret == m_bytes.size() || m_column == Column::Text) digit = 0;
    if (caret == m_caret && digit == m_digit) return false;
    m_caret = caret;
    m_digit = digit;
    return true;
}

bool HexEditBuffer::PressKey(Key key)
{
    const size_t size = m_bytes.size();
    const size_t row = m_caret / m_bytesPerRow;
    const size_t rowStart = row * m_bytesPerRow;
    const size_t lastRow = size / m_bytesPerRow;
    const bool hex = m_column == Column::Hex;
    switch (key) {
    case Key::Left:
        if (hex && m_digit == 1) return MoveTo(m_caret, 0);
        if (m_caret == 0) return false;
        return MoveTo(m_caret - 1, hex ? 1 : 0);
    case Key::Right:
        if (hex && m_digit == 0 && m_caret < size) return MoveTo(m_caret, 1);
        return MoveTo(m_caret + 1, 0);
    case Key::Up:
        if (row == 0) return false;
        return MoveTo(m_caret - m_bytesPerRow, m_digit);
    case Key::Down:
        if (row == lastRow) return false;
        return MoveTo(m_caret + m_bytesPerRow, m_digit);
    case Key::Home: return MoveTo(rowStart, 0);
    case Key::End: return MoveTo(std::min(rowStart + m_bytesPerRow - 1, size), hex ? 1 : 0);
    case Key::CtrlHome: return MoveTo(0, 0);
    case Key::CtrlEnd: return MoveTo(size, 0);
    case Key::PageUp: {
        const size_t rows = std::min(m_pageRows, row);
        if (rows == 0) return false;
        return MoveTo(m_caret - rows * m_bytesPerRow, m_digit);
    }
    case Key::PageDown: {
        const size_t rows = std::min(m_pageRows, lastRow - row);
        if (rows == 0) return false;
        return MoveTo(m_caret + rows * m_bytesPerRow, m_digit);
    }
    case Key::Insert:
        m_insert = !m_insert;
        return true;
    case Key::Delete:
        if (m_caret >= size) return false;
        m_bytes.erase(m_caret, 1);
        m_digit = 0;
        m_modified = true;
        return true;
    case Key::Backspace:
        // Halfway through a byte it is that byte that goes (a digit typed
        // in insert mode is taken back whole), else the one before.
        if (hex && m_digit == 1) {
            m_bytes.erase(m_caret, 1);
            m_digit = 0;
            m_modified = true;
            return true;
        }
        if (m_caret == 0) return false;
        m_bytes.erase(--m_caret, 1);
        m_digit = 0;
        m_modified = true;
        return true;
    case Key::Tab:
        m_column = hex ? Column::Text : Column::Hex;
        m_digit = 0;
        return true;
    }
    return false;
}

bool HexEditBuffer::TypeChar(char32_t ch)
{
    if (m_column == Column::Hex) {
        const int value = HexValue(ch);
        return value >= 0 && TypeHexDigit(value);
    }
    if (ch < 0x20 || ch > 0x7E) return false;
    return TypeByte(static_cast<unsigned char>(ch));
}

bool HexEditBuffer::TypeHexDigit(int value)
{
    if (m_digit == 0) {
        if (m_insert || m_caret == m_bytes.size())
            m_bytes.insert(m_caret, 1, static_cast<char>(value << 4));
        else
            m_bytes[m_caret] = static_cast<char>((value << 4) | (static_cast<unsigned char>(m_bytes[m_caret]) & 0x0F));
        m_digit = 1;
    } else {
        m_bytes[m_caret] = static_cast<char>((static_cast<unsigned char>(m_bytes[m_caret]) & 0xF0) | value);
        ++m_caret;
        m_digit = 0;
    }
    m_modified = true;
    return true;
}

bool HexEditBuffer::TypeByte(unsigned char value)
{
    if (m_insert || m_caret == m_bytes.size())
        m_bytes.insert(m_caret, 1, static_cast<char>(value));
    else
        m_bytes[m_caret] = static_cast<char>(value);
    ++m_caret;
    m_modified = true;
    return true;
}

std::string HexEditBuffer::OffsetText(size_t row) const
{
    char text[24];
    std::snprintf(text, sizeof text, "%08zX", row * m_bytesPerRow);
    return text;
}

std::string HexEditBuffer::HexText(size_t row) const
{
    std::string text;
    const size_t start = row * m_bytesPerRow;
    const size_t end = std::min(start + m_bytesPerRow, m_bytes.size());
    for (size_t i = start; i < end; ++i) {
        char cell[4];
        std::snprintf(cell, sizeof cell, "%02X ", static_cast<unsigned char>(m_bytes[i]));
        text += cell;
    }
    return text;
}

std::string HexEditBuffer::CharText(size_t row) const
{
    std::string text;
    const size_t start = row * m_bytesPerRow;
    const size_t end = std::min(start + m_bytesPerRow, m_bytes.size());
    for (size_t i = start; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(m_bytes[i]);
        text += c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : '.';
    }
    return text;
}

size_t HexEditBuffer::ScrollTopFor(size_t top, size_t visibleRows) const
{
    const size_t row = GetCaretRow();
    if (visibleRows == 0) return row;
    if (row < top) return row;
    if (row >= top + visibleRows) return row - visibleRows + 1;
    return top;
}

} // namespace dialogcore
