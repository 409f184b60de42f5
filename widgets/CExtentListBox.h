#pragma once
// A list box that scrolls sideways as far as its widest item: a list drawn
// by us on wxVListBox (the toolkit's list box has no horizontal extent),
// with the horizontal scroll bar set to the widest measured item. Items
// added, inserted or deleted keep the extent up to date unless updates are
// suspended; setting tab stops re-measures everything. With tab stops on,
// tabs in a text advance to the next stop (one of 2 dialog units when none
// was set).

#include <string>
#include <vector>

#include <wx/vlbox.h>

#include "dialogcore/ExtentListWidths.h"

enum class ListTabStops { Off, On };

class CExtentListBox : public wxVListBox {
public:
    CExtentListBox(wxWindow* parent, wxWindowID id, ListTabStops tabs = ListTabStops::Off,
                   long style = wxBORDER_THEME);

    // The new item's index.
    int AddString(const wxString& text);
    int InsertString(int index, const wxString& text);
    bool DeleteString(int index);
    void ResetContent();
    wxString GetString(int index) const;
    int GetCount() const { return static_cast<int>(m_strings.size()); }

    // Tab stops in dialog units; re-measures unless updates are suspended.
    bool SetTabStops(const std::vector<int>& dialogUnits);
    const std::vector<int>& GetTabStopPixels() const { return m_widths.GetTabStops(); }
    void SuspendExtentUpdates() { m_widths.SuspendExtentUpdates(); }
    void ResumeExtentUpdates() { m_widths.ResumeExtentUpdates(); }
    void SetExtraMargin(int margin) { m_widths.SetExtraMargin(margin); }
    int GetExtraMargin() const { return m_widths.GetExtraMargin(); }
    // The extent last set (the horizontal scroll range).
    int GetHorizontalExtent() const { return m_extent; }
    // Measures every item again (each line of a text on its own).
    void RemeasureAll();
    // The width the text measures to in the list's font, tabs expanded.
    int MeasureTextWidth(const wxString& text) const;

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;
    // Draws a text at x, expanding tabs like the measure does.
    void DrawTabbedText(wxDC& dc, const wxString& text, int x, int y) const;
    // How far the items are scrolled sideways.
    int HorizontalOffset() const { return m_offset; }
    // Called when a string came in or went, for subclasses' records.
    virtual void StringInserted(size_t) {}
    virtual void StringDeleted(size_t) {}

private:
    int InsertAt(size_t index, const wxString& text);
    void SetExtent(int extent);
    void UpdateScrollBar();
    void OnHorizontalScroll(wxScrollWinEvent& event);
    void OnSize(wxSizeEvent& event);
    // The default tab stop when the list uses them and none was set.
    void EnsureTabStops();

    ListTabStops m_tabs;
    std::vector<wxString> m_strings;
    ExtentListWidths m_widths;
    int m_extent = 0;
    int m_offset = 0;
};
