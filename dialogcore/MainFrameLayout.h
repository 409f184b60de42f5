#pragma once
// What the main window keeps across runs, as workspace state below the
// settings key, in the section "Settings\MainFrame": its placement
// ("WindowPlacement", kept as every resizable window keeps its own, see
// WindowPlacementText.h), the splitter's position between the tree and the
// list ("Splitter") and whether the output bar is shown ("OutputBar").
// A settings reset after an upgrade forgets them with the rest of Settings.

#include <optional>

// The section, below "Software\Vellumar\Arbolite\".
extern const wchar_t* const kMainFrameSection;

struct MainFrameLayout {
    // Pixels from the splitter's left edge; none when not kept or unusable.
    std::optional<int> splitterPosition;
    std::optional<bool> outputBarShown;
};

// Missing, mistyped or unusable values are left out.
MainFrameLayout LoadMainFrameLayout();
// Writes the values that are set.
bool SaveMainFrameLayout(const MainFrameLayout& layout);
