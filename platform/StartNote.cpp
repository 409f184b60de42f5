#include "platform/StartNote.h"

#include <cstdlib>

#include "base/Utf8.h"

namespace platform {

const char* const kStartNoteVariable = "ARBOLITE_START_NOTE";

std::wstring GetStartNote()
{
    const char* value = std::getenv(kStartNoteVariable);
    std::wstring note = value ? Utf8ToWideString(value) : std::wstring();
    // One log line: a line end inside would start a line of its own.
    for (wchar_t& c : note)
        if (c == L'\n' || c == L'\r')
            c = L' ';
    while (!note.empty() && note.back() == L' ')
        note.pop_back();
    return note;
}

} // namespace platform
