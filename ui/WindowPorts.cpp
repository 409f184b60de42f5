#include "ui/WindowPorts.h"

#include <memory>

#include "dialogcore/CLdifExportThread.h"
#include "dialogs/CPluginOptionsSheet.h"
#include "dialogs/WxNodeDialogs.h"
#include "dialogs/WxProfileWizard.h"
#include "dialogs/WxProgressDlg.h"
#include "model/ports/LdifExport.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/ProfileWizard.h"
#include "model/ports/ProgressDialogFactory.h"
#include "model/ports/PropertySheetPort.h"
#include "platform/Clipboard.h"
#include "platform/ShellPorts.h"
#include "shellcore/AutoCompletion.h"
#include "ui/WxClipboardPort.h"
#include "ui/WxMessageBoxPort.h"
#include "ui/WxPropertySheet.h"
#include "widgets/RecentItemsCompletion.h"

namespace ui {

void InstallWindowPorts()
{
    platform::SetMessageBoxPort(std::make_shared<WxMessageBoxPort>());
    SetPropertySheetPort(std::make_shared<WxPropertySheet>());
    SetAutoCompletionFactory(BindAutoCompletion);
    SetProfileWizardPort(std::make_shared<WxProfileWizard>());
    SetNodeDialogPort(std::make_shared<WxNodeDialogs>());
    SetPluginSheetPort(std::make_shared<WxPluginSheetPort>());
    platform::SetClipboardPort(std::make_shared<WxClipboardPort>());
    SetProgressDialogFactory(MakeWxProgressDlg);
    SetLdifExportRunner(StartLdifExport);
}

void RemoveWindowPorts()
{
    SetLdifExportRunner(nullptr);
    SetProgressDialogFactory(nullptr);
    SetProfileWizardPort(nullptr);
    platform::SetClipboardPort(nullptr);
    SetPluginSheetPort(nullptr);
    SetNodeDialogPort(nullptr);
    SetAutoCompletionFactory(nullptr);
    SetPropertySheetPort(nullptr);
    platform::SetMessageBoxPort(nullptr);
}

} // namespace ui
