#pragma once
// Stores an entry as a favourite of its server: the name (proposed by the
// caller, it must not be blank or taken) and the DN (any DN, or nothing for
// the root DSE).

#include <string>

#include <wx/dialog.h>

class CFavoriteList;

class CCreateFavoriteDlg : public wxDialog {
public:
    enum { IDD = 326, kIdcDN = 1095, kIdcName = 1087 };

    // favorites: the profile's, not owned.
    CCreateFavoriteDlg(const CFavoriteList& favorites, wxWindow* parent);

    // Fills the edits from the name and DN, then runs; wxID_OK or wxID_CANCEL.
    int DoModal();
    // The OK button's work: false (the dialog stays) when refused.
    bool OnOK();
    bool IsOkEnabled() const;

    // UTF-8; set before DoModal, read after OK.
    std::string m_name;
    std::string m_dn;

private:
    void OnOkButton(wxCommandEvent& event);
    void UpdateOk();

    const CFavoriteList& m_favorites;
};
