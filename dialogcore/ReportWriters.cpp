#include "dialogcore/ReportWriters.h"

#include <algorithm>
#include <cstdio>

#include <xlsxwriter.h>

#include "base/Utf8.h"
#include "dialogcore/CUtf8Text.h"
#include "platform/ReplacingFile.h"

namespace {

const wchar_t* const kMonths[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                  L"July",    L"August",   L"September", L"October", L"November", L"December"};

const ReportFormatInfo kFormats[] = {
    {L".txt", L"Text Files (*.txt)|*.txt||"},
    {L".xlsx", L"Excel Files (*.xlsx)|*.xlsx||"},
    {L".csv", L"CSV Files (*.csv)|*.csv||"},
    {L".html", L"HTML Files (*.html)|*.html||"},
    {L".ldif", L"LDIF Files (*.ldif)|*.ldif||"},
};

// Excel's widest column, in characters.
constexpr double kMaxColumnWidth = 255;

class CellCounter {
public:
    explicit CellCounter(const ReportProgress& progress) : m_progress(progress) {}
    void Add(size_t cells)
    {
        m_done += cells;
        if (m_progress)
            m_progress(m_done);
    }

private:
    const ReportProgress& m_progress;
    size_t m_done = 0;
};

ReportOutcome WriteWhole(const std::string& path, const std::string& text)
{
    platform::ReplacingFile file;
    if (!file.Open(path) || !file.Write(text) || !file.Commit())
        return ReportOutcome::FileFailed;
    return ReportOutcome::Written;
}

size_t CodePoints(const std::wstring& text)
{
    return text.size();
}

} // namespace

const ReportFormatInfo& GetReportFormatInfo(ReportFormat format)
{
    const size_t index = static_cast<size_t>(format);
    return kFormats[index < 5 ? index : 0];
}

size_t CountReportCells(const ReportRows& rows)
{
    size_t cells = 0;
    for (const ReportRow& row : rows)
        cells += row.size();
    return cells;
}

std::wstring ReportTitle(const std::wstring& baseDN, const std::tm& localDate)
{
    wchar_t date[64];
    const int month = localDate.tm_mon >= 0 && localDate.tm_mon < 12 ? localDate.tm_mon : 0;
    std::swprintf(date, 64, L"%ls %02d, %04d", kMonths[month], localDate.tm_mday, localDate.tm_year + 1900);
    return L"Search Result for '" + (baseDN.empty() ? std::wstring(L"RootDSE") : baseDN) + L"' on " + date;
}

std::string HtmlEscape(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

ReportOutcome WriteDelimitedReport(const std::string& path, const ReportRows& rows, wchar_t separator,
                                   const ReportProgress& progress)
{
    std::string text;
    CellCounter counter(progress);
    const std::string sep = WideToUtf8Text(std::wstring(1, separator));
    for (const ReportRow& row : rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            if (column)
                text += sep;
            text += '"';
            for (char c : WideToUtf8Text(row[column])) {
                if (c == '"')
                    text += '"';
                text += c;
            }
            text += '"';
        }
        text += "\r\n";
        counter.Add(row.size());
    }
    return WriteWhole(path, text);
}

ReportOutcome WriteHtmlReport(const std::string& path, const ReportRows& rows, const std::wstring& title,
                              const ReportProgress& progress)
{
    std::string text = "<html>\n<head>\n<title>" + HtmlEscape(WideToUtf8Text(title)) +
                       "</title>\n\t\t\t\t<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                       "\t\t\t\t</head>\n<body>\n";
    text += "<table border=\"1\">\n";
    CellCounter counter(progress);
    for (size_t r = 0; r < rows.size(); ++r) {
        text += "<tr>\n";
        for (const std::wstring& cell : rows[r]) {
            const std::string content = cell.empty() ? std::string("&nbsp;") : HtmlEscape(WideToUtf8Text(cell));
            if (r == 0)
                text += "\t<th align=\"center\"><b>" + content + "</b></th>\n";
            else
                text += "\t<td>" + content + "</td>\n";
        }
        text += "</tr>\n";
        counter.Add(rows[r].size());
    }
    text += "</table>\n</body>\n</html>";
    return WriteWhole(path, text);
}

ReportOutcome WriteExcelReport(const std::string& path, const ReportRows& rows, const ReportProgress& progress,
                               std::string* error)
{
    platform::ReplacingFile file;
    if (!file.Open(path))
        return ReportOutcome::FileFailed;
    lxw_workbook* workbook = workbook_new(file.GetTemporaryPath().c_str());
    if (!workbook)
        return ReportOutcome::ExcelMissing;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* heading = workbook_add_format(workbook);
    format_set_align(heading, LXW_ALIGN_CENTER);
    format_set_align(heading, LXW_ALIGN_VERTICAL_CENTER);
    format_set_border(heading, LXW_BORDER_MEDIUM);

    lxw_error failure = LXW_NO_ERROR;
    std::vector<size_t> widths;
    CellCounter counter(progress);
    for (size_t r = 0; r < rows.size() && failure == LXW_NO_ERROR; ++r) {
        const ReportRow& row = rows[r];
        if (widths.size() < row.size())
            widths.resize(row.size(), 0);
        for (size_t column = 0; column < row.size() && failure == LXW_NO_ERROR; ++column) {
            CUtf8Text text(row[column]);
            widths[column] = std::max(widths[column], CodePoints(row[column]));
            if (row[column].empty() && r != 0)
                continue;
            failure = worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(column),
                                             text.Get(), r == 0 ? heading : nullptr);
        }
        counter.Add(row.size());
    }
    for (size_t column = 0; column < widths.size() && failure == LXW_NO_ERROR; ++column) {
        const double width = std::min(kMaxColumnWidth, static_cast<double>(widths[column]) + 2);
        failure = worksheet_set_column(sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), width,
                                       nullptr);
    }
    const lxw_error closed = workbook_close(workbook);
    if (failure == LXW_NO_ERROR)
        failure = closed;
    if (failure != LXW_NO_ERROR) {
        if (error)
            *error = lxw_strerror(failure);
        return ReportOutcome::ExcelFailed;
    }
    if (!file.Commit()) {
        if (error)
            error->clear();
        return ReportOutcome::ExcelFailed;
    }
    return ReportOutcome::Written;
}
