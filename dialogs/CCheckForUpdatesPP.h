#pragma once
// Options: whether and how often the program looks for a newer build at
// start-up, and the proxy its internet session goes through (from the next
// start on).

#include "dialogs/CPropertyPage.h"

class CAppConfig;
class wxCheckBox;
class wxChoice;
class wxTextCtrl;

class CCheckForUpdatesPP : public CPropertyPage {
public:
    enum {
        IDD = 102,
        kIdcAutomatic = 1184,
        kIdcInterval = 1188,
        kIdcUseProxy = 1249,
        kIdcProxyHost = 1195,
        kIdcProxyPort = 1197,
    };
    // The page's place in the program's help.
    static constexpr unsigned kHelpContext = 56;

    CCheckForUpdatesPP(wxWindow* book, CAppConfig& options);

    bool OnInitDialog() override;
    bool OnApply() override;
    bool CanApply() const override;
    void ReportRefusal() override;

private:
    void UpdateEnabling();
    bool ReadPort(int& port) const;

    CAppConfig& m_options;
    wxCheckBox* m_automatic = nullptr;
    wxChoice* m_interval = nullptr;
    wxCheckBox* m_useProxy = nullptr;
    wxTextCtrl* m_host = nullptr;
    wxTextCtrl* m_port = nullptr;
};
