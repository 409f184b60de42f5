#include "platform/Clipboard.h"

#include <utility>

#include "base/Installed.h"

namespace platform {

namespace {

Installed<std::shared_ptr<ClipboardPort>> g_clipboard;

}  // namespace

std::shared_ptr<ClipboardPort> SetClipboardPort(std::shared_ptr<ClipboardPort> port)
{
    return g_clipboard.Set(std::move(port));
}

std::shared_ptr<ClipboardPort> GetClipboardPort()
{
    return g_clipboard.Get();
}

} // namespace platform
