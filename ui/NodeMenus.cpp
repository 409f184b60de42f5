#include "ui/NodeMenus.h"

#include <wx/window.h>

#include "shellcore/DocumentCommands.h"
#include "widgets/WxCommandIds.h"

namespace ui {

std::unique_ptr<wxMenu> MakeWxMenu(const platform::PopupMenu& items)
{
    auto menu = std::make_unique<wxMenu>();
    for (const platform::MenuItem& item : items.Items()) {
        if (item.IsSeparator()) {
            menu->AppendSeparator();
            continue;
        }
        menu->Append(WxId(item.command), wxString(item.text))->Enable(item.IsEnabled());
    }
    return menu;
}

void RunNodeMenuCommand(wxWindow& source, CDataObject& node, uint32_t command)
{
    if (CDocumentCommands::ExecuteNodeMenuCommand(node, command))
        return;
    wxCommandEvent event(wxEVT_MENU, WxId(command));
    event.SetEventObject(&source);
    source.ProcessWindowEvent(event);
}

} // namespace ui
