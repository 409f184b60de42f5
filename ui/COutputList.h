#pragma once
// The lines of the output window, with the user's bookmarks. Log lines
// arrive as WM_OUTPUT_LINE from the output sink; the list registers itself
// as the output list window while it exists and, before it goes, removes
// the sink so that no line is posted to it any more.

#include <cstdint>
#include <memory>
#include <vector>

#include <wx/vlbox.h>

#include "platform/Dispatcher.h"
#include "shellcore/COutputBookmarks.h"

class COutputList : public wxVListBox, public platform::MessageReceiver {
public:
    explicit COutputList(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~COutputList() override;

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;

    void AddLine(const wxString& line);
    size_t GetLineCount() const { return m_lines.size(); }
    const wxString& GetLine(size_t index) const { return m_lines[index]; }

    // -1: the last line. From index 1 on, the line is scrolled to the top
    // (as far as the list scrolls) and selected; 0 changes nothing.
    void ShowLine(int index);
    void ToggleBookmark();
    void ClearBookmarks();
    void ClearLines();
    void CopySelectedLine();
    bool IsBookmarked(int index) const { return m_bookmarks.IsBookmarked(index); }
    COutputBookmarks& Bookmarks() { return m_bookmarks; }

    // The context menu (menu 214) as it would be shown now; the caller owns it.
    wxMenu* BuildContextMenu();

private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    void OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;

    void OnContextMenu(wxContextMenuEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void OnCommand(wxCommandEvent& event);
    void OnUpdate(wxUpdateUIEvent& event);

    std::vector<wxString> m_lines;
    COutputBookmarks m_bookmarks;
    platform::ReceiverRegistration m_registration;
};
