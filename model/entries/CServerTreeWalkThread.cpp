#include "model/entries/CServerTreeWalkThread.h"

#include "model/entries/EntryJobs.h"

#include "model/entries/CServerObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/UiThread.h"

CServerTreeWalkThread::CServerTreeWalkThread(CServerObject* server) : CTreeWalkThread(server, nullptr), m_server(server)
{
}

void CServerTreeWalkThread::DoWork()
{
    Walk();
    RunOnUiThread([this] {
        // The node is this job's until the removal: it is gone only if
        // something else removed it meanwhile.
        if (Node() == m_server && !IsCancelled())
            RemoveServer(*m_server);
    });
}

void CServerTreeWalkThread::RemoveServer(CServerObject& server)
{
    server.DeleteProfile();
    platform::TreeItem item = server.GetTreeItem();
    DeleteChildItems(item);
    int row = FindObjectRow(server);
    std::shared_ptr<platform::ListPort> list = platform::GetListControl();
    if (row >= 0 && list)
        list->DeleteItem(row);
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (tree && item)
        tree->DeleteItem(item);
    if (CDataObject* shown = GetSelectedTreeObject())
        shown->UpdateChildIndicator();
    // Its destructor lets go of this job: the finish work then no longer
    // reaches the node.
    delete &server;
}

std::shared_ptr<CLDAPThread> MakeServerTreeWalkJob(CServerObject* server)
{
    return std::make_shared<CServerTreeWalkThread>(server);
}
