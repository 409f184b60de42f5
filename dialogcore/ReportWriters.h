#pragma once
// The report files the report wizard writes from the rows of a search's
// result list: row 0 holds the column headings, every further row one
// result. Each writer writes beside the chosen path and renames the file
// there when it is complete, so a failure leaves what stood there untouched.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

typedef std::vector<std::wstring> ReportRow;
typedef std::vector<ReportRow> ReportRows;

enum class ReportFormat { Text = 0, Excel = 1, Csv = 2, Html = 3, Ldif = 4 };

struct ReportFormatInfo {
    const wchar_t* extension;  // with its full stop
    const wchar_t* filter;     // for the save-file dialog
};
const ReportFormatInfo& GetReportFormatInfo(ReportFormat format);

// How far a writer has come, in cells (headings included).
typedef std::function<void(size_t cellsDone)> ReportProgress;

enum class ReportOutcome {
    Written,
    FileFailed,    // the file could not be made or written
    ExcelMissing,  // no workbook could be made
    ExcelFailed,   // the workbook could not be written
};

constexpr unsigned kStrReportWizard = 604;
constexpr unsigned kStrReportFileFailed = 606;
constexpr unsigned kStrExcelMissing = 660;
constexpr unsigned kStrExcelFailed = 661;
constexpr unsigned kStrSendingReport = 681;
constexpr unsigned kStrNoErrorText = 61472;
constexpr unsigned kStrMailSupportMissing = 61840;

// The cells of the rows, headings included.
size_t CountReportCells(const ReportRows& rows);

// "Search Result for '<base DN or RootDSE>' on <%B %d, %Y>".
std::wstring ReportTitle(const std::wstring& baseDN, const std::tm& localDate);

// Every field in double quotes (quotes inside doubled), fields parted by
// the separator, rows ended by CR LF; UTF-8 without a byte-order mark.
ReportOutcome WriteDelimitedReport(const std::string& path, const ReportRows& rows, wchar_t separator,
                                   const ReportProgress& progress = ReportProgress());
// A table with the headings as its first row; texts escaped, an empty cell
// as "&nbsp;".
ReportOutcome WriteHtmlReport(const std::string& path, const ReportRows& rows, const std::wstring& title,
                              const ReportProgress& progress = ReportProgress());
// One sheet: the headings in row 1, centred both ways with a medium border,
// each further row below; column widths from the longest text. error gets
// the library's text of a failure.
ReportOutcome WriteExcelReport(const std::string& path, const ReportRows& rows,
                               const ReportProgress& progress = ReportProgress(), std::string* error = nullptr);

// The escaped form of a text inside an HTML element or attribute.
std::string HtmlEscape(const std::string& utf8);
