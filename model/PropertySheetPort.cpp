#include "model/PropertySheetPort.h"

#include <mutex>

#include "platform/ShellPorts.h"

namespace {

std::mutex g_lock;
std::shared_ptr<PropertySheetPort> g_port;

}  // namespace

std::shared_ptr<PropertySheetPort> SetPropertySheetPort(std::shared_ptr<PropertySheetPort> port)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_port.swap(port);
    return port;
}

std::shared_ptr<PropertySheetPort> GetPropertySheetPort()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_port;
}

int RunPropertySheet(const std::wstring& caption, const PropertyPageList& pages)
{
    std::shared_ptr<PropertySheetPort> port = GetPropertySheetPort();
    return port ? port->RunModal(caption, pages) : platform::kIdCancel;
}
