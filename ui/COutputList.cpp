#include "ui/COutputList.h"

#include <wx/clipbrd.h>
#include <wx/dc.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include "shellcore/FrameCommands.h"
#include "shellcore/OutputSink.h"
#include "widgets/UiResources.h"
#include "widgets/WxCommandIds.h"

namespace {
constexpr unsigned kMenuOutput = 214;
constexpr unsigned kStrSetBookmark = 215;
constexpr unsigned kStrRemoveBookmark = 217;
}

COutputList::COutputList(wxWindow* parent, wxWindowID id)
    : wxVListBox(parent, id, wxDefaultPosition, wxDefaultSize, wxLB_SINGLE), m_registration(*this)
{
    platform::SetAppWindow(platform::AppWindow::OutputList, m_registration.Id());
    Bind(wxEVT_CONTEXT_MENU, &COutputList::OnContextMenu, this);
    Bind(wxEVT_RIGHT_DOWN, &COutputList::OnRightDown, this);
    Bind(wxEVT_LEFT_DCLICK, &COutputList::OnDoubleClick, this);
    for (uint32_t command : {cmd::kEditCopy, cmd::kEditClear, cmd::kToggleBookmark, cmd::kClearBookmarks,
                             cmd::kNextBookmark, cmd::kPrevBookmark, cmd::kHideOutput}) {
        Bind(wxEVT_MENU, &COutputList::OnCommand, this, ui::WxId(command));
        Bind(wxEVT_UPDATE_UI, &COutputList::OnUpdate, this, ui::WxId(command));
    }
}

COutputList::~COutputList()
{
    // First the sink, under the log lock: from then on no worker posts here.
    RemoveOutputSink();
    if (platform::GetAppWindow(platform::AppWindow::OutputList) == m_registration.Id())
        platform::SetAppWindow(platform::AppWindow::OutputList, platform::kNoReceiver);
    m_registration.Reset();
}

void COutputList::OnMessage(platform::MessageId id, uintptr_t, intptr_t,
                            std::unique_ptr<platform::MessagePayload> payload)
{
    if (id != platform::WM_OUTPUT_LINE)
        return;
    if (std::wstring* line = platform::PayloadValue<std::wstring>(payload))
        AddLine(wxString(*line));
}

void COutputList::AddLine(const wxString& line)
{
    m_lines.push_back(line);
    SetItemCount(m_lines.size());
    ShowLine(-1);
}

void COutputList::ShowLine(int index)
{
    if (index == -1)
        index = static_cast<int>(m_lines.size()) - 1;
    if (index <= 0 || index >= static_cast<int>(m_lines.size()))
        return;
    ScrollToRow(index);
    SetSelection(index);
    Refresh();
}

void COutputList::ToggleBookmark()
{
    int selected = GetSelection();
    if (selected == wxNOT_FOUND)
        return;
    m_bookmarks.Toggle(selected);
    Refresh();
    Update();
}

void COutputList::ClearBookmarks()
{
    m_bookmarks.Clear();
    Refresh();
}

void COutputList::ClearLines()
{
    m_lines.clear();
    m_bookmarks.Clear();
    SetItemCount(0);
    Refresh();
}

void COutputList::CopySelectedLine()
{
    int selected = GetSelection();
    if (selected == wxNOT_FOUND || selected >= static_cast<int>(m_lines.size()))
        return;
    wxClipboardLocker lock;
    if (!lock)
        return;
    wxTheClipboard->SetData(new wxTextDataObject(m_lines[selected]));
}

wxMenu* COutputList::BuildContextMenu()
{
    wxMenu* menu = ui::LoadPopupMenuResource(kMenuOutput);
    if (!menu)
        return nullptr;
    int selected = GetSelection();
    if (selected != wxNOT_FOUND) {
        if (wxMenuItem* item = menu->FindItem(ui::WxId(cmd::kToggleBookmark)))
            item->SetItemLabel(ui::ResourceString(IsBookmarked(selected) ? kStrRemoveBookmark : kStrSetBookmark));
    }
    return menu;
}

void COutputList::OnContextMenu(wxContextMenuEvent& event)
{
    std::unique_ptr<wxMenu> menu(BuildContextMenu());
    if (!menu)
        return;
    wxPoint at = event.GetPosition() == wxDefaultPosition ? wxDefaultPosition : ScreenToClient(event.GetPosition());
    PopupMenu(menu.get(), at);
}

void COutputList::OnRightDown(wxMouseEvent& event)
{
    int row = VirtualHitTest(event.GetPosition().y);
    if (row != wxNOT_FOUND)
        SetSelection(row);
    event.Skip();
}

void COutputList::OnDoubleClick(wxMouseEvent& event)
{
    int row = VirtualHitTest(event.GetPosition().y);
    if (row != wxNOT_FOUND)
        SetSelection(row);
    ToggleBookmark();
    event.Skip();
}

void COutputList::OnCommand(wxCommandEvent& event)
{
    switch (ui::CommandOf(event.GetId())) {
    case cmd::kEditCopy:
        CopySelectedLine();
        break;
    case cmd::kEditClear:
        ClearLines();
        break;
    case cmd::kToggleBookmark:
        ToggleBookmark();
        break;
    case cmd::kClearBookmarks:
        ClearBookmarks();
        break;
    case cmd::kNextBookmark:
    case cmd::kPrevBookmark: {
        int line = ui::CommandOf(event.GetId()) == cmd::kNextBookmark ? m_bookmarks.Next() : m_bookmarks.Prev();
        if (line != -1)
            ShowLine(line);
        break;
    }
    case cmd::kHideOutput: {
        // The frame hides its output pane and takes the focus.
        wxCommandEvent hide(wxEVT_MENU, ui::WxId(cmd::kHideOutput));
        hide.SetEventObject(this);
        if (wxWindow* top = wxGetTopLevelParent(this))
            top->GetEventHandler()->ProcessEvent(hide);
        break;
    }
    default:
        event.Skip();
    }
}

void COutputList::OnUpdate(wxUpdateUIEvent& event)
{
    bool lines = !m_lines.empty(), selected = GetSelection() != wxNOT_FOUND;
    switch (ui::CommandOf(event.GetId())) {
    case cmd::kEditCopy:
    case cmd::kToggleBookmark:
        event.Enable(lines && selected);
        break;
    case cmd::kEditClear:
        event.Enable(lines);
        break;
    case cmd::kClearBookmarks:
    case cmd::kNextBookmark:
    case cmd::kPrevBookmark:
        event.Enable(!m_bookmarks.IsEmpty());
        break;
    default:
        event.Enable(true);
    }
}

wxCoord COutputList::OnMeasureItem(size_t) const
{
    return GetCharHeight() + 4;
}

void COutputList::OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const
{
    wxColour fill;
    if (m_bookmarks.IsBookmarked(static_cast<int>(n)))
        fill = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    else if (IsSelected(n))
        // The desktop's selection colour: its highlight text reads on it.
        fill = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    else
        fill = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    dc.SetBrush(wxBrush(fill));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(rect);
}

void COutputList::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const
{
    if (n >= m_lines.size())
        return;
    wxColour text = IsSelected(n)    ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                    : !IsEnabled()   ? wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)
                                     : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    dc.SetTextForeground(text);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    wxString line = m_lines[n];
    line.Replace("\t", "    ");
    line.Replace("\n", " ");
    line.Replace("\r", " ");
    wxRect r = rect;
    r.x += 2;
    dc.DrawLabel(line, r, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}
