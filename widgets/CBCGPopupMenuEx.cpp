#include "widgets/CBCGPopupMenuEx.h"

#include <algorithm>

#include <wx/control.h>
#include <wx/dcbuffer.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include "widgets/CMenuEditBoxButton.h"
#include "widgets/WxCommandIds.h"

namespace {

constexpr int kBorder = 1;
constexpr int kImageColumn = 26;   // where a menu keeps its item images
constexpr int kRightMargin = 24;
constexpr int kItemPadding = 4;    // above and below a label
constexpr int kSeparatorHeight = 7;
constexpr int kLabelGap = 8;       // between the edit box's label and its box
constexpr int kAcceleratorGap = 24;

CBCGPopupMenuEx* g_activeMenu = nullptr;

wxString LabelPart(const std::wstring& text)
{
    wxString label(text);
    return label.BeforeFirst('\t');
}

wxString AcceleratorPart(const std::wstring& text)
{
    wxString label(text);
    return label.Contains('\t') ? label.AfterFirst('\t') : wxString();
}

PopupMenuKey KeyOf(const wxKeyEvent& event)
{
    switch (event.GetKeyCode()) {
    case WXK_UP:
    case WXK_NUMPAD_UP: return PopupMenuKey::Up;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return PopupMenuKey::Down;
    case WXK_HOME:
    case WXK_NUMPAD_HOME: return PopupMenuKey::Home;
    case WXK_END:
    case WXK_NUMPAD_END: return PopupMenuKey::End;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return PopupMenuKey::Enter;
    case WXK_ESCAPE: return PopupMenuKey::Escape;
    case WXK_ALT: return PopupMenuKey::Alt;
    default: break;
    }
    if (event.AltDown())
        return PopupMenuKey::Alt;
    const wxChar character = event.GetUnicodeKey();
    if (character != WXK_NONE && wxIsprint(character) && !event.ControlDown())
        return PopupMenuKey::Character;
    return PopupMenuKey::Other;
}

} // namespace

// Draws the items and takes the pointer and the keys outside editing.
class CBCGPopupMenuEx::ItemsWindow : public wxWindow {
public:
    explicit ItemsWindow(CBCGPopupMenuEx& menu)
        : wxWindow(&menu, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_NONE), m_menu(menu)
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        Bind(wxEVT_PAINT, &ItemsWindow::OnPaint, this);
        Bind(wxEVT_MOTION, &ItemsWindow::OnMotion, this);
        Bind(wxEVT_LEAVE_WINDOW, &ItemsWindow::OnLeave, this);
        Bind(wxEVT_LEFT_UP, &ItemsWindow::OnLeftUp, this);
        Bind(wxEVT_KEY_DOWN, &ItemsWindow::OnKeyDown, this);
    }

    // Places the items; the size the window needs.
    wxSize LayOut(int editHeight)
    {
        const auto& entries = m_menu.m_model.Entries();
        wxClientDC dc(this);
        dc.SetFont(GetFont());
        const int textHeight = dc.GetCharHeight();
        int labelWidth = 0, acceleratorWidth = 0, editRowWidth = 0;
        for (const PopupMenuEntry& entry : entries) {
            if (entry.IsSeparator())
                continue;
            const int width = dc.GetTextExtent(wxControl::RemoveMnemonics(LabelPart(entry.text))).x;
            if (entry.IsEditBox())
                editRowWidth = width + kLabelGap + (m_menu.m_editBox ? m_menu.m_editBox->GetEditWidth() : 0);
            else
                labelWidth = std::max(labelWidth, width);
            acceleratorWidth = std::max(acceleratorWidth, dc.GetTextExtent(AcceleratorPart(entry.text)).x);
        }
        if (acceleratorWidth > 0)
            labelWidth += kAcceleratorGap + acceleratorWidth;
        const int width = kBorder + kImageColumn + std::max(labelWidth, editRowWidth) + kRightMargin + kBorder;
        m_rects.clear();
        m_editRect = wxRect();
        int y = kBorder;
        for (const PopupMenuEntry& entry : entries) {
            int height = textHeight + 2 * kItemPadding;
            if (entry.IsSeparator())
                height = kSeparatorHeight;
            else if (entry.IsEditBox())
                height = std::max(textHeight + 9, editHeight + 4);
            m_rects.emplace_back(kBorder, y, width - 2 * kBorder, height);
            if (entry.IsEditBox()) {
                const int left = kBorder + kImageColumn +
                                 dc.GetTextExtent(wxControl::RemoveMnemonics(LabelPart(entry.text))).x + kLabelGap;
                const int boxWidth = m_menu.m_editBox ? m_menu.m_editBox->GetEditWidth() : 0;
                m_editRect = wxRect(left, y + (height - editHeight) / 2, boxWidth, editHeight);
            }
            y += height;
        }
        return wxSize(width, y + kBorder);
    }

    int HitTest(const wxPoint& point) const
    {
        for (size_t i = 0; i < m_rects.size(); ++i)
            if (m_rects[i].Contains(point))
                return static_cast<int>(i);
        return -1;
    }

    wxRect ItemRect(int index) const
    {
        return index >= 0 && index < static_cast<int>(m_rects.size()) ? m_rects[index] : wxRect();
    }
    const wxRect& EditRect() const { return m_editRect; }

    void OnKeyDown(wxKeyEvent& event)
    {
        const PopupMenuKey key = KeyOf(event);
        m_menu.Apply(m_menu.m_model.OnKey(key, key == PopupMenuKey::Character ? event.GetUnicodeKey() : 0));
    }

private:
    void OnPaint(wxPaintEvent&)
    {
        wxAutoBufferedPaintDC dc(this);
        const wxColour back = wxSystemSettings::GetColour(wxSYS_COLOUR_MENU);
        const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_MENUTEXT);
        const wxColour gray = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
        const wxColour shadow = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
        const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
        const wxColour highlightText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
        const wxSize size = GetClientSize();
        dc.SetBackground(wxBrush(back));
        dc.Clear();
        dc.SetPen(wxPen(shadow));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(0, 0, size.x, size.y);
        dc.SetFont(GetFont());
        const auto& entries = m_menu.m_model.Entries();
        const int highlighted = m_menu.m_model.GetHighlighted();
        for (size_t i = 0; i < entries.size() && i < m_rects.size(); ++i) {
            const PopupMenuEntry& entry = entries[i];
            const wxRect& r = m_rects[i];
            if (entry.IsSeparator()) {
                dc.SetPen(wxPen(shadow));
                dc.DrawLine(r.x + 4, r.y + r.height / 2, r.GetRight() - 3, r.y + r.height / 2);
                continue;
            }
            const bool lit = static_cast<int>(i) == highlighted && entry.enabled && !entry.IsEditBox();
            if (lit) {
                dc.SetPen(*wxTRANSPARENT_PEN);
                dc.SetBrush(wxBrush(highlight));
                dc.DrawRectangle(r);
            }
            dc.SetTextForeground(!entry.enabled ? gray : lit ? highlightText : text);
            wxString label;
            const int accel = wxControl::FindAccelIndex(LabelPart(entry.text), &label);
            wxRect labelRect(r.x + kImageColumn, r.y, r.width - kImageColumn - kRightMargin, r.height);
            dc.DrawLabel(label, labelRect, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL, accel);
            const wxString accelerator = AcceleratorPart(entry.text);
            if (!accelerator.empty())
                dc.DrawLabel(accelerator, labelRect, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
            if (entry.IsEditBox())
                DrawEditBox(dc, entry, static_cast<int>(i) == highlighted);
        }
    }

    // The box as it looks while its edit window is hidden.
    void DrawEditBox(wxDC& dc, const PopupMenuEntry& entry, bool lit)
    {
        if (m_editRect.IsEmpty() || !m_menu.m_editBox)
            return;
        dc.SetPen(wxPen(wxSystemSettings::GetColour(lit && entry.enabled ? wxSYS_COLOUR_HIGHLIGHT
                                                                         : wxSYS_COLOUR_INACTIVEBORDER)));
        dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
        dc.DrawRectangle(m_editRect);
        dc.SetTextForeground(wxSystemSettings::GetColour(entry.enabled ? wxSYS_COLOUR_WINDOWTEXT
                                                                       : wxSYS_COLOUR_GRAYTEXT));
        wxRect inside = m_editRect.Deflate(4, 1);
        wxDCClipper clip(dc, inside);
        dc.DrawLabel(wxString(m_menu.m_editBox->GetContents()), inside, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    }

    void OnMotion(wxMouseEvent& event)
    {
        if (m_menu.m_model.IsEditing())
            return;
        const int index = HitTest(event.GetPosition());
        if (!m_menu.m_model.Highlight(index))
            m_menu.m_model.Highlight(-1);
        Refresh();
    }

    void OnLeave(wxMouseEvent&)
    {
        if (!m_menu.m_model.IsEditing() && m_menu.m_model.GetHighlighted() != -1) {
            m_menu.m_model.Highlight(-1);
            Refresh();
        }
    }

    void OnLeftUp(wxMouseEvent& event)
    {
        m_menu.Apply(m_menu.m_model.OnClick(HitTest(event.GetPosition())));
    }

    CBCGPopupMenuEx& m_menu;
    std::vector<wxRect> m_rects;
    wxRect m_editRect;
};

void CBCGPopupMenuEx::Destroyer::operator()(CBCGPopupMenuEx* menu) const
{
    menu->Destroy();
}

CBCGPopupMenuEx::Ptr CBCGPopupMenuEx::Create(wxWindow* owner, const wxMenu& menu)
{
    std::vector<PopupMenuEntry> entries;
    for (const wxMenuItem* item : menu.GetMenuItems()) {
        PopupMenuEntry entry;
        entry.id = item->GetId();
        if (item->IsSeparator()) {
            entry.kind = PopupMenuEntry::Kind::Separator;
        } else {
            entry.text = item->GetItemLabel().ToStdWstring();
            // The context menus hold no submenus: such an item could not open.
            entry.enabled = item->IsEnabled() && !item->IsSubMenu();
        }
        entries.push_back(std::move(entry));
    }
    return Ptr(new CBCGPopupMenuEx(owner, std::move(entries)));
}

CBCGPopupMenuEx::CBCGPopupMenuEx(wxWindow* owner, std::vector<PopupMenuEntry> entries)
    : wxFrame(owner ? wxGetTopLevelParent(owner) : nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition,
              wxDefaultSize, wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT | wxSTAY_ON_TOP | wxBORDER_NONE),
      m_owner(owner), m_model(std::move(entries))
{
    m_items = new ItemsWindow(*this);
    Bind(wxEVT_ACTIVATE, &CBCGPopupMenuEx::OnActivate, this);
    // Closed from outside (a window manager's close): the menu ends, and
    // its owner destroys it.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        EndMenu(wxID_NONE);
        if (event.CanVeto())
            event.Veto();
    });
    LayOut();
}

CBCGPopupMenuEx::~CBCGPopupMenuEx()
{
    if (g_activeMenu == this)
        g_activeMenu = nullptr;
    // The edit window is a child of the items' window: it goes first.
    m_editBox.reset();
}

CBCGPopupMenuEx* CBCGPopupMenuEx::GetActiveMenu()
{
    return g_activeMenu;
}

bool CBCGPopupMenuEx::ReplaceWithEditBox(std::unique_ptr<CMenuEditBoxButton> button)
{
    const PopupMenuEntry* old = button ? FindCommand(ui::WxId(button->GetCommand())) : nullptr;
    if (!old || m_editBox)
        return false;
    button->SetDisabled(!old->enabled);
    if (!m_model.MakeEditBox(old->id, button->GetLabel()))
        return false;
    m_editBox = std::move(button);
    wxTextCtrl* edit = m_editBox->CreateEdit(m_items, wxRect(0, 0, m_editBox->GetEditWidth(), -1));
    if (edit)
        edit->Bind(wxEVT_KEY_DOWN, &CBCGPopupMenuEx::OnEditKey, this);
    LayOut();
    return true;
}

const PopupMenuEntry* CBCGPopupMenuEx::FindCommand(int id) const
{
    for (const PopupMenuEntry& entry : m_model.Entries())
        if (!entry.IsSeparator() && entry.id == id)
            return &entry;
    return nullptr;
}

void CBCGPopupMenuEx::LayOut()
{
    wxTextCtrl* edit = m_editBox ? m_editBox->GetEditWnd() : nullptr;
    const int editHeight = edit ? edit->GetBestSize().y : 0;
    const wxSize size = m_items->LayOut(editHeight);
    SetClientSize(size);
    m_items->SetSize(size);
    if (edit)
        edit->SetSize(m_items->EditRect());
}

wxRect CBCGPopupMenuEx::GetItemScreenRect(int index) const
{
    wxRect r = m_items->ItemRect(index);
    r.SetPosition(m_items->ClientToScreen(r.GetPosition()));
    return r;
}

void CBCGPopupMenuEx::HighlightButton(int index)
{
    if (index == m_model.GetHighlighted())
        return;
    if (m_model.Highlight(index))
        m_items->Refresh();
}

void CBCGPopupMenuEx::SetEditMode(bool editing)
{
    if (!m_editBox || m_editBox->IsEditDisabled())
        return;
    wxTextCtrl* edit = m_editBox->GetEditWnd();
    if (!edit)
        return;
    if (editing) {
        edit->SetSize(m_items->EditRect());
        edit->Show();
        edit->SetFocus();
        edit->SetSelection(0, 0);
        edit->SelectAll();
    } else {
        m_model.EndEditing();
        edit->Hide();
        m_items->SetFocus();
    }
    m_items->Refresh();
}

void CBCGPopupMenuEx::Apply(PopupMenuAction action)
{
    switch (action) {
    case PopupMenuAction::None:
    case PopupMenuAction::PassToEdit:
        return;
    case PopupMenuAction::Highlight:
        m_items->Refresh();
        return;
    case PopupMenuAction::Run: {
        const int index = m_model.GetHighlighted();
        EndMenu(m_model.Entries()[index].id);
        return;
    }
    case PopupMenuAction::StartEdit:
        if (!m_editBox || m_editBox->IsEditDisabled() || !m_editBox->GetEditWnd()) {
            m_model.EndEditing();
            return;
        }
        SetEditMode(true);
        return;
    case PopupMenuAction::TakeEdit:
        if (m_editBox) {
            m_editBox->EndEdit(CMenuEditBoxButton::EditEnd::TakeText);
            EndMenu(ui::WxId(m_editBox->GetCommand()));
        }
        return;
    case PopupMenuAction::CancelEdit:
        if (m_editBox)
            m_editBox->EndEdit(CMenuEditBoxButton::EditEnd::Restore);
        SetEditMode(false);
        return;
    case PopupMenuAction::Close:
        EndMenu(wxID_NONE);
        return;
    }
}

void CBCGPopupMenuEx::OnEditKey(wxKeyEvent& event)
{
    const PopupMenuKey key = KeyOf(event);
    // Ctrl+Enter and the like are the field's (completion formats the text).
    if (key == PopupMenuKey::Enter && event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    const PopupMenuAction action = m_model.OnKey(key);
    if (action == PopupMenuAction::PassToEdit) {
        event.Skip();
        return;
    }
    Apply(action);
}

void CBCGPopupMenuEx::EndMenu(int result)
{
    if (m_done)
        return;
    m_done = true;
    m_result = result;
    if (m_loop)
        m_loop->Exit();
}

void CBCGPopupMenuEx::OnActivate(wxActivateEvent& event)
{
    event.Skip();
    if (event.GetActive())
        m_activated = true;
    else if (m_activated && m_loop)
        CallAfter(&CBCGPopupMenuEx::OnFocusGone);
}

void CBCGPopupMenuEx::OnFocusGone()
{
    if (m_done || !m_loop || IsActive())
        return;
    wxWindow* focus = wxWindow::FindFocus();
    wxWindow* top = focus ? wxGetTopLevelParent(focus) : nullptr;
    if (top == this)
        return;
    // The window the menu floats on may take the keyboard without a click
    // (a focus request of its own that arrives late): the menu takes it
    // back. Any other window, or another program, closes it.
    if (top && m_owner && top == wxGetTopLevelParent(m_owner) && m_focusTakenBack < kFocusTakeBacks) {
        ++m_focusTakenBack;
        Raise();
        wxTextCtrl* edit = m_editBox ? m_editBox->GetEditWnd() : nullptr;
        if (m_model.IsEditing() && edit)
            edit->SetFocus();
        else
            m_items->SetFocus();
        return;
    }
    EndMenu(wxID_NONE);
}

int CBCGPopupMenuEx::FilterEvent(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_LEFT_DOWN && type != wxEVT_RIGHT_DOWN && type != wxEVT_MIDDLE_DOWN &&
        type != wxEVT_LEFT_DCLICK && type != wxEVT_RIGHT_DCLICK && type != wxEVT_MIDDLE_DCLICK)
        return Event_Skip;
    auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!window || wxGetTopLevelParent(window) == this)
        return Event_Skip;
    // A click outside closes the menu and goes no further, as with any menu.
    EndMenu(wxID_NONE);
    return Event_Processed;
}

int CBCGPopupMenuEx::TrackPopupMenu(const wxPoint& clientPoint)
{
    if (m_done || m_loop)
        return wxID_NONE;
    wxPoint at = m_owner ? m_owner->ClientToScreen(clientPoint) : clientPoint;
    int display = wxDisplay::GetFromPoint(at);
    const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
    const wxSize size = GetSize();
    // Within the screen, turned to the left or upwards where it would not fit.
    if (at.x + size.x > area.GetRight() + 1)
        at.x = std::max(area.x, at.x - size.x);
    if (at.y + size.y > area.GetBottom() + 1)
        at.y = std::max(area.y, at.y - size.y);
    Move(at);

    struct Running {
        CBCGPopupMenuEx& menu;
        explicit Running(CBCGPopupMenuEx& m) : menu(m)
        {
            g_activeMenu = &menu;
            wxEvtHandler::AddFilter(&menu);
        }
        ~Running()
        {
            wxEvtHandler::RemoveFilter(&menu);
            menu.m_loop = nullptr;
            if (g_activeMenu == &menu)
                g_activeMenu = nullptr;
        }
    } running(*this);

    Show();
    Raise();
    m_items->SetFocus();
    wxGUIEventLoop loop;
    m_loop = &loop;
    if (!m_done)
        loop.Run();
    m_loop = nullptr;
    // Closed in any other way while its edit box is being edited (a click
    // outside, another window taking the keyboard): the typed text is taken
    // and its command sent, as Enter would.
    if (m_model.IsEditing() && m_editBox && m_result == wxID_NONE) {
        m_editBox->EndEdit(CMenuEditBoxButton::EditEnd::TakeText);
        m_result = ui::WxId(m_editBox->GetCommand());
    }
    m_model.EndEditing();
    Hide();
    // The window the menu was for has the keyboard again.
    if (m_owner) {
        if (wxWindow* top = wxGetTopLevelParent(m_owner))
            top->Raise();
        m_owner->SetFocus();
    }
    return m_result;
}
