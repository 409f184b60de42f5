#include "widgets/CResizableLayout.h"

#include <wx/stattext.h>
#include <wx/window.h>

bool CResizableLayout::NeedsFullRedraw(wxWindow* child)
{
    // A moved text keeps stale pixels where its alignment or wrapping changed.
    return dynamic_cast<wxStaticText*>(child) != nullptr;
}

void CResizableLayout::GetLayoutArea(wxRect& area)
{
    area = wxRect(wxPoint(0, 0), GetLayoutWindow()->GetClientSize());
}

bool CResizableLayout::OnArrangeCallback(AnchoredChild&)
{
    return false;
}

LayoutRect CResizableLayout::ChildRect(wxWindow* child)
{
    wxWindow* layout = GetLayoutWindow();
    wxPoint origin = child->GetPosition();
    if (child->GetParent() != layout)
        origin = layout->ScreenToClient(child->GetParent()->ClientToScreen(origin));
    const wxSize size = child->GetSize();
    return LayoutRect(origin.x, origin.y, origin.x + size.x, origin.y + size.y);
}

void CResizableLayout::AddAnchoredChild(wxWindow* child, AnchorPoint topLeft, AnchorPoint bottomRight)
{
    if (!child) return;
    wxRect area;
    GetLayoutArea(area);
    AnchoredChild entry = CAnchorLayoutList::Measure(child, area.width, area.height, ChildRect(child), topLeft,
                                                     bottomRight);
    entry.fullRedraw = NeedsFullRedraw(child);
    m_list.AddAnchored(entry);
}

bool CResizableLayout::AddAnchoredChild(int id, AnchorPoint topLeft, AnchorPoint bottomRight)
{
    wxWindow* child = GetLayoutWindow()->FindWindow(id);
    if (!child || child == GetLayoutWindow()) return false;
    AddAnchoredChild(child, topLeft, bottomRight);
    return true;
}

bool CResizableLayout::AddAnchoredChildren(std::initializer_list<Anchors> table)
{
    bool all = true;
    for (const Anchors& row : table) all = AddAnchoredChild(row.id, row.topLeft, row.bottomRight) && all;
    return all;
}

void CResizableLayout::AddLayoutCallback(uint32_t id)
{
    m_list.AddCallback(id);
}

void CResizableLayout::RemoveAllAnchoredChildren()
{
    m_list.RemoveAll();
}

void CResizableLayout::ArrangeChildren()
{
    wxRect area;
    GetLayoutArea(area);
    CAnchorLayoutList::ArrangeSteps steps;
    steps.currentRect = [this](void* window) { return ChildRect(static_cast<wxWindow*>(window)); };
    steps.callback = [this](AnchoredChild& entry) { return OnArrangeCallback(entry); };
    steps.apply = [this](const ChildMove& move) { MoveChild(move); };
    m_list.Arrange(area.width, area.height, steps);
}

void CResizableLayout::MoveChild(const ChildMove& move)
{
    auto* child = static_cast<wxWindow*>(move.window);
    wxWindow* layout = GetLayoutWindow();
    wxPoint origin(move.rect.left, move.rect.top);
    if (child->GetParent() != layout)
        origin = child->GetParent()->ScreenToClient(layout->ClientToScreen(origin));
    child->SetSize(origin.x, origin.y, move.rect.Width(), move.rect.Height(), wxSIZE_ALLOW_MINUS_ONE);
    if (move.fullRedraw) child->Refresh();
}
