#pragma once
// What error and information nodes share: a leaf of the tree with a row of
// its own that shows a message, which the user may remove (command 32881) but
// not delete through the delete command, and which makes nothing new.

#include "model/nodes/CDataObject.h"

class CMessageObject : public CDataObject {
public:
    bool QueryCapability1() const override { return true; }
    bool QueryCapability2() const override { return true; }
    // The list shows the node's own row only.
    void ShowContents(intptr_t arg) override;
    void OnCommandNew() override {}
    bool RouteCommandNew() override { return false; }
    // A leaf: never an expand button.
    void UpdateChildIndicator() override;
    bool PromptDelete() override { return false; }
    uint32_t GetSize() const override { return kSizeUnknown; }
    // The base menu, then Remove and Properties.
    std::unique_ptr<platform::PopupMenu> BuildContextMenu() override;

protected:
    explicit CMessageObject(const ServerLink& server);
};
