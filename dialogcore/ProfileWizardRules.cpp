#include "dialogcore/ProfileWizardRules.h"

#include "shellcore/CommandTextMap.h"

#include <cwctype>

namespace {

const wchar_t kTeamProfileName[] = L"Tessaline Team";

}  // namespace

PortCheck CheckPortText(const std::wstring& text, int& port)
{
    std::wstring digits = TrimWhiteSpace(text);
    if (digits.empty())
        return PortCheck::Empty;
    long value = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return PortCheck::OutOfRange;
        value = value * 10 + (c - L'0');
        if (value > kMaxPort)
            return PortCheck::OutOfRange;
    }
    if (value < kMinPort)
        return PortCheck::OutOfRange;
    port = static_cast<int>(value);
    return PortCheck::Valid;
}

NamePageState EvaluateProfileName(const std::wstring& text)
{
    NamePageState state;
    state.name = TrimWhiteSpace(text);
    if (state.name == kTeamProfileName) {
        state.teamDirectory = true;
        state.buttons = kWizFinish;
    } else if (state.name.empty()) {
        state.buttons = kWizDisabledFinish;
    } else {
        state.buttons = kWizNext | kWizDisabledFinish;
    }
    return state;
}

uint32_t HostPageButtons(const std::wstring& trimmedHost)
{
    return kWizBack | (trimmedHost.empty() ? kWizDisabledFinish : kWizNext | kWizFinish);
}

int PortAfterSslSwitch(bool sslOn, int port)
{
    if (sslOn && port == kLdapPort)
        return kLdapsPort;
    if (!sslOn && port == kLdapsPort)
        return kLdapPort;
    return port;
}
