#include "ui/NodeMenus.h"

#include <wx/window.h>

#include "model/nodes/CDataObject.h"
#include "shellcore/DocumentCommands.h"
#include "widgets/CBCGPopupMenuEx.h"
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

int TrackContextMenu(wxWindow& window, const wxMenu& menu, const wxPoint& point,
                     const std::function<void(CBCGPopupMenuEx&)>& prepare)
{
    CBCGPopupMenuEx::Ptr popup = CBCGPopupMenuEx::Create(&window, menu);
    if (prepare)
        prepare(*popup);
    return popup->TrackPopupMenu(point);
}

void RunNodeMenuCommand(wxWindow& source, CDataObject& node, uint32_t command)
{
    if (CDocumentCommands::ExecuteNodeMenuCommand(node, command))
        return;
    wxCommandEvent event(wxEVT_MENU, WxId(command));
    event.SetEventObject(&source);
    source.ProcessWindowEvent(event);
}

NodeMenuScope::NodeMenuScope(wxWindow& source, CDataObject* node)
    : m_source(source), m_node(node ? node->GetNodeId() : kNoNode)
{
    m_source.Bind(wxEVT_UPDATE_UI, &NodeMenuScope::OnUpdate, this);
}

NodeMenuScope::~NodeMenuScope()
{
    m_source.Unbind(wxEVT_UPDATE_UI, &NodeMenuScope::OnUpdate, this);
}

void NodeMenuScope::OnUpdate(wxUpdateUIEvent& event)
{
    bool enabled = false;
    CDataObject* node = m_node != kNoNode ? NodeRegistry::Find(m_node) : nullptr;
    if (node && CDocumentCommands::IsNodeMenuCommandEnabled(*node, CommandOf(event.GetId()), enabled))
        event.Enable(enabled);
    else
        event.Skip();
}

void UpdateMenuItems(wxMenu& menu, wxWindow& source)
{
    for (wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSeparator() || item->IsSubMenu() || !item->IsEnabled())
            continue;
        wxUpdateUIEvent event(item->GetId());
        event.SetEventObject(&menu);
        if (source.ProcessWindowEvent(event) && event.GetSetEnabled())
            item->Enable(event.GetEnabled());
    }
}

} // namespace ui
