#include "dialogcore/CRtfStreamBuf.h"

#include <cstdint>

namespace {

constexpr char kMarker = '\x01';

// The colour table's index of each colour of rtf::Colour's order.
const int kColourIndex[16] = {0, 1, 2, 3, 7, 4, 5, 6, 11, 8, 9, 10, 15, 12, 13, 14};

size_t SequenceLength(unsigned char lead)
{
    if (lead < 0xC2) return 0;  // continuation byte or overlong lead
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF5) return 4;
    return 0;
}

// Each character in a group of its own: a reader that skips the fallback
// '?' as a whole word (unrtf) would otherwise drop the letters after it.
void AppendUnicode(std::string& out, uint32_t code)
{
    out += '{';
    auto unit = [&out](uint32_t u) {
        // \u takes a signed 16-bit number.
        const int value = u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u);
        out += "\\u" + std::to_string(value) + "?";
    };
    if (code > 0xFFFF) {
        code -= 0x10000;
        unit(0xD800 + (code >> 10));
        unit(0xDC00 + (code & 0x3FF));
    } else {
        unit(code);
    }
    out += '}';
}

} // namespace

CRtfStreamBuf::CRtfStreamBuf(Sink sink, size_t bufferSize)
    : m_sink(std::move(sink)), m_buffer(bufferSize ? new char[bufferSize + 1] : nullptr), m_size(bufferSize)
{
    if (m_buffer)
        setp(m_buffer.get(), m_buffer.get() + m_size);
}

CRtfStreamBuf::~CRtfStreamBuf()
{
    if (pptr() != pbase())
        Flush();
}

void CRtfStreamBuf::DetachSink()
{
    m_sink = nullptr;
}

const std::string& CRtfStreamBuf::DocumentHead()
{
    static const std::string head =
        "{\\rtf1\\ansi\\deff0\\deftab720\n"
        "{\\fonttbl"
        "{\\f0\\fswiss MS Sans Serif;}"
        "{\\f1\\froman\\fcharset2 Symbol;}"
        "{\\f2\\froman Times New Roman;}"
        "{\\f3\\froman Tahoma;}"
        "{\\f4\\fswiss\\fprq2 MS Sans Serif;}"
        "{\\f5\\fmodern\\fprq1 Courier New;}"
        "{\\f6\\froman\\fprq2 Times New Roman;}}\n"
        "{\\colortbl"
        "\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;\\red128\\green128\\blue0;"
        "\\red128\\green0\\blue128;\\red0\\green128\\blue128;\\red128\\green128\\blue128;\\red0\\green0\\blue128;"
        "\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;\\red192\\green192\\blue192;"
        "\\red255\\green0\\blue255;\\red0\\green255\\blue255;\\red255\\green255\\blue255;\\red0\\green0\\blue255;}\n"
        "\\pard\\plain\\f2\\fs20 ";
    return head;
}

const std::string& CRtfStreamBuf::DocumentTail()
{
    static const std::string tail = "\n\\par }";
    return tail;
}

std::string CRtfStreamBuf::ConvertText(std::string_view text, std::string* rest)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == static_cast<unsigned char>(kMarker)) {
            if (i + 1 < text.size())
                out += text[++i];
            else if (rest)
                *rest = std::string(1, kMarker);
            continue;
        }
        if (c >= 0x80) {
            const size_t length = SequenceLength(c);
            if (length && i + length > text.size()) {
                if (rest)
                    *rest = std::string(text.substr(i));
                break;
            }
            uint32_t code = 0xFFFD;
            bool valid = length != 0;
            for (size_t k = 1; k < length && valid; ++k)
                valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (valid) {
                code = c & (0xFF >> (length + 1));
                for (size_t k = 1; k < length; ++k)
                    code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
                i += length - 1;
            }
            AppendUnicode(out, code);
            continue;
        }
        switch (c) {
        case '\t': out += "\\tab "; break;
        case '\n': out += "\n\\par "; break;
        case '\r': break;
        case '\\': out += "\\\\"; break;
        case '{': out += "\\{"; break;
        case '}': out += "\\}"; break;
        default: out += static_cast<char>(c);
        }
    }
    return out;
}

void CRtfStreamBuf::Flush()
{
    std::string text = m_pending;
    m_pending.clear();
    if (pbase())
        text.append(pbase(), pptr() - pbase());
    if (m_buffer)
        setp(m_buffer.get(), m_buffer.get() + m_size);
    if (!m_sink)
        return;
    const std::string body = ConvertText(text, &m_pending);
    m_sink(DocumentHead() + body + DocumentTail());
}

CRtfStreamBuf::int_type CRtfStreamBuf::overflow(int_type c)
{
    if (!m_buffer) {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            m_pending += traits_type::to_char_type(c);
            Flush();
        }
        return traits_type::not_eof(c);
    }
    Flush();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int CRtfStreamBuf::sync()
{
    Flush();
    return 0;
}

namespace rtf {

std::string Fragment(std::string_view controlWords)
{
    std::string out;
    out.reserve(controlWords.size() * 2);
    for (char c : controlWords) {
        out += kMarker;
        out += c;
    }
    return out;
}

std::string Bold(bool on) { return Fragment(on ? "\\b " : "\\b0 "); }
std::string Underline(bool on) { return Fragment(on ? "\\ul " : "\\ul0 "); }
std::string Italic(bool on) { return Fragment(on ? "\\i " : "\\i0 "); }

std::string Alignment(Align align)
{
    static const char* const kWords[] = {"\\qc ", "\\ql ", "\\qj ", "\\qr ", "\\qd "};
    return Fragment(kWords[static_cast<int>(align)]);
}

std::string PlainFont(Face face)
{
    static const char* const kWords[] = {"\\plain\\f2\\fs20 ", "\\plain\\f3\\fs20 ", "\\plain\\f5\\fs20 "};
    return Fragment(kWords[static_cast<int>(face)]);
}

std::string Colour(int index)
{
    const int table = index >= 0 && index < 16 ? kColourIndex[index] : 0;
    return Fragment("\\cf" + std::to_string(table) + " ");
}

std::string Bullet() { return Fragment("{\\pntext\\f1\\'b7\\tab}"); }
std::string PageBorderHeader() { return Fragment("\\pgbrdrhead "); }
std::string Subscript() { return Fragment("\\sub "); }
std::string FontSize(int points) { return Fragment("\\fs" + std::to_string(points * 2) + " "); }
std::string LeftIndent(int twips) { return Fragment("\\li" + std::to_string(twips) + " "); }
std::string RightIndent(int twips) { return Fragment("\\ri" + std::to_string(twips) + " "); }

} // namespace rtf
