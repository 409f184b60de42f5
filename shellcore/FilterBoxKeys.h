#pragma once
// What a key does in the toolbar's filter box, without a window.

// The keys the filter box tells apart.
enum class FilterKey { Enter, PageUp, PageDown, Home, End, Up, Down, Tab, Escape, Other };

enum class FilterKeyAction {
    PassOn,        // the field's own handling
    Swallow,       // nothing at all (the list does not move while closed)
    Apply,         // the field's handling, then the text applied and recorded
    NextControl,   // the focus moves on
    CloseList,     // the list closes and the main window takes the focus
};

// ctrlOrAlt: Ctrl or Alt is down. listShown: the drop-down list is open.
FilterKeyAction FilterBoxKeyAction(FilterKey key, bool ctrlOrAlt, bool listShown);
