#pragma once
// The filter box of the second toolbar: a drop-down combo whose text is
// left in the main window's command-text map under its command before the
// command is sent. Enter, a choice from the list, and Page Up, Page Down,
// Home, End, Up and Down while the list is open send it; Up and Down on a
// closed list move nothing; Tab moves the focus on; Escape closes the list
// and gives the focus back to the main window. Confirmed texts go, trimmed,
// to the recent filters, which fill the drop-down list and complete what
// is typed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/combobox.h>

#include "shellcore/CRecentItemsList.h"
#include "shellcore/RecentTexts.h"

class CArbMainFrame;
class CSubclassWnd;

class CCommandComboBox : public wxComboBox {
public:
    CCommandComboBox(wxWindow* parent, CArbMainFrame* frame, uint32_t command, int width);
    ~CCommandComboBox() override;

    uint32_t GetCommand() const { return m_command; }
    // The recent filters, or null when the program keeps none.
    CRecentTexts* GetRecentTexts() const { return m_recent.get(); }

    // Stores the text under the command and posts the command to the frame.
    void SendCommandText();
    // Sends the text and records it, trimmed, in the recent filters.
    void ApplyText();
    // The list for completion of what is typed.
    CRecentItemsList& GetCompletionList() { return m_completion; }
    // The text as the first item, then up to 15 recent filters; item 0 selected.
    void SetFilterText(const wxString& text);

private:
    class KeyHook;

    void OnTextEnter(wxCommandEvent& event);
    void OnSelect(wxCommandEvent& event);

    CArbMainFrame* m_frame;
    uint32_t m_command;
    std::unique_ptr<CRecentTexts> m_recent;
    std::unique_ptr<CSubclassWnd> m_keys;
    CRecentItemsList m_completion;
    bool m_listShown = false;
};
