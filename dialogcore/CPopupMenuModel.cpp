#include "dialogcore/CPopupMenuModel.h"

#include <cwctype>
#include <utility>

CPopupMenuModel::CPopupMenuModel(std::vector<PopupMenuEntry> entries) : m_entries(std::move(entries)) {}

bool CPopupMenuModel::CanHighlight(int index) const
{
    return index >= 0 && index < static_cast<int>(m_entries.size()) && !m_entries[index].IsSeparator() &&
           m_entries[index].enabled;
}

bool CPopupMenuModel::Highlight(int index)
{
    if (m_editing)
        return false;
    if (index != -1 && !CanHighlight(index))
        return false;
    m_highlighted = index;
    return true;
}

PopupMenuAction CPopupMenuModel::Activate(int index)
{
    if (!CanHighlight(index))
        return PopupMenuAction::None;
    m_highlighted = index;
    if (m_entries[index].IsEditBox()) {
        m_editing = true;
        return PopupMenuAction::StartEdit;
    }
    return PopupMenuAction::Run;
}

PopupMenuAction CPopupMenuModel::MoveBy(int step)
{
    const int count = static_cast<int>(m_entries.size());
    if (count == 0)
        return PopupMenuAction::None;
    int index = m_highlighted;
    if (index < 0)
        index = step > 0 ? -1 : count;
    for (int tried = 0; tried < count; ++tried) {
        index = ((index + step) % count + count) % count;
        if (CanHighlight(index)) {
            m_highlighted = index;
            return PopupMenuAction::Highlight;
        }
    }
    return PopupMenuAction::None;
}

PopupMenuAction CPopupMenuModel::OnLetter(wchar_t letter)
{
    const wchar_t wanted = static_cast<wchar_t>(std::towupper(letter));
    if (wanted == 0)
        return PopupMenuAction::None;
    std::vector<int> matches;
    for (int i = 0; i < static_cast<int>(m_entries.size()); ++i)
        if (CanHighlight(i) && AccessLetter(m_entries[i].text) == wanted)
            matches.push_back(i);
    if (matches.empty())
        return PopupMenuAction::None;
    if (matches.size() == 1)
        return Activate(matches.front());
    // Several items share the letter: it walks among them.
    for (int index : matches)
        if (index > m_highlighted) {
            m_highlighted = index;
            return PopupMenuAction::Highlight;
        }
    m_highlighted = matches.front();
    return PopupMenuAction::Highlight;
}

PopupMenuAction CPopupMenuModel::OnKey(PopupMenuKey key, wchar_t character)
{
    if (m_editing) {
        switch (key) {
        case PopupMenuKey::Enter:
            m_editing = false;
            return PopupMenuAction::TakeEdit;
        case PopupMenuKey::Escape:
            m_editing = false;
            return PopupMenuAction::CancelEdit;
        case PopupMenuKey::Alt:
            return PopupMenuAction::None;
        default:
            return PopupMenuAction::PassToEdit;
        }
    }
    switch (key) {
    case PopupMenuKey::Up: return MoveBy(-1);
    case PopupMenuKey::Down: return MoveBy(1);
    case PopupMenuKey::Home:
        m_highlighted = -1;
        return MoveBy(1);
    case PopupMenuKey::End:
        m_highlighted = -1;
        return MoveBy(-1);
    case PopupMenuKey::Enter: return Activate(m_highlighted);
    case PopupMenuKey::Escape: return PopupMenuAction::Close;
    case PopupMenuKey::Character: return OnLetter(character);
    case PopupMenuKey::Alt:
    case PopupMenuKey::Other: return PopupMenuAction::None;
    }
    return PopupMenuAction::None;
}

PopupMenuAction CPopupMenuModel::OnClick(int index)
{
    if (m_editing) {
        // A click on another item while editing leaves the edit as it is.
        return PopupMenuAction::None;
    }
    return Activate(index);
}

bool CPopupMenuModel::MakeEditBox(int id, const std::wstring& label)
{
    for (PopupMenuEntry& entry : m_entries)
        if (!entry.IsSeparator() && entry.id == id) {
            entry.kind = PopupMenuEntry::Kind::EditBox;
            entry.text = label;
            return true;
        }
    return false;
}

wchar_t CPopupMenuModel::AccessLetter(const std::wstring& text)
{
    const size_t end = text.find(L'\t');
    for (size_t i = 0; i + 1 < text.size() && i + 1 < end; ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towupper(text[i + 1]));
    }
    return 0;
}
