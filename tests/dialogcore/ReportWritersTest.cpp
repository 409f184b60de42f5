// The report writers, each file read back by an independent reader (the
// system's python3: csv, html5lib, openpyxl): one table of awkward rows
// through every writer, and the failures that must leave a file alone.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "base/Utf8.h"
#include "dialogcore/CUtf8Text.h"
#include "dialogcore/ReportWriters.h"
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

std::string Json(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Json(const ReportRows& rows)
{
    std::string out = "[";
    for (size_t r = 0; r < rows.size(); ++r) {
        out += r ? ",[" : "[";
        for (size_t c = 0; c < rows[r].size(); ++c)
            out += (c ? "," : "") + Json(WideToUtf8Text(rows[r][c]));
        out += "]";
    }
    return out + "]";
}

// What the reader says about the file: "OK" or the difference.
std::string ReadBack(const std::string& kind, const std::string& path, const ReportRows& rows,
                     const std::string& title = std::string())
{
    const std::string expected = path + ".expected.json";
    testsupport::WriteBytes(expected, Json(rows));
    std::string command = "/usr/bin/python3 '" ARB_READERS_DIR "/read_report.py' " + kind + " '" + path + "' '" + expected + "'";
    const std::string titleFile = path + ".title";
    if (!title.empty()) {
        testsupport::WriteBytes(titleFile, title);
        command += " '" + titleFile + "'";
    }
    std::string said;
    try {
        said = Shell(command + " 2>&1");
    } catch (const std::exception& e) {
        said = e.what();
    }
    unlink(expected.c_str());
    unlink(titleFile.c_str());
    while (!said.empty() && said.back() == '\n') said.pop_back();
    return said;
}

ReportRows AwkwardRows()
{
    ReportRows rows;
    ReportRow headings;
    for (int c = 0; c < 30; ++c) headings.push_back(c == 0 ? L"DN" : L"attribute " + std::to_wstring(c));
    rows.push_back(headings);
    const std::vector<std::wstring> texts = {
        L"cn=a\"quoted\",o=lab", L"comma, inside", L"tab\tinside", L"line1\r\nline2", L"lf\nonly", L"<b>&amp;</b>",
        L"", L"Jos\u00e9 \u00fcber \u6771\u4eac", L"a\"b", L"trailing ", L"\U0001F600 beyond the BMP"};
    for (int r = 0; r < 3; ++r) {
        ReportRow row;
        for (int c = 0; c < 30; ++c) row.push_back(texts[(r * 7 + c) % texts.size()]);
        rows.push_back(row);
    }
    return rows;
}

ReportRows HeadingsOnly()
{
    return ReportRows{{L"DN", L"cn", L"mail"}};
}

struct WriterCase {
    const char* name;
    ReportFormat format;
    const char* kind;
};

const WriterCase kWriters[] = {
    {"tab", ReportFormat::Text, "tab"},
    {"csv", ReportFormat::Csv, "csv"},
    {"html", ReportFormat::Html, "html"},
    {"xlsx", ReportFormat::Excel, "xlsx"},
};

std::tm Ninth()
{
    std::tm date{};
    date.tm_year = 2026 - 1900;
    date.tm_mon = 11;
    date.tm_mday = 9;
    return date;
}

ReportOutcome Write(ReportFormat format, const std::string& path, const ReportRows& rows,
                    const std::wstring& title, std::vector<size_t>* steps = nullptr)
{
    ReportProgress progress = [steps](size_t done) {
        if (steps) steps->push_back(done);
    };
    switch (format) {
    case ReportFormat::Text: return WriteDelimitedReport(path, rows, L'\t', progress);
    case ReportFormat::Csv: return WriteDelimitedReport(path, rows, L',', progress);
    case ReportFormat::Html: return WriteHtmlReport(path, rows, title, progress);
    case ReportFormat::Excel: return WriteExcelReport(path, rows, progress);
    default: return ReportOutcome::FileFailed;
    }
}

TEST(ReportWriters, EveryWriterWritesWhatAReaderReadsBack)
{
    const std::wstring title = ReportTitle(L"o=lab & <friends>", Ninth());
    EXPECT_EQ(title, L"Search Result for 'o=lab & <friends>' on December 09, 2026");
    for (const ReportRows& rows : {AwkwardRows(), HeadingsOnly()}) {
        for (const WriterCase& writer : kWriters) {
            const std::string name = std::string("report-") + (rows.size() == 1 ? "empty-" : "") + writer.name;
            SCOPED_TRACE(name);
            const std::string path =
                testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + name + WideToUtf8Text(GetReportFormatInfo(writer.format).extension);
            unlink(path.c_str());
            std::vector<size_t> steps;
            ASSERT_EQ(Write(writer.format, path, rows, title, &steps), ReportOutcome::Written);
            EXPECT_EQ(ReadBack(writer.kind, path, rows, WideToUtf8Text(title)), "OK");
            ASSERT_FALSE(steps.empty());
            EXPECT_EQ(steps.back(), CountReportCells(rows)) << "the progress reaches every cell";
        }
    }
}

TEST(ReportWriters, DelimitedAndHtmlTextsAreWrittenAsTheLayoutSays)
{
    const ReportRows rows = {{L"h1", L"h2"}, {L"a\"b", L""}};
    const std::string csv = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "layout.csv";
    ASSERT_EQ(WriteDelimitedReport(csv, rows, L','), ReportOutcome::Written);
    EXPECT_EQ(testsupport::ReadBytes(csv), "\"h1\",\"h2\"\r\n\"a\"\"b\",\"\"\r\n");
    const std::string tab = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "layout.txt";
    ASSERT_EQ(WriteDelimitedReport(tab, rows, L'\t'), ReportOutcome::Written);
    EXPECT_EQ(testsupport::ReadBytes(tab), "\"h1\"\t\"h2\"\r\n\"a\"\"b\"\t\"\"\r\n");
    const std::string html = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "layout.html";
    ASSERT_EQ(WriteHtmlReport(html, rows, L"T <&>"), ReportOutcome::Written);
    const std::string text = testsupport::ReadBytes(html);
    EXPECT_NE(text.find("<title>T &lt;&amp;&gt;</title>"), std::string::npos);
    EXPECT_NE(text.find("\t<th align=\"center\"><b>h1</b></th>\n"), std::string::npos);
    EXPECT_NE(text.find("\t<td>a&quot;b</td>\n\t<td>&nbsp;</td>\n"), std::string::npos);
    EXPECT_EQ(text.rfind("</table>\n</body>\n</html>"), text.size() - 24);
}

TEST(ReportWriters, AFailedWriteLeavesTheFileThereUntouched)
{
    const std::string folder = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "unwritable-" + std::to_string(getpid()) + "/";
    Shell("rm -rf '" + folder + "' && mkdir -p '" + folder + "'");
    for (const WriterCase& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        // A folder that does not exist, and a path that names a folder.
        EXPECT_EQ(Write(writer.format, folder + "missing/report", AwkwardRows(), L"t"), ReportOutcome::FileFailed);
        EXPECT_EQ(Write(writer.format, folder, AwkwardRows(), L"t"), ReportOutcome::FileFailed);
    }
    // Excel's own failure: a text longer than a cell may hold.
    const std::string earlier = folder + "earlier.xlsx";
    testsupport::WriteBytes(earlier, "earlier");
    ReportRows tooLong = {{L"h"}, {std::wstring(40000, L'x')}};
    std::string error;
    EXPECT_EQ(WriteExcelReport(earlier, tooLong, ReportProgress(), &error), ReportOutcome::ExcelFailed);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(testsupport::ReadBytes(earlier), "earlier");
    EXPECT_EQ(Shell("ls -A '" + folder + "'"), "earlier.xlsx\n") << "no file left beside it";
    Shell("rm -rf '" + folder + "'");
}

TEST(ReportWriters, AReplacedFileKeepsItsMode)
{
    const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "mode.csv";
    testsupport::WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(WriteDelimitedReport(path, HeadingsOnly(), L','), ReportOutcome::Written);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ReportWriters, FormatsNameTheirExtensionAndFilter)
{
    struct Case {
        ReportFormat format;
        const wchar_t* extension;
        const wchar_t* filter;
    };
    const Case cases[] = {
        {ReportFormat::Text, L".txt", L"Text Files (*.txt)|*.txt||"},
        {ReportFormat::Excel, L".xlsx", L"Excel Files (*.xlsx)|*.xlsx||"},
        {ReportFormat::Csv, L".csv", L"CSV Files (*.csv)|*.csv||"},
        {ReportFormat::Html, L".html", L"HTML Files (*.html)|*.html||"},
        {ReportFormat::Ldif, L".ldif", L"LDIF Files (*.ldif)|*.ldif||"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetReportFormatInfo(c.format).extension, c.extension);
        EXPECT_STREQ(GetReportFormatInfo(c.format).filter, c.filter);
    }
}

TEST(ReportWriters, Utf8TextMeasuresAndConverts)
{
    const std::wstring text = L"Jos\u00e9 \U0001F600";
    CUtf8Text utf8(text);
    EXPECT_EQ(utf8.GetLength(), std::string("Jos\xc3\xa9 \xf0\x9f\x98\x80").size() + 1);
    EXPECT_STREQ(utf8.Get(), "Jos\xc3\xa9 \xf0\x9f\x98\x80");
    const std::wstring empty;
    CUtf8Text none(empty);
    EXPECT_EQ(none.GetLength(), 1u);
    EXPECT_STREQ(none.Get(), "");
}

} // namespace
