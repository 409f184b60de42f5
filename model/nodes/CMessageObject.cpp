#include "model/nodes/CMessageObject.h"

#include "model/nodes/ListViewOperations.h"
#include "model/ports/ResourceText.h"

namespace {

constexpr unsigned kStrRemove = 171;

}  // namespace

CMessageObject::CMessageObject(const ServerLink& server)
{
    SetServerObject(server);
    SetChildrenLoaded(true);
}

void CMessageObject::ShowContents(intptr_t)
{
    RemoveAllRows();
    UpdateRowText(*this, -1);
}

void CMessageObject::UpdateChildIndicator()
{
    SetChildIndicator(0);
}

std::unique_ptr<platform::PopupMenu> CMessageObject::BuildContextMenu()
{
    std::unique_ptr<platform::PopupMenu> menu = CDataObject::BuildContextMenu();
    menu->AppendSeparator();
    menu->AppendItem(kCmdRemoveMessage, LoadResourceText(kStrRemove));
    AppendPropertiesCommand(*menu);
    return menu;
}
