#include "model/NodeDialogs.h"

#include <mutex>

namespace {

std::mutex g_lock;
std::shared_ptr<NodeDialogPort> g_port;

} // namespace

std::shared_ptr<NodeDialogPort> SetNodeDialogPort(std::shared_ptr<NodeDialogPort> port)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_port.swap(port);
    return port;
}

std::shared_ptr<NodeDialogPort> GetNodeDialogPort()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_port;
}
