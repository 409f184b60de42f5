#pragma once
// The language tag of the keyboard layout in use, for the input-language
// indicator: the two letters, in capitals, of the layout the X keyboard
// extension has active (its current group), or of the locale's language
// where X offers none.

#include <string>

namespace ui {

// The layout of group (0-based) in an XKB symbols name such as
// "pc+us+de:2+inet(evdev)", as a two-letter tag in capitals ("DE"); empty
// when the name lists no layout for that group.
std::string LayoutTagFromSymbols(const std::string& symbols, int group);
// The language of a locale name such as "de_DE.UTF-8" in capitals ("DE");
// empty for "C", "POSIX" and names without a language.
std::string LanguageTagFromLocale(const std::string& locale);

// The tag of the active layout now: from the X display named by DISPLAY,
// else from the locale of the character classes; empty when neither
// gives one.
std::string CurrentKeyboardLanguageTag();

} // namespace ui
