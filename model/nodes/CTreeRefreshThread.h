#pragma once
// Reloads a node's subtree once every job below it has stopped: the walk,
// then the node's LoadChildren with the reload argument, posted to the list
// view. With reload 0 the nodes below stay blocked until the reload replaces
// them; with any other argument they are unblocked.

#include <cstdint>

#include "model/nodes/CTreeWalkThread.h"

class CTreeRefreshThread : public CTreeWalkThread {
public:
    CTreeRefreshThread(CDataObject* node, intptr_t reload);

    void DoWork() override;
    void OnError(arbldap::LDAPException) override {}
    bool CheckResult(int resultCode) override { return resultCode == 0; }

    intptr_t GetReload() const { return m_reload; }

private:
    intptr_t m_reload;
};
