#pragma once
// The support mails: a bug report, a suggestion and a help-desk request go
// to the user's mail program as a prepared "mailto:" link carrying the
// program's version and a description of the system. Nothing is sent here.

#include <cstdint>
#include <string>

#include "shellcore/AppVersion.h"

constexpr uint32_t kCmdSupportRequest = 32888;
constexpr uint32_t kCmdBugReport = 32889;
constexpr uint32_t kCmdSuggestion = 32890;

class CFeedbackMail {
public:
    explicit CFeedbackMail(const AppVersion& version) : m_version(version) {}

    // True when the desktop took the link.
    bool SendBugReport();
    bool SendSuggestion();
    bool SendSupportRequest();
    // One of the three commands; false for any other.
    bool SendForCommand(uint32_t command);

    // Hands "mailto:%s?subject=%s&body=%s" to the desktop.
    bool SendMail(const std::wstring& recipient, const std::wstring& subject, const std::wstring& body);

    // "%s v.%d.%d (build %d)".
    std::wstring GetVersionLine() const;
    // String 566 with the product name, the version line and the system text.
    std::wstring GetSystemInfo() const;

    // The link text. Subject and body are percent-encoded whole (as UTF-8):
    // a '&', '#' or '?' in them must not end the field, and a line end
    // becomes "%0D%0A".
    static std::string BuildMailtoLink(const std::wstring& recipient, const std::wstring& subject,
                                       const std::wstring& body);
    static std::string EncodeMailtoField(const std::wstring& text);
    // The system's name, release, version and machine; "N/A" when unknown.
    static std::wstring GetOSVersionText();

private:
    bool Send(unsigned subjectId, unsigned bodyId, const wchar_t* recipient);

    AppVersion m_version;
};
