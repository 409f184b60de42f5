#pragma once
// The file dialog of binary values: the toolkit's file dialog with a panel
// below it that says whether the file holds raw bytes or base64 text and,
// when saving base64, whether and where its lines break. The load form asks
// for an existing file; the save form asks before overwriting and refuses a
// line limit outside 1-32767 (the focus goes back to it).

#include <wx/filedlg.h>

#include "dialogcore/BinFileRules.h"

class wxCheckBox;
class wxRadioButton;
class wxSpinButton;
class wxSpinEvent;
class wxTextCtrl;

constexpr unsigned kDlgBinFileLoadPanel = 654;
constexpr unsigned kDlgBinFileSavePanel = 656;
constexpr unsigned kStrBinFileLoadTitle = 675;
constexpr unsigned kStrBinFileSaveTitle = 676;
constexpr unsigned kStrBinFileFilter = 32774;
constexpr int kIdcBinFileLine = 1320;
constexpr int kIdcBinFileSpin = 1321;
constexpr int kIdcBinFileRaw = 1315;
constexpr int kIdcBinFileBase64 = 1316;
constexpr int kIdcBinFileLimitOn = 1249;
constexpr int kIdcBinFileLimit = 1080;

class CBinFileDialog : public wxFileDialog {
public:
    // The load form, no file name; the caller gives it the filter of string
    // 32774 in the toolkit's form.
    CBinFileDialog(wxWindow* parent, int format, const wxString& wildcard);
    // The save form with a proposed name, its filter and the filter shown.
    CBinFileDialog(wxWindow* parent, int format, const wxString& fileName, const wxString& wildcard,
                   int filterIndex);
    ~CBinFileDialog() override;

    int GetFormat() const { return m_format; }
    bool IsLimitOn() const;
    int GetLimit() const { return m_limit; }
    binfile::Form GetForm() const { return m_form; }

    // The panel's controls (null before the dialog runs).
    wxRadioButton* RawButton() const;
    wxRadioButton* Base64Button() const;
    wxCheckBox* LimitCheck() const;
    wxTextCtrl* LimitEdit() const;
    wxSpinButton* LimitSpin() const;

    // What OK does: with a refused limit the message, the focus on the
    // limit and false (the dialog stays); else true.
    bool CheckLimit();

private:
    void SetUp();
    static wxWindow* CreatePanel(wxWindow* parent);
    void InitPanel(wxWindow* panel);
    void UpdateLimitControls();
    void OnFormat(wxCommandEvent& event);
    void OnLimitCheck(wxCommandEvent& event);
    void OnLimitText(wxCommandEvent& event);
    void OnSpin(wxSpinEvent& event);
    void OnOk(wxCommandEvent& event);

    wxWindow* m_panel = nullptr;  // the format panel, owned by the dialog
    binfile::Form m_form;
    int m_format;
    bool m_checked = true;
    int m_limit = binfile::kDefaultLimit;
    bool m_limitValid = true;
};
