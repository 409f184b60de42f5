#include "model/entries/CBinAttrObject.h"

#include "base/Utf8.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/ResourceText.h"
#include "model/values/ValueFiles.h"
#include "model/values/ValueText.h"
#include "platform/ShellPorts.h"

namespace {

constexpr unsigned kStrBinaryType = 344;
constexpr unsigned kStrWriteFailed = 32776;

} // namespace

CBinAttrObject::CBinAttrObject(AttributeOwner* owner, const std::string& name, const std::string& value)
    : CAttrObject(owner, name)
{
    CBinAttrObject::SetValue(value);
}

void CBinAttrObject::SetValue(const std::string& bytes)
{
    StoreValue(bytes, FormatBinaryValueText(bytes));
}

std::wstring CBinAttrObject::GetTypeName() const
{
    return IsPasswordValue() ? GetPasswordTypeName() : LoadResourceText(kStrBinaryType);
}

bool CBinAttrObject::CanSaveValue() const
{
    return HasNodeDialog(NodeDialog::BinaryFile);
}

bool CBinAttrObject::CanRenameInList() const
{
    return GetOwner() && !IsOperational() && !IsReadOnly() && !IsNamingValue();
}

void CBinAttrObject::SaveValueAs(const std::wstring& extension, const std::wstring& fileName,
                                 const std::wstring& filter)
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    BinaryFileChoice choice;
    if (!dialogs || !dialogs->ChooseBinaryFile(extension, fileName, filter, choice))
        return;
    if (!choice.base64) {
        WriteValueFile(choice.path);
        return;
    }
    if (!ConvertValueText(WideToUtf8Text(choice.path), GetValue(), choice.limitOn, choice.limitOn ? choice.limit : -1))
        platform::ShowMessageBox(LoadResourceText(kStrWriteFailed), platform::kMbOk | platform::kMbIconError);
}
