#include "model/ports/PropertySheetPort.h"

#include "base/Installed.h"

#include "platform/ShellPorts.h"

namespace {

Installed<std::shared_ptr<PropertySheetPort>> g_port;

}  // namespace

std::shared_ptr<PropertySheetPort> SetPropertySheetPort(std::shared_ptr<PropertySheetPort> port)
{
    return g_port.Set(std::move(port));
}

std::shared_ptr<PropertySheetPort> GetPropertySheetPort()
{
    return g_port.Get();
}

int RunPropertySheet(const std::wstring& caption, const PropertyPageList& pages)
{
    std::shared_ptr<PropertySheetPort> port = GetPropertySheetPort();
    return port ? port->RunModal(caption, pages) : platform::kIdCancel;
}

bool CanShowPropertySheet(const PropertyPageList& pages)
{
    std::shared_ptr<PropertySheetPort> port = GetPropertySheetPort();
    if (!port)
        return false;
    for (const std::unique_ptr<NodePropertyPage>& page : pages)
        if (page && port->CanShow(*page))
            return true;
    return false;
}
