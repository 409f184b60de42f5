#include "widgets/KeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace ui {

namespace {

// Parts of a symbols name that add keys or options, not a layout.
const std::set<std::string> kNotLayouts = {
    "pc", "pc104", "pc105", "inet", "group", "level3", "level5", "lv3", "lv5", "ctrl", "compose",
    "terminate", "altwin", "keypad", "capslock", "caps", "eurosign", "shift", "nbsp", "kpdl",
    "srvr_ctrl", "japan", "korean", "mod_led", "grp_led", "apple", "evdev", "base", "custom"};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

std::string Tag(const std::string& name)
{
    std::string tag;
    for (char c : name) {
        if (!std::isalpha(static_cast<unsigned char>(c)))
            break;
        tag += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (tag.size() == 2)
            return tag;
    }
    return std::string();
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// One connection for every question, opened at the first (as the indicators
// share one language object); a display that cannot be opened is asked again
// next time.
Display* SharedDisplay()
{
    static std::unique_ptr<Display, DisplayCloser> display;
    if (!display && std::getenv("DISPLAY")) {
        int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
        display.reset(XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason));
    }
    return display.get();
}

std::string TagFromX()
{
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    Display* display = SharedDisplay();
    if (!display)
        return std::string();
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return std::string();
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (!keyboard)
        return std::string();
    std::string tag;
    if (XkbGetNames(display, XkbSymbolsNameMask, keyboard) == Success && keyboard->names &&
        keyboard->names->symbols) {
        if (char* symbols = XGetAtomName(display, keyboard->names->symbols)) {
            tag = LayoutTagFromSymbols(symbols, state.group);
            XFree(symbols);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return tag;
}

} // namespace

std::string LayoutTagFromSymbols(const std::string& symbols, int group)
{
    int nextUnnumbered = 1;
    for (const std::string& part : Split(symbols, '+')) {
        std::string name = part;
        int index = 0;
        size_t colon = name.find(':');
        if (colon != std::string::npos) {
            index = std::atoi(name.c_str() + colon + 1);
            name.erase(colon);
        }
        size_t variant = name.find('(');
        if (variant != std::string::npos)
            name.erase(variant);
        if (name.empty() || kNotLayouts.count(name))
            continue;
        if (index == 0)
            index = nextUnnumbered++;
        if (index == group + 1)
            return Tag(name);
    }
    return std::string();
}

std::string LanguageTagFromLocale(const std::string& locale)
{
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.compare(0, 2, "C.") == 0)
        return std::string();
    return Tag(locale);
}

std::string CurrentKeyboardLanguageTag()
{
    std::string tag = TagFromX();
    if (!tag.empty())
        return tag;
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    return LanguageTagFromLocale(locale ? locale : "");
}

} // namespace ui
