#pragma once
// Rules of the server property pages that need no window.

#include <string>

// An edit's text read as a decimal number (blanks around it allowed, an
// optional sign); 0 when it is not one or does not fit an int.
int ParseDecimalOrZero(const std::wstring& text);
// A port text the server page accepts: a decimal number from 0 to 65535.
bool ParsePortText(const std::wstring& text, int& port);
// The port after the secure-connection box was applied: turning it on moves
// the plain default port 389 to 636, turning it off moves 636 back to 389;
// every other port stays.
int PortForSecureChoice(bool useSSL, int port);
