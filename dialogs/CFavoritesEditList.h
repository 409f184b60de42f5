#pragma once
// The favourites manager's list: one row per favourite, its text the name
// and its data the row's DN text (kept by the owner; none for a row that
// has no DN). New and Edit, and opening the new-item row, go to the owner's
// dialogs; a rename in place asks the owner first.

#include <string>

#include "widgets/CEditListBoxEx.h"

class CFavoritesEditList : public CEditListBoxEx {
public:
    // What the list asks of the dialog it sits in.
    class Owner {
    public:
        virtual ~Owner() = default;
        virtual void NewFavorite() = 0;
        virtual void EditFavorite() = 0;
        // False refuses the name and keeps the old one.
        virtual bool AcceptRename(const std::wstring& oldName, const std::wstring& newName) = 0;
        virtual void ShowSelectedDN() = 0;
    };

    // The command ids of the dialog's buttons that the list does not do itself.
    enum { kCmdEditFavorite = 100 };

    explicit CFavoritesEditList(Owner& owner) : m_owner(owner) {}

    // The row's DN text; null for a row without one.
    const std::string* GetItemDN(int index) const { return static_cast<const std::string*>(GetItemData(index)); }

protected:
    void OnEditItem(int index) override;
    void OnClickButton(size_t index) override;
    bool OnEndEditLabel(int index, const wxString& text) override;
    void OnSelectionChanged() override;

private:
    Owner& m_owner;
};
