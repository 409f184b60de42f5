#include "model/plugins/PluginSheetPort.h"

#include "base/Installed.h"
#include "platform/ShellPorts.h"

namespace {

Installed<std::shared_ptr<PluginSheetPort>> g_port;

} // namespace

std::shared_ptr<PluginSheetPort> SetPluginSheetPort(std::shared_ptr<PluginSheetPort> port)
{
    return g_port.Set(std::move(port));
}

std::shared_ptr<PluginSheetPort> GetPluginSheetPort()
{
    return g_port.Get();
}

int RunPluginSheet(const std::wstring& caption, const std::vector<PluginLookupPageSetup>& pages)
{
    std::shared_ptr<PluginSheetPort> port = GetPluginSheetPort();
    return port ? port->RunModal(caption, pages) : platform::kIdCancel;
}
