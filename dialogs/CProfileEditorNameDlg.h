#pragma once
// The wizard's first page: the profile's name. The name reaches the profile
// on every change; the built-in team directory's name offers Finish alone.

#include "dialogs/CProfileWizardPage.h"

class wxStaticBitmap;
class wxTextCtrl;

class CProfileEditorNameDlg : public CProfileWizardPage {
public:
    enum ControlId { kIdcName = 1000, kIdcPicture = 1001 };
    static constexpr unsigned kDialog = 208;
    static constexpr unsigned kBitmapProfile = 421;
    static constexpr unsigned kBitmapTeam = 677;

    explicit CProfileEditorNameDlg(CProfileEditorWizard& wizard);

    void OnSetActive() override;
    wxTextCtrl* GetNameEdit() const { return m_name; }
    // The header bitmap shown now (421 or 677).
    unsigned GetShownBitmap() const { return m_shownBitmap; }

private:
    void Update();

    wxTextCtrl* m_name = nullptr;
    wxStaticBitmap* m_picture = nullptr;
    unsigned m_shownBitmap = kBitmapProfile;
};
