#pragma once
// The one top node of the tree. Its children are the server nodes, one per
// connection profile stored in the settings; it reads them when it loads its
// children, reloads them on refresh (after every job below has stopped),
// shows them as list rows, and makes new profiles with the profile wizard.

#include <cstdint>
#include <memory>
#include <string>

#include "model/nodes/CDataObject.h"

class CRootObject : public CDataObject {
public:
    CRootObject();

    const char* GetRuntimeClassName() const override { return "CRootObject"; }
    std::unique_ptr<platform::PopupMenu> BuildContextMenu() override;
    int GetType() const override { return kNodeRoot; }
    int GetImage(bool selected) const override { return selected ? 13 : 0; }
    bool QueryCapability1() const override { return true; }
    bool QueryCapability2() const override { return true; }
    // Unless busy: reloads the servers once every job below has stopped.
    void Refresh(intptr_t arg) override;
    // Unless busy: the servers anew from the stored profiles.
    void LoadChildren(intptr_t arg) override;
    void ShowContents(intptr_t arg) override;
    // The profile wizard; a new profile is saved and its server shown.
    void OnCommandNew() override;
    bool RouteCommandNew() override;
    bool Delete(intptr_t) override { return false; }
    bool PromptDelete() override { return false; }
    std::wstring GetFullName() const override;
    std::wstring GetTypeName() const override;
    std::wstring GetPropertiesTitle() const override;
    PropertyPageList AddPropertyPages() override;
    ServerLink GetServerLink() const override { return ServerLink(); }

    // One server node per stored profile below the root's item (flags as
    // InsertIntoViews; bit 0 also empties the list first). A missing
    // profiles key is made empty.
    void LoadServers(uint32_t flags);
};
