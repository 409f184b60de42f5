#pragma once
// Adds a favourite to the favourites manager's list, or edits one: a name
// and a DN, both required. A name or DN another stored favourite has is
// refused or asked about; keeping the starting ones is no clash. The DN edit
// completes from the recent DNs, and a DN taken is recorded there.

#include <string>

#include <wx/dialog.h>

#include "shellcore/CRecentItemsList.h"

class CFavoriteList;

class CAddNewFavoriteDlg : public wxDialog {
public:
    enum { IDD = 330, kIdcLabel = 1144, kIdcDN = 1095, kIdcName = 1087 };

    // favorites: as stored, not owned. An empty label keeps the dialog's own.
    CAddNewFavoriteDlg(const CFavoriteList& favorites, const std::wstring& label, const std::wstring& caption,
                       wxWindow* parent);
    ~CAddNewFavoriteDlg() override;

    // Fills the edits from the name and DN (kept as the starting ones), then
    // runs; wxID_OK or wxID_CANCEL.
    int DoModal();
    // The OK button's work: false (the dialog stays) when refused.
    bool OnOK();
    bool IsOkEnabled() const;

    // Set before DoModal, read after OK.
    std::wstring m_name;
    std::wstring m_dn;

private:
    void OnOkButton(wxCommandEvent& event);
    void UpdateOk();

    const CFavoriteList& m_favorites;
    std::wstring m_startName;
    std::wstring m_startDN;
    CRecentItemsList m_recentDNs;
};
