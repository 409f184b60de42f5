#pragma once
// Removes a server node: once every job below it has stopped (and the nodes
// below refuse new ones), the profile's settings key is deleted, then the
// server's items and rows with the nodes they carry, then the node itself.
// The removal runs on the user-interface thread, where nodes are deleted;
// whatever a posted message or a timer still names is then simply not found.

#include "model/nodes/CTreeWalkThread.h"

class CServerObject;

class CServerTreeWalkThread : public CTreeWalkThread {
public:
    explicit CServerTreeWalkThread(CServerObject* server);

    void DoWork() override;
    bool CheckResult(int) override { return true; }

private:
    // The server's items, row and node, and its profile's key.
    void RemoveServer(CServerObject& server);

    CServerObject* m_server;
};
