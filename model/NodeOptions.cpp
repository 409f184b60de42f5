#include "model/NodeOptions.h"

#include <mutex>

namespace {

std::mutex g_lock;
NodeOptions g_options;

}  // namespace

void SetNodeOptions(const NodeOptions& options)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_options = options;
}

NodeOptions GetNodeOptions()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_options;
}
