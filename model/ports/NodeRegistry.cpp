#include "model/ports/NodeRegistry.h"

#include <array>
#include <atomic>
#include <mutex>
#include <unordered_map>

namespace NodeRegistry {

namespace {

// Nodes may be made on workers (a fetch makes entries on several helpers at
// once), so the map is locked; it is cut into shards by id, so that helpers
// making nodes side by side seldom wait for each other.
constexpr size_t kShards = 16;

struct Shard {
    std::mutex lock;
    std::unordered_map<NodeId, CDataObject*> nodes;
};

std::array<Shard, kShards>& Shards()
{
    static std::array<Shard, kShards> shards;
    return shards;
}

Shard& ShardOf(NodeId id)
{
    return Shards()[id % kShards];
}

std::atomic<NodeId> g_lastId{kNoNode};
std::atomic<RemovalObserver> g_removalObserver{nullptr};

}  // namespace

NodeId Add(CDataObject* node)
{
    const NodeId id = ++g_lastId;
    Shard& shard = ShardOf(id);
    std::lock_guard<std::mutex> lock(shard.lock);
    shard.nodes.emplace(id, node);
    return id;
}

void Remove(NodeId id)
{
    Shard& shard = ShardOf(id);
    std::lock_guard<std::mutex> lock(shard.lock);
    auto it = shard.nodes.find(id);
    if (it == shard.nodes.end())
        return;
    if (RemovalObserver observer = g_removalObserver.load())
        observer(it->second);
    shard.nodes.erase(it);
    // The table keeps the size the biggest list gave it; once far emptier it
    // is made small again (seldom: each time it has shrunk eightfold).
    if (shard.nodes.bucket_count() > 1024 && shard.nodes.size() < shard.nodes.bucket_count() / 8)
        shard.nodes.rehash(0);
}

void SetRemovalObserver(RemovalObserver observer)
{
    g_removalObserver = observer;
}

CDataObject* Find(NodeId id)
{
    if (id == kNoNode)
        return nullptr;
    Shard& shard = ShardOf(id);
    std::lock_guard<std::mutex> lock(shard.lock);
    auto it = shard.nodes.find(id);
    return it == shard.nodes.end() ? nullptr : it->second;
}

size_t Count()
{
    size_t count = 0;
    for (Shard& shard : Shards()) {
        std::lock_guard<std::mutex> lock(shard.lock);
        count += shard.nodes.size();
    }
    return count;
}

}  // namespace NodeRegistry
