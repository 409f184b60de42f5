#pragma once
// The saved placement of a resizable window and where it lives: one section
// of the user's settings below "Software\Vellumar\Arbolite\" per dialog or
// sheet, with "WindowPlacement" ("%d,%d,%d,%d,%d,%d": normal rectangle's
// left, top, right, bottom, show command, flags) and, for sheets,
// "ActivePage" (the zero-based page index).

#include <cstdint>
#include <string>

#include "dialogcore/ResizableAnchors.h"

// Show commands that the placement text carries.
constexpr int kShowNormal = 1;      // SW_SHOWNORMAL
constexpr int kShowMinimized = 2;   // SW_SHOWMINIMIZED
constexpr int kShowMaximized = 3;   // SW_SHOWMAXIMIZED

struct WindowPlacementRecord {
    LayoutRect normal;  // screen coordinates of the restored window
    int showCmd = kShowNormal;
    int flags = 0;

    bool operator==(const WindowPlacementRecord& o) const
    {
        return normal == o.normal && showCmd == o.showCmd && flags == o.flags;
    }
};

std::wstring FormatWindowPlacement(const WindowPlacementRecord& placement);
// False, with placement untouched, unless the text starts with six numbers
// separated by commas (anything after them is ignored).
bool ParseWindowPlacement(const std::wstring& text, WindowPlacementRecord& placement);

// The section's "WindowPlacement"; empty when missing.
std::wstring ReadWindowPlacementText(const std::wstring& section);
bool WriteWindowPlacementText(const std::wstring& section, const std::wstring& text);
// The section's "ActivePage", or fallback when missing.
int ReadActivePage(const std::wstring& section, int fallback = 0);
bool WriteActivePage(const std::wstring& section, int index);
