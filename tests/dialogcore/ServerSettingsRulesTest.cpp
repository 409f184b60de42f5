#include <gtest/gtest.h>

#include "dialogcore/ProfileWizardRules.h"
#include "dialogcore/ServerSettingsRules.h"

namespace {

TEST(ServerSettingsRules, DecimalTextsAndPorts)
{
    struct Case {
        const wchar_t* text;
        int number;     // ParseDecimalOrZero
        bool isPort;    // ParsePortText
    };
    const Case cases[] = {
        {L"30", 30, true},          {L" 636 ", 636, true},     {L"", 0, false},
        {L"abc", 0, false},         {L"12abc", 0, false},      {L"-5", -5, false},
        {L"65535", 65535, true},    {L"65536", 65536, false},  {L"99999999999", 0, false},
        {L"+7", 7, true},           {L"-", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(ParseDecimalOrZero(c.text), c.number);
        int port = -1;
        EXPECT_EQ(ParsePortText(c.text, port), c.isPort);
        if (c.isPort) {
            EXPECT_EQ(port, c.number);
        }
    }
}

TEST(ServerSettingsRules, TheSecureBoxMovesOnlyTheDefaultPorts)
{
    EXPECT_EQ(PortAfterSslSwitch(true, 389), 636);
    EXPECT_EQ(PortAfterSslSwitch(false, 636), 389);
    EXPECT_EQ(PortAfterSslSwitch(true, 636), 636);
    EXPECT_EQ(PortAfterSslSwitch(false, 389), 389);
    EXPECT_EQ(PortAfterSslSwitch(true, 10389), 10389);
    EXPECT_EQ(PortAfterSslSwitch(false, 10636), 10636);
}

} // namespace
