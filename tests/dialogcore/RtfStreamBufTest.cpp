// The RTF writer: each flush hands one framed document to its sink; unrtf
// reads the documents back with the text written.

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <ostream>
#include <vector>

#include "dialogcore/CRtfStreamBuf.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/SlapdServer.h"

#ifndef ARB_TEST_OUTPUT_DIR
#define ARB_TEST_OUTPUT_DIR "test-output"
#endif

namespace {

std::string Shell(const std::string& command)
{
    return testsupport::Run(command);
}

struct Collected {
    std::vector<std::string> documents;
    CRtfStreamBuf::Sink Sink()
    {
        return [this](const std::string& document) { documents.push_back(document); };
    }
};

// unrtf's HTML of a document, reduced to its body's text.
std::string ReadWithUnrtf(const std::string& document, const std::string& name, bool tags = false)
{
    const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + name + ".rtf";
    std::ofstream(path, std::ios::binary) << document;
    std::string html = Shell("unrtf --html '" + path + "' 2>/dev/null");
    const size_t body = html.find("<body>");
    const size_t end = html.rfind("</body>");
    html = body == std::string::npos || end == std::string::npos ? html : html.substr(body + 6, end - body - 6);
    if (tags) return html;
    // The text alone: the font tags unrtf puts around each group go, the
    // line breaks stay as "<br>".
    std::string text;
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<' && html.compare(i, 4, "<br>") != 0) {
            const size_t close = html.find('>', i);
            i = close == std::string::npos ? html.size() : close + 1;
        } else {
            text += html[i++];
        }
    }
    return text;
}

std::string Body(const std::string& document)
{
    const std::string& head = CRtfStreamBuf::DocumentHead();
    const std::string& tail = CRtfStreamBuf::DocumentTail();
    EXPECT_EQ(document.compare(0, head.size(), head), 0);
    EXPECT_EQ(document.compare(document.size() - tail.size(), tail.size(), tail), 0);
    return document.substr(head.size(), document.size() - head.size() - tail.size());
}

TEST(RtfStreamBuf, TextIsEscapedAndFramed)
{
    struct Case {
        const char* what;
        std::string text;
        std::string rtf;
    };
    const Case cases[] = {
        {"plain", "abc", "abc"},
        {"braces and backslash", "{a\\b}", "\\{a\\\\b\\}"},
        {"tab", "a\tb", "a\\tab b"},
        {"line feed starts a paragraph", "a\nb", "a\n\\par b"},
        {"CR dropped", "a\r\nb", "a\n\\par b"},
        {"non-ASCII", "Jos\xc3\xa9", "Jos{\\u233?}"},
        {"below 0x8000", "\xe6\x9d\xb1", "{\\u26481?}"},
        {"above 0x7FFF as a negative number", "\xef\xbc\xa1", "{\\u-223?}"},
        {"beyond the BMP as a surrogate pair", "\xf0\x9f\x98\x80", "{\\u-10179?\\u-8704?}"},
        {"a fragment passes", rtf::Bold(true) + "x" + rtf::Bold(false), "\\b x\\b0 "},
        {"colours in their order", rtf::Colour(4) + rtf::Colour(12), "\\cf7 \\cf15 "},
        {"font size in half points", rtf::FontSize(12), "\\fs24 "},
    };
    for (const Case& c : cases) {
        Collected sink;
        {
            CRtfStreamBuf buffer(sink.Sink());
            std::ostream out(&buffer);
            out << c.text << std::flush;
        }
        ASSERT_EQ(sink.documents.size(), 1u) << c.what;
        EXPECT_EQ(Body(sink.documents[0]), c.rtf) << c.what;
    }
}

TEST(RtfStreamBuf, AnEmptyFlushIsAnEmptyParagraphAndAFullBufferFlushes)
{
    Collected sink;
    CRtfStreamBuf buffer(sink.Sink(), 8);
    std::ostream out(&buffer);
    out << std::flush;
    ASSERT_EQ(sink.documents.size(), 1u);
    EXPECT_EQ(sink.documents[0], CRtfStreamBuf::DocumentHead() + CRtfStreamBuf::DocumentTail());
    // A sequence cut by the buffer's end comes whole in the next document.
    out << "1234567\xc3\xa9" << std::flush;
    ASSERT_EQ(sink.documents.size(), 3u);
    EXPECT_EQ(Body(sink.documents[1]), "1234567");
    EXPECT_EQ(Body(sink.documents[2]), "{\\u233?}");
    buffer.DetachSink();
    out << "gone" << std::flush;
    EXPECT_EQ(sink.documents.size(), 3u);
}

TEST(RtfStreamBuf, UnrtfReadsTheTextWritten)
{
    Collected sink;
    {
        CRtfStreamBuf buffer(sink.Sink());
        std::ostream out(&buffer);
        out << "{braces} and \\backslash\\\nsecond\tparagraph " << rtf::Bold(true) << "bold" << rtf::Bold(false)
            << "\nJos\xc3\xa9 \xc3\xbc" "ber \xe6\x9d\xb1\xe4\xba\xac" << std::flush;
    }
    ASSERT_EQ(sink.documents.size(), 1u);
    const std::string html = ReadWithUnrtf(sink.documents[0], "rtf-text");
    EXPECT_NE(html.find("{braces} and \\backslash\\"), std::string::npos) << html;
    EXPECT_NE(html.find("second"), std::string::npos) << html;
    EXPECT_NE(html.find("paragraph"), std::string::npos) << html;
    EXPECT_NE(ReadWithUnrtf(sink.documents[0], "rtf-text", true).find("<b>bold</b>"), std::string::npos);
    // unrtf writes characters beyond ASCII as HTML entities.
    EXPECT_NE(html.find("Jos&eacute; &uuml;ber &#26481;&#20140;"), std::string::npos) << html;
    // Each line feed starts a paragraph of its own.
    EXPECT_LT(html.find("\\backslash\\"), html.find("<br>")) << html;
}

} // namespace
