// The wizard pages' rules: port texts, the name page's buttons, SSL ports.

#include <gtest/gtest.h>

#include "dialogcore/ProfileWizardRules.h"

namespace {

TEST(ProfileWizardRules, PortTexts)
{
    struct Case {
        const wchar_t* text;
        PortCheck check;
        int port;  // when valid
    };
    const Case cases[] = {
        {L"", PortCheck::Empty, 0},
        {L"  ", PortCheck::Empty, 0},
        {L"1", PortCheck::Valid, 1},
        {L"389", PortCheck::Valid, 389},
        {L" 636 ", PortCheck::Valid, 636},
        {L"65535", PortCheck::Valid, 65535},
        {L"65536", PortCheck::OutOfRange, 0},
        {L"0", PortCheck::OutOfRange, 0},
        {L"000", PortCheck::OutOfRange, 0},
        {L"-1", PortCheck::OutOfRange, 0},
        {L"99999999999999999999", PortCheck::OutOfRange, 0},
        {L"38a", PortCheck::OutOfRange, 0},
        {L"3 89", PortCheck::OutOfRange, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        int port = -7;
        EXPECT_EQ(CheckPortText(c.text, port), c.check);
        EXPECT_EQ(port, c.check == PortCheck::Valid ? c.port : -7) << "only a valid port is handed out";
    }
}

TEST(ProfileWizardRules, NamePageButtons)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* name;
        uint32_t buttons;
        bool team;
    };
    const Case cases[] = {
        {L"", L"", kWizDisabledFinish, false},
        {L"   \t", L"", kWizDisabledFinish, false},
        {L"  lab ", L"lab", kWizNext | kWizDisabledFinish, false},
        {L" Tessaline Team ", L"Tessaline Team", kWizFinish, true},
        {L"tessaline team", L"tessaline team", kWizNext | kWizDisabledFinish, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        NamePageState state = EvaluateProfileName(c.text);
        EXPECT_EQ(state.name, c.name);
        EXPECT_EQ(state.buttons, c.buttons);
        EXPECT_EQ(state.teamDirectory, c.team);
    }
    EXPECT_EQ(HostPageButtons(L""), kWizBack | kWizDisabledFinish);
    EXPECT_EQ(HostPageButtons(L"ldap.example.org"), kWizBack | kWizNext | kWizFinish);
}

TEST(ProfileWizardRules, SslSwitchMovesOnlyTheStandardPorts)
{
    EXPECT_EQ(PortAfterSslSwitch(true, 389), 636);
    EXPECT_EQ(PortAfterSslSwitch(false, 636), 389);
    EXPECT_EQ(PortAfterSslSwitch(true, 636), 636);
    EXPECT_EQ(PortAfterSslSwitch(false, 389), 389);
    EXPECT_EQ(PortAfterSslSwitch(true, 10389), 10389);
    EXPECT_EQ(PortAfterSslSwitch(false, 10636), 10636);
}

} // namespace
