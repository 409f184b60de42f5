#include "model/ports/NodeDialogs.h"

#include "base/Installed.h"


namespace {

Installed<std::shared_ptr<NodeDialogPort>> g_port;

} // namespace

std::shared_ptr<NodeDialogPort> SetNodeDialogPort(std::shared_ptr<NodeDialogPort> port)
{
    return g_port.Set(std::move(port));
}

std::shared_ptr<NodeDialogPort> GetNodeDialogPort()
{
    return g_port.Get();
}

bool HasNodeDialog(NodeDialog dialog)
{
    std::shared_ptr<NodeDialogPort> port = g_port.Get();
    return port && port->HasDialog(dialog);
}
