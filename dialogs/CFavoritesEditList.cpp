#include "dialogs/CFavoritesEditList.h"

void CFavoritesEditList::OnEditItem(int index)
{
    if (index == GetNewItemRow())
        m_owner.NewFavorite();
    else
        CEditListBoxEx::OnEditItem(index);
}

void CFavoritesEditList::OnClickButton(size_t index)
{
    switch (GetButtonCommand(index)) {
    case kCmdNew: m_owner.NewFavorite(); break;
    case kCmdEditFavorite: m_owner.EditFavorite(); break;
    default: CEditListBoxEx::OnClickButton(index); break;
    }
}

bool CFavoritesEditList::OnEndEditLabel(int index, const wxString& text)
{
    return m_owner.AcceptRename(GetItemText(index).ToStdWstring(), text.ToStdWstring());
}

void CFavoritesEditList::OnSelectionChanged()
{
    m_owner.ShowSelectedDN();
}
