#include "model/NodeRegistry.h"

#include <mutex>
#include <unordered_map>

namespace NodeRegistry {

namespace {

// Nodes may be made on workers (a fetch makes entries), so the map is locked.
std::mutex g_lock;
std::unordered_map<NodeId, CDataObject*>& Nodes()
{
    static std::unordered_map<NodeId, CDataObject*> nodes;
    return nodes;
}
NodeId g_lastId = kNoNode;

}  // namespace

NodeId Add(CDataObject* node)
{
    std::lock_guard<std::mutex> lock(g_lock);
    NodeId id = ++g_lastId;
    Nodes().emplace(id, node);
    return id;
}

void Remove(NodeId id)
{
    std::lock_guard<std::mutex> lock(g_lock);
    Nodes().erase(id);
}

CDataObject* Find(NodeId id)
{
    if (id == kNoNode)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = Nodes().find(id);
    return it == Nodes().end() ? nullptr : it->second;
}

size_t Count()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return Nodes().size();
}

}  // namespace NodeRegistry
