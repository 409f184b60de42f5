#pragma once
// Options: how the tree and the attribute list behave, how long information
// nodes stay, and how deep the navigation history goes. Its menu button
// sets defaults (shown until OK, not stored before) or sets and clears the
// tree and list options together.

#include "dialogs/CPropertyPage.h"

class CAppConfig;
class CNavigationHistory;
class wxCheckBox;
class wxChoice;
class wxTextCtrl;

class CInterfacePage : public CPropertyPage {
public:
    enum {
        IDD = 456,
        kIdcNoExpandOnClick = 1260,
        kIdcEnsureVisible = 1261,
        kIdcAutoSort = 1186,
        kIdcForgetSort = 1187,
        kIdcAutoRemove = 1189,
        kIdcTimeout = 1190,
        kIdcHistoryDepth = 1092,
        kIdcHistorySpin = 1211,
        kIdcMenuButton = 1064,
    };
    static constexpr unsigned kMenu = 625;
    static constexpr int kCmdDefaults = 32913, kCmdClear = 32914, kCmdSet = 32915;
    // The page's place in the program's help.
    static constexpr unsigned kHelpContext = 46;

    // options: the record it edits and saves; history: whose depth it sets.
    CInterfacePage(wxWindow* book, CAppConfig& options, CNavigationHistory& history);

    bool OnInitDialog() override;
    bool OnApply() override;
    bool CanApply() const override;
    void ReportRefusal() override;

    void OnDefaults();
    void OnClear();
    void OnSet();
    void ShowMenu();

private:
    void Fill(const CAppConfig& options, int depth);
    void UpdateEnabling();
    void OnChanged();

    CAppConfig& m_options;
    CNavigationHistory& m_history;
    bool m_initialised = false;
    wxCheckBox* m_noExpand = nullptr;
    wxCheckBox* m_ensureVisible = nullptr;
    wxCheckBox* m_autoSort = nullptr;
    wxCheckBox* m_forgetSort = nullptr;
    wxCheckBox* m_autoRemove = nullptr;
    wxChoice* m_timeout = nullptr;
    wxTextCtrl* m_depth = nullptr;
};
