#pragma once
// A list whose items carry an icon from an image list, a caller value, a
// check state and an enabled flag, drawn by us; in radio-like mode a click
// or the space bar makes the selected enabled item the one checked. A double
// click on a disabled item never reaches the parent.

#include <wx/imaglist.h>

#include "dialogcore/IconListItems.h"
#include "widgets/CExtentListBox.h"

class CIconListBox : public CExtentListBox {
public:
    CIconListBox(wxWindow* parent, wxWindowID id);

    int AddItem(const wxString& text, int check = 0);
    int InsertItem(int index, const wxString& text, int check = 0);
    bool DeleteItem(int index);
    int ReplaceItem(int index, const wxString& text, int check = 0);
    // Moves text and record; the new index (selected when select is set).
    int MoveItem(int from, int to, bool select = true);
    int MoveItemUp(int index);
    int MoveItemDown(int index);
    int MoveItemTop(int index);
    int MoveItemBottom(int index);

    void SetItemValue(int index, int value);
    int GetItemData(int index) const { return m_items.GetValue(index); }
    void SetItemImage(int index, int image);
    int GetItemImage(int index) const { return m_items.GetImage(index); }
    void SetItemCheck(int index, int check, bool redraw = true);
    int GetItemCheck(int index) const { return m_items.GetCheck(index); }
    void EnableItem(int index, bool enabled, bool redraw = true);
    bool IsItemEnabled(int index) const { return m_items.IsEnabled(index); }

    void SetRadioMode(bool on) { m_items.SetRadioMode(on); }
    int GetCurrentItem() const { return m_items.GetCurrentItem(); }
    void SelectExclusive(int index);

    // Not owned; null for none. The icon size comes from it.
    void SetImageList(wxImageList* images);
    // 0, 1 or 2; other values are ignored.
    void SetDrawMode(int mode, bool redraw = true);
    int GetDrawMode() const { return m_drawMode; }

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    void OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;
    void StringInserted(size_t index) override { m_items.InsertBare(index); }
    void StringDeleted(size_t index) override { m_items.Delete(index); }

private:
    void Update(int index, uint32_t mask, const IconListItem& fields, bool redraw);
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnDoubleClick(wxCommandEvent& event);

    IconListItems m_items;
    wxImageList* m_images = nullptr;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    int m_drawMode = 0;
};
