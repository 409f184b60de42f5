#include "model/entries/BinaryValueLoad.h"

#include <memory>
#include <string>

#include "base/Utf8.h"
#include "model/entries/CBinAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/NodeRegistry.h"
#include "model/ports/ResourceText.h"
#include "model/values/ValueFiles.h"
#include "platform/FileText.h"
#include "platform/ShellPorts.h"

namespace {

constexpr unsigned kStrReadFailed = 32775;
constexpr unsigned kStrEmptyFile = 753;
const wchar_t* const kInvalidFormat = L"Invalid file format.";

void ShowStop(const std::wstring& text)
{
    platform::ShowMessageBox(text, platform::kMbOk | platform::kMbIconError);
}

} // namespace

bool LoadBinaryValueFromFile(CDataObject* node)
{
    auto* value = dynamic_cast<CBinAttrObject*>(node);
    if (!value || !value->CanRenameInList())
        return false;
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    const NodeId id = value->GetNodeId();
    BinaryFileChoice choice;
    if (!dialogs || !dialogs->ChooseBinaryLoadFile(choice))
        return false;
    const std::string path = WideToUtf8Text(choice.path);
    std::string bytes;
    if (choice.base64) {
        std::string text;
        if (!LoadBase64TextFile(path, text))
            return false;
        if (!IsBase64Text(text)) {
            ShowStop(kInvalidFormat);
            return false;
        }
        bytes = Base64DecodeString(text);
    } else if (platform::ReadFileToString(path, bytes) != 0) {
        ShowStop(LoadResourceText(kStrReadFailed));
        return false;
    }
    if (bytes.empty()) {
        ShowStop(LoadResourceText(kStrEmptyFile));
        return false;
    }
    // The dialog's loop may have refreshed the entry meanwhile.
    value = dynamic_cast<CBinAttrObject*>(NodeRegistry::Find(id));
    if (!value || !value->CanRenameInList() || !value->GetOwner() || value->GetOwner()->IsBusy())
        return false;
    return value->LoadValueFromFile(bytes);
}
