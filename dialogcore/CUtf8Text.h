#pragma once
// The UTF-8 form of one wide text, converted on first use. The source text
// is not owned and must outlive the object.

#include <cstddef>
#include <memory>
#include <string>

class CUtf8Text {
public:
    explicit CUtf8Text(const std::wstring& text);
    CUtf8Text(const CUtf8Text&) = delete;
    CUtf8Text& operator=(const CUtf8Text&) = delete;

    // Zero-terminated.
    const char* Get();
    // Bytes of the UTF-8 form, the terminating zero included.
    size_t GetLength() const { return m_length; }

private:
    const std::wstring& m_source;
    size_t m_length;
    std::unique_ptr<char[]> m_buffer;
};
