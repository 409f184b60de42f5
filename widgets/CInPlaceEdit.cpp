#include "widgets/CInPlaceEdit.h"

#include <algorithm>

#include <wx/dcclient.h>

CInPlaceEdit::CInPlaceEdit(long item, long subItem, const wxString& initialText, int extraWidth)
    : m_extraWidth(extraWidth), m_item(item), m_subItem(subItem), m_initialText(initialText)
{
}

bool CInPlaceEdit::Create(wxListCtrl* list, wxWindow* parent, wxWindowID id, const wxRect& rect, long style)
{
    m_list = list;
    if (!wxTextCtrl::Create(parent, id, m_initialText, rect.GetPosition(), rect.GetSize(),
                            style | wxTE_PROCESS_ENTER | wxBORDER_SIMPLE))
        return false;
    SetFont(list->GetFont());
    Bind(wxEVT_KEY_DOWN, &CInPlaceEdit::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CInPlaceEdit::OnChar, this);
    Bind(wxEVT_KILL_FOCUS, &CInPlaceEdit::OnKillFocus, this);
    Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { Finish(false); });
    SetFocus();
    AutoSize();
    SelectAll();
    return true;
}

bool CInPlaceEdit::IsMultiLine() const
{
    return (GetWindowStyleFlag() & wxTE_MULTILINE) != 0;
}

void CInPlaceEdit::Cancel()
{
    CallAfter([this] { Finish(true); });
}

void CInPlaceEdit::Commit()
{
    CallAfter([this] { Finish(false); });
}

void CInPlaceEdit::OnKeyDown(wxKeyEvent& event)
{
    // The editor keeps Return and Escape to itself; a multi-line editor
    // swallows Escape.
    switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
        if (!IsMultiLine())
            Finish(true);
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        if (!IsMultiLine()) {
            Finish(false);
            return;
        }
        break;
    default:
        break;
    }
    event.Skip();
}

void CInPlaceEdit::OnChar(wxKeyEvent& event)
{
    event.Skip();
    CallAfter([this] {
        if (!m_ended)
            AutoSize();
    });
}

void CInPlaceEdit::OnKillFocus(wxFocusEvent& event)
{
    event.Skip();
    Finish(m_cancelled);
}

void CInPlaceEdit::Finish(bool cancel)
{
    if (m_ended)
        return;
    m_ended = true;
    m_cancelled = cancel;
    wxListCtrl* list = m_list && !m_list->IsBeingDeleted() ? m_list : nullptr;
    if (list) {
        wxListEvent ended(wxEVT_LIST_END_LABEL_EDIT, list->GetId());
        ended.SetEventObject(list);
        ended.m_itemIndex = m_item;
        ended.m_col = static_cast<int>(m_subItem);
        ended.m_item.m_itemId = m_item;
        ended.m_item.m_col = static_cast<int>(m_subItem);
        ended.SetEditCanceled(cancel);
        if (!cancel)
            ended.m_item.m_text = GetValue();
        list->GetEventHandler()->ProcessEvent(ended);
    }
    Hide();
    if (list)
        list->SetFocus();
    if (!IsBeingDeleted())
        CallAfter([this] { Destroy(); });
}

void CInPlaceEdit::AutoSize()
{
    if (!m_list)
        return;
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    const wxString text = GetValue();
    wxRect rect = GetRect();
    int width = rect.width;
    int height = rect.height;
    if (IsMultiLine()) {
        const int wrap = std::max(1, rect.width + m_extraWidth - 5);
        int lines = 1, longest = 0, lineWidth = 0;
        wxCoord w = 0, h = 0;
        dc.GetTextExtent("Wg", &w, &h);
        for (const wxString& word : wxSplit(text, ' ', '\0')) {
            wxCoord ww = 0, wh = 0;
            dc.GetTextExtent(word + " ", &ww, &wh);
            if (lineWidth > 0 && lineWidth + ww > wrap) {
                ++lines;
                lineWidth = 0;
            }
            lineWidth += ww;
            longest = std::max(longest, lineWidth);
        }
        width = std::min(wrap, longest) + 5;
        height = lines * h + 4;
    } else {
        wxCoord w = 0, h = 0;
        dc.GetTextExtent(text, &w, &h);
        width = w + 5 + 2 * (GetSize().x - GetClientSize().x);
    }
    const wxSize parent = GetParent()->GetClientSize();
    const int right = std::min(rect.x + std::max(width, rect.width), parent.x - 2);
    const int bottom = std::min(rect.y + std::max(height, rect.height), parent.y - 2);
    if (IsMultiLine() && bottom >= parent.y - 2)
        SetWindowStyleFlag(GetWindowStyleFlag() | wxVSCROLL);
    const int newWidth = right - rect.x;
    const int newHeight = bottom - rect.y;
    if (newWidth > rect.width || newHeight > rect.height)
        SetSize(rect.x, rect.y, std::max(newWidth, rect.width), std::max(newHeight, rect.height));
}
