#pragma once
// The favourites of one server: add, edit, rename in place, delete and
// reorder them. OK stores the rows, in their order, as the profile's
// favourites; Cancel changes nothing. Names are checked against the
// favourites as they were stored when the dialog opened.

#include <deque>
#include <string>

#include <wx/dialog.h>

#include "dialogs/CFavoritesEditList.h"
#include "model/profiles/CFavoriteList.h"

class CServerProfile;
class wxTextCtrl;

class CFavoritesManagerDlg : public wxDialog, private CFavoritesEditList::Owner {
public:
    enum { IDD = 306, kIdcDNDisplay = 1086, kIdcList = 1139 };
    // Button images, tooltips.
    enum {
        kImgNew = 312, kImgEdit = 310, kImgDelete = 314, kImgUp = 317, kImgDown = 320,
        kStrNew = 16017, kStrEdit = 103, kStrDelete = 16020, kStrUp = 16021, kStrDown = 16022,
    };

    // profile: the server's, not owned.
    CFavoritesManagerDlg(CServerProfile& profile, wxWindow* parent);

    // wxID_OK or wxID_CANCEL.
    int DoModal();
    // The OK button's work: the rows stored.
    void OnOK();

    CFavoritesEditList* GetList() const { return m_list; }
    wxTextCtrl* GetDNDisplay() const { return m_dnDisplay; }

    void NewFavorite() override;
    void EditFavorite() override;

private:
    bool AcceptRename(const std::wstring& oldName, const std::wstring& newName) override;
    void ShowSelectedDN() override;
    // A DN text owned by the dialog for a row to point at.
    const std::string* KeepDN(const std::string& dn);
    void OnOkButton(wxCommandEvent& event);

    CServerProfile& m_profile;
    // The favourites as stored when the dialog opened.
    const CFavoriteList m_stored;
    // Only ever added to, so rows can point into it.
    std::deque<std::string> m_dns;
    CFavoritesEditList* m_list = nullptr;
    wxTextCtrl* m_dnDisplay = nullptr;
};
