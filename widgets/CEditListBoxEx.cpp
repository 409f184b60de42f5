#include "widgets/CEditListBoxEx.h"

#include <wx/accel.h>
#include <wx/bmpbuttn.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

struct KeyName {
    int key;
    const char* name;
};

const KeyName kKeyNames[] = {
    {WXK_INSERT, "Insert"}, {WXK_DELETE, "Delete"}, {WXK_BACK, "Backspace"}, {WXK_RETURN, "Enter"},
    {WXK_ESCAPE, "Esc"},    {WXK_SPACE, "Space"},   {WXK_TAB, "Tab"},        {WXK_UP, "Up"},
    {WXK_DOWN, "Down"},     {WXK_LEFT, "Left"},     {WXK_RIGHT, "Right"},    {WXK_HOME, "Home"},
    {WXK_END, "End"},       {WXK_PAGEUP, "Page Up"}, {WXK_PAGEDOWN, "Page Down"},
};

} // namespace

CEditListBoxEx::CEditListBoxEx(wxWindow* parent, wxWindowID id, const wxString& caption)
{
    Create(parent, id, caption);
}

bool CEditListBoxEx::Create(wxWindow* parent, wxWindowID id, const wxString& caption)
{
    if (!wxPanel::Create(parent, id, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_THEME))
        return false;
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_bar = new wxBoxSizer(wxHORIZONTAL);
    m_caption = new wxStaticText(this, wxID_ANY, caption);
    m_bar->Add(m_caption, 1, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
    column->Add(m_bar, 0, wxEXPAND | wxALL, 2);
    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(-1, 120),
                            wxLC_REPORT | wxLC_NO_HEADER | wxLC_SINGLE_SEL | wxLC_EDIT_LABELS | wxBORDER_NONE);
    m_list->InsertColumn(0, wxString());
    m_list->InsertItem(0, wxString());  // the new-item row
    column->Add(m_list, 1, wxEXPAND);
    SetSizer(column);

    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CEditListBoxEx::OnActivated, this);
    m_list->Bind(wxEVT_LIST_END_LABEL_EDIT, &CEditListBoxEx::OnEndLabel, this);
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, &CEditListBoxEx::OnSelected, this);
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, &CEditListBoxEx::OnSelected, this);
    m_list->Bind(wxEVT_SIZE, &CEditListBoxEx::OnSize, this);
    Bind(wxEVT_CHAR_HOOK, &CEditListBoxEx::OnCharHook, this);
    return true;
}

wxString CEditListBoxEx::AcceleratorName(int key, int flags)
{
    wxString name;
    if (flags & wxACCEL_CTRL) name += "Ctrl+";
    if (flags & wxACCEL_ALT) name += "Alt+";
    if (flags & wxACCEL_SHIFT) name += "Shift+";
    for (const KeyName& known : kKeyNames)
        if (known.key == key)
            return name + known.name;
    if (key >= WXK_F1 && key <= WXK_F24)
        return name + wxString::Format("F%d", key - WXK_F1 + 1);
    if (key > ' ' && key < 127)
        return name + wxString(wxUniChar(static_cast<unsigned>(wxToupper(key))));
    return name + wxAcceleratorEntry(0, key).ToString();
}

bool CEditListBoxEx::AddButton(const wxBitmap& icon, const wxString& tooltip, int key, int flags, int command)
{
    if (!m_list)
        return false;
    auto* button = new wxBitmapButton(this, static_cast<wxWindowID>(m_buttons.size() + 2), icon, wxDefaultPosition,
                                      wxDefaultSize, wxBU_EXACTFIT | wxBORDER_NONE);
    if (!tooltip.empty())
        button->SetToolTip(key ? tooltip + " (" + AcceleratorName(key, flags) + ")" : tooltip);
    button->SetCanFocus(false);
    const size_t index = m_buttons.size();
    button->Bind(wxEVT_BUTTON, [this, index](wxCommandEvent&) { OnClickButton(index); });
    if (m_buttonSize == wxSize())
        m_buttonSize = button->GetBestSize();
    m_buttons.push_back(button);
    m_accelerators.push_back(key ? (static_cast<uint32_t>(flags) << 16) | static_cast<uint32_t>(key & 0xFFFF) : 0);
    if (command)
        m_commands[index] = command;
    m_bar->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 1);
    Layout();
    return true;
}

uint32_t CEditListBoxEx::GetButtonAccelerator(size_t index) const
{
    return index < m_accelerators.size() ? m_accelerators[index] : 0;
}

int CEditListBoxEx::GetButtonCommand(size_t index) const
{
    auto found = m_commands.find(index);
    return found == m_commands.end() ? kCmdNone : found->second;
}

int CEditListBoxEx::GetCount() const { return m_list ? m_list->GetItemCount() - 1 : 0; }

int CEditListBoxEx::AddItem(const wxString& text, const void* data)
{
    const int index = GetCount();
    m_list->InsertItem(index, text);
    m_list->SetItemPtrData(index, reinterpret_cast<wxUIntPtr>(data));
    FitColumn();
    return index;
}

void CEditListBoxEx::RemoveItem(int index)
{
    if (index >= 0 && index < GetCount())
        m_list->DeleteItem(index);
}

wxString CEditListBoxEx::GetItemText(int index) const
{
    return index >= 0 && index < GetCount() ? m_list->GetItemText(index) : wxString();
}

void CEditListBoxEx::SetItemText(int index, const wxString& text)
{
    if (index >= 0 && index < GetCount())
        m_list->SetItemText(index, text);
}

const void* CEditListBoxEx::GetItemData(int index) const
{
    return index >= 0 && index < GetCount() ? reinterpret_cast<const void*>(m_list->GetItemData(index)) : nullptr;
}

void CEditListBoxEx::SetItemData(int index, const void* data)
{
    if (index >= 0 && index < GetCount())
        m_list->SetItemPtrData(index, reinterpret_cast<wxUIntPtr>(data));
}

int CEditListBoxEx::GetSelItem() const
{
    return m_list ? static_cast<int>(m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) : -1;
}

void CEditListBoxEx::SelectItem(int index)
{
    if (index < 0 || index > GetCount())
        return;
    m_list->SetItemState(index, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                         wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_list->EnsureVisible(index);
}

void CEditListBoxEx::CreateNewItem()
{
    SelectItem(GetNewItemRow());
    m_list->SetFocus();
    m_list->EditLabel(GetNewItemRow());
}

void CEditListBoxEx::BeginRename(int index)
{
    if (index == GetNewItemRow()) {
        CreateNewItem();
        return;
    }
    if (index < 0 || index >= GetCount())
        return;
    m_list->SetFocus();
    m_list->EditLabel(index);
}

void CEditListBoxEx::DeleteSelected()
{
    const int index = GetSelItem();
    if (index < 0 || index >= GetCount())
        return;
    m_list->DeleteItem(index);
    SelectItem(index < GetCount() ? index : GetCount() - 1);
    OnSelectionChanged();
}

void CEditListBoxEx::SwapRows(int a, int b)
{
    const wxString text = m_list->GetItemText(a);
    const wxUIntPtr data = m_list->GetItemData(a);
    m_list->SetItemText(a, m_list->GetItemText(b));
    m_list->SetItemPtrData(a, m_list->GetItemData(b));
    m_list->SetItemText(b, text);
    m_list->SetItemPtrData(b, data);
}

void CEditListBoxEx::MoveSelected(bool up)
{
    const int index = GetSelItem();
    const int other = up ? index - 1 : index + 1;
    if (index < 0 || index >= GetCount() || other < 0 || other >= GetCount())
        return;
    SwapRows(index, other);
    SelectItem(other);
}

void CEditListBoxEx::ClickButton(size_t index)
{
    if (index < m_buttons.size())
        OnClickButton(index);
}

void CEditListBoxEx::OnClickButton(size_t index)
{
    switch (GetButtonCommand(index)) {
    case kCmdNew: CreateNewItem(); break;
    case kCmdRename: BeginRename(GetSelItem()); break;
    case kCmdDelete: DeleteSelected(); break;
    case kCmdMoveUp: MoveSelected(true); break;
    case kCmdMoveDown: MoveSelected(false); break;
    default: break;
    }
}

void CEditListBoxEx::OnEditItem(int index) { BeginRename(index); }

bool CEditListBoxEx::OnEndEditLabel(int, const wxString&) { return true; }

void CEditListBoxEx::OnCharHook(wxKeyEvent& event)
{
    // While a rename runs its editor has the keys.
    if (!m_list || m_list->GetEditControl() || !m_list->HasFocus()) {
        event.Skip();
        return;
    }
    int flags = 0;
    if (event.ControlDown()) flags |= wxACCEL_CTRL;
    if (event.AltDown()) flags |= wxACCEL_ALT;
    if (event.ShiftDown()) flags |= wxACCEL_SHIFT;
    const uint32_t pressed = (static_cast<uint32_t>(flags) << 16) | static_cast<uint32_t>(event.GetKeyCode() & 0xFFFF);
    for (size_t i = 0; i < m_accelerators.size(); ++i) {
        if (m_accelerators[i] && m_accelerators[i] == pressed) {
            OnClickButton(i);
            return;
        }
    }
    event.Skip();
}

void CEditListBoxEx::OnActivated(wxListEvent& event) { OnEditItem(static_cast<int>(event.GetIndex())); }

void CEditListBoxEx::OnEndLabel(wxListEvent& event)
{
    const int index = static_cast<int>(event.GetIndex());
    if (event.IsEditCancelled())
        return;
    const wxString text = event.GetLabel();
    if (index == GetNewItemRow()) {
        // Named, the new-item row becomes a row and a new one follows it.
        if (text.empty() || !OnEndEditLabel(index, text)) {
            event.Veto();
            return;
        }
        m_list->SetItemPtrData(index, 0);
        m_list->InsertItem(index + 1, wxString());
        return;
    }
    if (!OnEndEditLabel(index, text))
        event.Veto();
}

void CEditListBoxEx::OnSelected(wxListEvent& event)
{
    event.Skip();
    OnSelectionChanged();
}

void CEditListBoxEx::OnSize(wxSizeEvent& event)
{
    event.Skip();
    FitColumn();
}

void CEditListBoxEx::FitColumn()
{
    if (m_list)
        m_list->SetColumnWidth(0, std::max(40, m_list->GetClientSize().x - 2));
}
