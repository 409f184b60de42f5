#pragma once
// The tip of the day: one tip at a time from "Tips.tip", continuing at each
// showing where the last one stopped.

#include <memory>
#include <string>

#include <wx/dialog.h>

#include "shellcore/TipOfTheDay.h"

class wxCheckBox;
class wxPanel;

class CTipDlg : public wxDialog {
public:
    // The file beside the program by default.
    explicit CTipDlg(wxWindow* parent, const std::string& tipsPath = std::string());
    ~CTipDlg() override;

    // Shows nothing and returns wxID_OK when the tips file could not be opened.
    int ShowModal() override;

    // The show-at-start-up switch (the check box once the dialog ran).
    bool GetShowAtStartup() const;
    const std::wstring& GetTip() const { return m_tips->GetTip(); }
    void ShowNextTip();

private:
    void OnNext(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);
    void OnPaintTip(wxPaintEvent& event);

    std::unique_ptr<CTipOfTheDay> m_tips;
    wxPanel* m_tipArea = nullptr;
    wxCheckBox* m_startup = nullptr;
};
