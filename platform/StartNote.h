#pragma once
// A line that whoever starts the program wants the user to read, passed in
// the environment (the demonstration launcher tells why its server is not
// on its usual port). The program writes it to the message log at start.

#include <string>

namespace platform {

extern const char* const kStartNoteVariable;  // "ARBOLITE_START_NOTE"

// The note (UTF-8 in the environment), trimmed of line ends; empty when none.
std::wstring GetStartNote();

} // namespace platform
