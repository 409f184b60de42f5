#pragma once
// The rules of the connection-profile wizard's pages that need no window:
// which wizard buttons a page shows, what a port text is worth, and how
// switching SSL moves the port.

#include <cstdint>
#include <string>

// Wizard buttons, as a page asks for them.
constexpr uint32_t kWizBack = 1;
constexpr uint32_t kWizNext = 2;
constexpr uint32_t kWizFinish = 4;
constexpr uint32_t kWizDisabledFinish = 8;

constexpr int kMinPort = 1;
constexpr int kMaxPort = 65535;
constexpr int kLdapPort = 389;
constexpr int kLdapsPort = 636;

enum class PortCheck {
    Empty,       // nothing typed yet: invalid, but nothing to say
    Valid,
    OutOfRange,  // not a number from kMinPort to kMaxPort
};

// Reads a port text (blanks around it allowed); port is set only when valid.
PortCheck CheckPortText(const std::wstring& text, int& port);

// The name page: text trimmed at both ends.
struct NamePageState {
    std::wstring name;     // trimmed; stored in the profile when not empty
    uint32_t buttons = 0;
    bool teamDirectory = false;  // the built-in team directory: finish only
};
NamePageState EvaluateProfileName(const std::wstring& text);

// The host page's buttons for the trimmed host text.
uint32_t HostPageButtons(const std::wstring& trimmedHost);

// The port after the SSL box was switched: 389 and 636 trade places, any
// other port stays.
int PortAfterSslSwitch(bool sslOn, int port);

