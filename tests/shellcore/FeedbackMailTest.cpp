#include <gtest/gtest.h>

#include <string>

#include "shellcore/CFeedbackMail.h"
#include "tests/shellcore/ShellcoreTestSupport.h"
#include "tests/support/RecordingDesktopLauncher.h"

namespace {

TEST(FeedbackMail, TheLinkEncodesSubjectAndBodyWhole)
{
    struct Case {
        const char* name;
        std::wstring subject, body;
        std::string expected;
    } cases[] = {
        {"two lines with spaces", L"Hello", L"line one\nline two",
         "mailto:a@b.example?subject=Hello&body=line%20one%0D%0Aline%20two"},
        {"CR LF is one line end", L"s", L"a\r\nb\rc", "mailto:a@b.example?subject=s&body=a%0D%0Ab%0D%0Ac"},
        {"field separators stay inside their field", L"a&b=c?d#e", L"x&subject=evil%20",
         "mailto:a@b.example?subject=a%26b%3Dc%3Fd%23e&body=x%26subject%3Devil%2520"},
        {"spaces in the subject", L"Arbolite v.2.0 (build 2100)", L"",
         "mailto:a@b.example?subject=Arbolite%20v.2.0%20%28build%202100%29&body="},
        {"non-ASCII as UTF-8 bytes", L"\u00e9t\u00e9", L"\u20ac", "mailto:a@b.example?subject=%C3%A9t%C3%A9&body=%E2%82%AC"},
        {"plus is not a space", L"1+1", L"", "mailto:a@b.example?subject=1%2B1&body="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFeedbackMail::BuildMailtoLink(L"a@b.example", c.subject, c.body), c.expected) << c.name;
}

TEST(FeedbackMail, ARecipientCannotAddFields)
{
    EXPECT_EQ(CFeedbackMail::BuildMailtoLink(L"a@b.example?cc=x@y", L"s", L"b"),
              "mailto:a@b.example%3Fcc%3Dx@y?subject=s&body=b");
}

TEST(FeedbackMail, EachCommandOpensItsMailWithVersionAndSystem)
{
    shelltest::LoadResources();
    testsupport::RecordingDesktopLauncherScope desktop;
    CFeedbackMail mail(AppVersion{2, 0, 0, 2100});
    EXPECT_EQ(mail.GetVersionLine(), shelltest::ResourceText(565) + L" v.2.0 (build 2100)");
    std::wstring system = mail.GetSystemInfo();
    EXPECT_NE(system.find(mail.GetVersionLine()), std::wstring::npos);
    EXPECT_NE(system.find(CFeedbackMail::GetOSVersionText()), std::wstring::npos);
    EXPECT_NE(CFeedbackMail::GetOSVersionText(), L"N/A");

    const uint32_t commands[] = {kCmdBugReport, kCmdSuggestion, kCmdSupportRequest};
    for (uint32_t command : commands)
        EXPECT_TRUE(mail.SendForCommand(command)) << command;
    EXPECT_FALSE(mail.SendForCommand(32887));

    auto opened = desktop.Launcher().Get();
    ASSERT_EQ(opened.size(), 3u);
    std::string version = CFeedbackMail::EncodeMailtoField(mail.GetVersionLine());
    std::string recipients[3];
    for (size_t i = 0; i < 3; ++i) {
        const std::string& link = opened[i].target;
        EXPECT_FALSE(opened[i].file);
        EXPECT_EQ(link.rfind("mailto:", 0), 0u) << link;
        EXPECT_NE(link.find("?subject="), std::string::npos) << link;
        EXPECT_NE(link.find(version), std::string::npos) << link;
        EXPECT_NE(link.find("&body="), std::string::npos) << link;
        EXPECT_EQ(link.find_first_of(" \n\r"), std::string::npos) << link;
        recipients[i] = link.substr(7, link.find('?') - 7);
    }
    // Three kinds of mail, three addresses.
    EXPECT_NE(recipients[0], recipients[1]);
    EXPECT_NE(recipients[1], recipients[2]);
    EXPECT_NE(recipients[0], recipients[2]);
}

TEST(FeedbackMail, WithoutADesktopNothingIsSent)
{
    shelltest::LoadResources();
    auto previous = platform::SetDesktopLauncher(nullptr);
    CFeedbackMail mail(AppVersion{2, 0, 0, 2100});
    EXPECT_FALSE(mail.SendBugReport());
    platform::SetDesktopLauncher(previous);
}

} // namespace
