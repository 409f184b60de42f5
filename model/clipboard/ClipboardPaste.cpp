#include "model/clipboard/ClipboardPaste.h"

#include <memory>

#include "base/Utf8.h"
#include "model/clipboard/CArbClipboard.h"
#include "model/clipboard/CCopyEntriesThread.h"
#include "model/entries/CServerObject.h"
#include "model/ports/ResourceText.h"
#include "platform/ControlPorts.h"
#include "platform/ShellPorts.h"

namespace {

constexpr unsigned kStrNothingToPaste = 567;
constexpr unsigned kStrSourceNotOpen = 570;
constexpr unsigned kStrPasteRefused = 571;
constexpr uint32_t kMbIconInformation = 0x40;

bool IsOpenServerOf(const CServerObject* server, const GUID& identity)
{
    if (!server || !server->IsBound() || !server->GetConnection())
        return false;
    RefPtr<CLDAPSchema> schema = server->GetSchema();
    return schema && schema->GetHostGuid() == identity;
}

void Tell(const std::wstring& text)
{
    platform::ShowMessageBox(text, platform::kMbOk | kMbIconInformation);
}

}  // namespace

CServerObject* FindPasteSource(const CArbClipboardContext& content, const CLDAPObject& target)
{
    const GUID identity = content.GetGuid();
    // A null identity names no server.
    if (identity == GUID())
        return nullptr;
    CServerObject* own = target.GetServerObject();
    if (IsOpenServerOf(own, identity))
        return own;
    std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
    if (!tree)
        return nullptr;
    for (platform::TreeItem top = tree->GetChildItem(platform::kTreeRoot); top; top = tree->GetNextSiblingItem(top))
        for (void* data : tree->GetChildrenData(top)) {
            auto* server = dynamic_cast<CServerObject*>(static_cast<CDataObject*>(data));
            if (IsOpenServerOf(server, identity))
                return server;
        }
    return nullptr;
}

bool PasteOnto(CLDAPObject& target, const CArbClipboardContext& content)
{
    if (target.IsBusy())
        return false;
    CServerObject* source = FindPasteSource(content, target);
    if (!source) {
        Tell(LoadResourceText(kStrSourceNotOpen));
        return false;
    }
    if (source == target.GetServerObject() && !IsPasteAllowed(content, target.GetDN())) {
        Tell(FormatResourceText(kStrPasteRefused, {Utf8ToWideString(target.GetDN().GetText())}));
        return false;
    }
    target.StartJob(std::make_shared<CCopyEntriesThread>(target, content, source));
    return true;
}

bool PasteClipboardOnto(CLDAPObject& target)
{
    CArbClipboard clipboard;
    if (!clipboard.Paste() || !clipboard.GetContext()) {
        Tell(LoadResourceText(kStrNothingToPaste));
        return false;
    }
    return PasteOnto(target, *clipboard.GetContext());
}
