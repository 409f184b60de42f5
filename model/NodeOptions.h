#pragma once
// The options the nodes read. The program copies them from its options record
// at start-up and whenever the user changes them; until then the defaults hold.

#include <cstdint>

struct NodeOptions {
    // Information nodes remove themselves after informationDelaySeconds.
    bool removeInformationNodes = true;
    uint32_t informationDelaySeconds = 30;
    // A node inserted below the selected tree item is scrolled into view.
    bool revealInsertedItems = false;
};

// Any thread.
void SetNodeOptions(const NodeOptions& options);
NodeOptions GetNodeOptions();
