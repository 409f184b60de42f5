#include "shellcore/CFeedbackMail.h"

#include <sys/utsname.h>

#include "base/PercentEncoding.h"
#include "base/Utf8.h"
#include "model/ports/ResourceText.h"
#include "platform/DesktopLauncher.h"
#include "shellcore/TextFormat.h"

namespace {

constexpr unsigned kStrProductName = 565;
constexpr unsigned kStrSystemInfo = 566;

const wchar_t kBugReportAddress[] = L"bugs@vellumar.example";
const wchar_t kSuggestionAddress[] = L"ideas@vellumar.example";
const wchar_t kSupportAddress[] = L"helpdesk@vellumar.example";

} // namespace

namespace {

// Percent-encodes every byte but the unreserved ones (and '@' when asked);
// CR, LF and CR LF become "%0D%0A".
std::string EncodeBytes(const std::string& utf8, bool keepAt)
{
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            out += "%0D%0A";
        } else if (IsUrlUnreserved(c) || (keepAt && c == '@')) {
            out.push_back(static_cast<char>(c));
        } else {
            AppendPercentEncoded(out, c);
        }
    }
    return out;
}

} // namespace

std::string CFeedbackMail::EncodeMailtoField(const std::wstring& text)
{
    return EncodeBytes(WideToUtf8Text(text), false);
}

std::string CFeedbackMail::BuildMailtoLink(const std::wstring& recipient, const std::wstring& subject,
                                           const std::wstring& body)
{
    // The address keeps its '@'; anything that could start another field is encoded.
    return "mailto:" + EncodeBytes(WideToUtf8Text(recipient), true) + "?subject=" + EncodeMailtoField(subject) +
           "&body=" + EncodeMailtoField(body);
}

bool CFeedbackMail::SendMail(const std::wstring& recipient, const std::wstring& subject, const std::wstring& body)
{
    std::shared_ptr<platform::DesktopLauncher> desktop = platform::GetDesktopLauncher();
    return desktop && desktop->OpenUrl(BuildMailtoLink(recipient, subject, body));
}

std::wstring CFeedbackMail::GetVersionLine() const
{
    return FormatText(L"%s v.%d.%d (build %d)",
                      {LoadResourceText(kStrProductName), static_cast<unsigned>(m_version.major),
                       static_cast<unsigned>(m_version.minor), static_cast<unsigned>(m_version.build)});
}

std::wstring CFeedbackMail::GetOSVersionText()
{
    struct utsname u;
    if (uname(&u) != 0)
        return L"N/A";
    std::string text = std::string(u.sysname) + " " + u.release + " " + u.version + " (" + u.machine + ")";
    return Utf8ToWideString(text);
}

std::wstring CFeedbackMail::GetSystemInfo() const
{
    return FormatText(LoadResourceText(kStrSystemInfo),
                      {LoadResourceText(kStrProductName), GetVersionLine(), GetOSVersionText()});
}

bool CFeedbackMail::Send(unsigned subjectId, unsigned bodyId, const wchar_t* recipient)
{
    std::wstring subject = FormatText(LoadResourceText(subjectId), {GetVersionLine()});
    std::wstring body = FormatText(LoadResourceText(bodyId), {GetSystemInfo()});
    return SendMail(recipient, subject, body);
}

bool CFeedbackMail::SendBugReport()
{
    return Send(559, 560, kBugReportAddress);
}

bool CFeedbackMail::SendSuggestion()
{
    return Send(561, 562, kSuggestionAddress);
}

bool CFeedbackMail::SendSupportRequest()
{
    return Send(563, 564, kSupportAddress);
}

bool CFeedbackMail::SendForCommand(uint32_t command)
{
    switch (command) {
    case kCmdBugReport:
        return SendBugReport();
    case kCmdSuggestion:
        return SendSuggestion();
    case kCmdSupportRequest:
        return SendSupportRequest();
    default:
        return false;
    }
}
