#pragma once
// The message box with a "do not ask again" check box: the answer given with
// the box ticked is remembered under the confirmation's number, and later
// calls with that number give it back without showing anything.

#include <string>

#include <wx/dialog.h>

class wxCheckBox;

// Shows the box (or replays the remembered answer); the result code.
int ShowCheckMessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style, int confirmation,
                        wxWindow* parent);

class CCheckMessageBox : public wxDialog {
public:
    CCheckMessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style, int confirmation,
                     wxWindow* parent);

    // The remembered answer's result code without showing anything, else
    // the box's modal result.
    int DoModal();

private:
    void Build(wxWindow* parent);
    void OnButton(int position);
    void OnShow(wxShowEvent& event);
    void OnClose(wxCloseEvent& event);

    std::wstring m_text;
    std::wstring m_caption;
    int m_confirmation;
    int m_buttonSet;
    uint32_t m_iconKind;
    uint32_t m_defaultButton;
    int m_result = 0;
    wxCheckBox* m_check = nullptr;
    wxWindow* m_defaultControl = nullptr;
};
