#pragma once
// Options no sheet of the program shows: the naming contexts of a profile
// without a base DN, the first option's switch, the output window and the
// tips at start-up.

#include "dialogs/CPropertyPage.h"

class CAppConfig;
class wxCheckBox;

class CPreferencesPage : public CPropertyPage {
public:
    enum {
        IDD = 394,
        kIdcNamingContexts = 1182,
        kIdcNotOption1 = 1183,
        kIdcOutputBar = 1185,
        kIdcTips = 1191,
        kIdcDefaults = 1033,
    };

    // The page's place in the program's help.
    static constexpr unsigned kHelpContext = 34;

    CPreferencesPage(wxWindow* book, CAppConfig& options);

    bool OnInitDialog() override;
    bool OnApply() override;
    // The defaults button: the record's defaults shown, the tips box as stored.
    void OnDefaults();

private:
    void Fill(const CAppConfig& options);

    CAppConfig& m_options;
    wxCheckBox* m_namingContexts = nullptr;
    wxCheckBox* m_notOption1 = nullptr;
    wxCheckBox* m_outputBar = nullptr;
    wxCheckBox* m_tips = nullptr;
};
