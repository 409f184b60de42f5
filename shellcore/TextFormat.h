#pragma once
// Formats a text from the resource library with arguments. Formats come from
// a file the user may edit, so they are never handed to printf: "%s" and "%d"
// (with any flags or width between, which are ignored) take the next
// argument's text, "%%" is one '%', and a specifier without an argument
// left becomes empty.

#include <initializer_list>
#include <string>

class TextArg {
public:
    TextArg(const std::wstring& text) : m_text(text) {}
    TextArg(const wchar_t* text) : m_text(text ? text : L"") {}
    TextArg(long long value) : m_text(std::to_wstring(value)) {}
    TextArg(int value) : m_text(std::to_wstring(value)) {}
    TextArg(unsigned value) : m_text(std::to_wstring(value)) {}
    TextArg(unsigned long value) : m_text(std::to_wstring(value)) {}
    TextArg(long value) : m_text(std::to_wstring(value)) {}
    const std::wstring& Text() const { return m_text; }

private:
    std::wstring m_text;
};

std::wstring FormatText(const std::wstring& format, std::initializer_list<TextArg> args);
