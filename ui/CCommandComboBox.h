#pragma once
// The filter box of the second toolbar: a drop-down combo whose text is
// left in the main window's command-text map under its command before the
// command is sent. Enter and a choice from the list send it; Escape gives
// the focus back to the main window. Confirmed texts go to the recent
// filters, which fill the drop-down list.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/combobox.h>

#include "shellcore/RecentTexts.h"

class CArbMainFrame;

class CCommandComboBox : public wxComboBox {
public:
    CCommandComboBox(wxWindow* parent, CArbMainFrame* frame, uint32_t command, int width);

    uint32_t GetCommand() const { return m_command; }
    // The recent filters, or null when the program keeps none.
    CRecentTexts* GetRecentTexts() const { return m_recent.get(); }

    // Stores the text under the command and posts the command to the frame.
    void SendCommandText();
    // The text as the first item, then up to 15 recent filters; item 0 selected.
    void SetFilterText(const wxString& text);

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnTextEnter(wxCommandEvent& event);
    void OnSelect(wxCommandEvent& event);

    CArbMainFrame* m_frame;
    uint32_t m_command;
    std::unique_ptr<CRecentTexts> m_recent;
};
