#pragma once
// A stream buffer that turns the narrow (UTF-8) text written to an output
// stream into RTF documents: plain text is escaped, LF starts a paragraph,
// TAB becomes a tab stop, and characters beyond ASCII become \uN? escapes
// in a group each (surrogate pairs above U+FFFF). Formatting fragments pass unescaped: each
// of their characters is preceded by the marker byte 0x01 (see the rtf
// namespace below). Each flush hands one framed document to the sink, which
// stands for a rich-text control that appends it; a writer whose sink has
// gone keeps nothing.

#include <cstddef>
#include <functional>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>

class CRtfStreamBuf : public std::streambuf {
public:
    typedef std::function<void(const std::string& document)> Sink;

    explicit CRtfStreamBuf(Sink sink, size_t bufferSize = 1024);
    ~CRtfStreamBuf() override;
    CRtfStreamBuf(const CRtfStreamBuf&) = delete;
    CRtfStreamBuf& operator=(const CRtfStreamBuf&) = delete;

    // The control went: later flushes are dropped.
    void DetachSink();

    static const std::string& DocumentHead();
    static const std::string& DocumentTail();
    // The RTF of text; an incomplete UTF-8 sequence or a marker at the end is
    // left in rest (when given) for the next text, else dropped.
    static std::string ConvertText(std::string_view text, std::string* rest = nullptr);

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    void Flush();

    Sink m_sink;
    std::unique_ptr<char[]> m_buffer;
    size_t m_size;
    std::string m_pending;
};

namespace rtf {

// A fragment that passes the writer unescaped.
std::string Fragment(std::string_view controlWords);

std::string Bold(bool on);
std::string Underline(bool on);
std::string Italic(bool on);
enum class Align { Centre, Left, Justify, Right, Distribute };
std::string Alignment(Align align);
enum class Face { TimesNewRoman, Tahoma, CourierNew };
std::string PlainFont(Face face);
// Colours 0-15 in the order black, maroon, green, olive, navy, purple, teal,
// grey, silver, red, lime, yellow, blue, magenta, cyan, white.
std::string Colour(int index);
std::string Bullet();
std::string PageBorderHeader();
std::string Subscript();
std::string FontSize(int points);
std::string LeftIndent(int twips);
std::string RightIndent(int twips);

} // namespace rtf
