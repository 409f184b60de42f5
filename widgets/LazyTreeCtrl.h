#pragma once
// A tree control that lays out and measures only the rows it shows. The
// toolkit's generic tree measures the text of every item of an expanded
// branch whenever its layout changes, which made opening a node of many
// thousands of children cost tens of milliseconds per batch. Here rows have
// one height, the shown rows are a flat list rebuilt only when the tree
// changed, and a text is measured once its row has been shown (at the next
// idle moment; at once when a box is drawn behind it): the horizontal
// extent grows as wider rows come into view.
//
// It keeps the toolkit's tree interface and events (selection, expansion,
// label editing, item menu, activation, key down, deletion), with single
// selection. Item handles are pointers to the control's own items.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/scrolwin.h>
#include <wx/timer.h>
#include <wx/treectrl.h>

#include "widgets/ThemeAttributes.h"

namespace ui {

class LazyTreeCtrl : public wxTreeCtrlBase, public wxScrollHelper {
public:
    LazyTreeCtrl();
    LazyTreeCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize, long style = wxTR_DEFAULT_STYLE,
                 const wxValidator& validator = wxDefaultValidator, const wxString& name = wxTreeCtrlNameStr);
    ~LazyTreeCtrl() override;

    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxTR_DEFAULT_STYLE,
                const wxValidator& validator = wxDefaultValidator, const wxString& name = wxTreeCtrlNameStr);

    unsigned int GetCount() const override;
    unsigned int GetIndent() const override { return m_indent; }
    void SetIndent(unsigned int indent) override;
    void SetStateImageList(wxImageList* imageList) override;

    wxString GetItemText(const wxTreeItemId& item) const override;
    int GetItemImage(const wxTreeItemId& item, wxTreeItemIcon which = wxTreeItemIcon_Normal) const override;
    wxTreeItemData* GetItemData(const wxTreeItemId& item) const override;
    wxColour GetItemTextColour(const wxTreeItemId& item) const override;
    wxColour GetItemBackgroundColour(const wxTreeItemId& item) const override;
    wxFont GetItemFont(const wxTreeItemId& item) const override;

    void SetItemText(const wxTreeItemId& item, const wxString& text) override;
    void SetItemImage(const wxTreeItemId& item, int image, wxTreeItemIcon which = wxTreeItemIcon_Normal) override;
    void SetItemData(const wxTreeItemId& item, wxTreeItemData* data) override;
    void SetItemHasChildren(const wxTreeItemId& item, bool has = true) override;
    void SetItemBold(const wxTreeItemId& item, bool bold = true) override;
    void SetItemDropHighlight(const wxTreeItemId& item, bool highlight = true) override;
    void SetItemTextColour(const wxTreeItemId& item, const wxColour& colour) override;
    void SetItemBackgroundColour(const wxTreeItemId& item, const wxColour& colour) override;
    void SetItemFont(const wxTreeItemId& item, const wxFont& font) override;
    // From now on the item's text is asked of OnGetItemText whenever it is
    // shown or read, so a text that changes elsewhere needs no update of
    // every item; a later SetItemText fixes the text again.
    void SetItemTextCallback(const wxTreeItemId& item);

    bool IsVisible(const wxTreeItemId& item) const override;
    bool ItemHasChildren(const wxTreeItemId& item) const override;
    bool IsExpanded(const wxTreeItemId& item) const override;
    bool IsSelected(const wxTreeItemId& item) const override;
    bool IsBold(const wxTreeItemId& item) const override;
    size_t GetChildrenCount(const wxTreeItemId& item, bool recursively = true) const override;

    wxTreeItemId GetRootItem() const override;
    wxTreeItemId GetSelection() const override;
    size_t GetSelections(wxArrayTreeItemIds& selections) const override;
    wxTreeItemId GetFocusedItem() const override;
    void ClearFocusedItem() override;
    void SetFocusedItem(const wxTreeItemId& item) override;
    wxTreeItemId GetItemParent(const wxTreeItemId& item) const override;
    // The cookie is the index of the next child.
    wxTreeItemId GetFirstChild(const wxTreeItemId& item, wxTreeItemIdValue& cookie) const override;
    wxTreeItemId GetNextChild(const wxTreeItemId& item, wxTreeItemIdValue& cookie) const override;
    wxTreeItemId GetLastChild(const wxTreeItemId& item) const override;
    // Calls visit with the data of each of the item's children in their
    // order (null for none): a long list read at once.
    void VisitChildrenData(const wxTreeItemId& item, const std::function<void(wxTreeItemData*)>& visit) const;
    wxTreeItemId GetNextSibling(const wxTreeItemId& item) const override;
    wxTreeItemId GetPrevSibling(const wxTreeItemId& item) const override;
    wxTreeItemId GetFirstVisibleItem() const override;
    wxTreeItemId GetNextVisible(const wxTreeItemId& item) const override;
    wxTreeItemId GetPrevVisible(const wxTreeItemId& item) const override;

    wxTreeItemId AddRoot(const wxString& text, int image = -1, int selImage = -1,
                         wxTreeItemData* data = nullptr) override;
    void Delete(const wxTreeItemId& item) override;
    void DeleteChildren(const wxTreeItemId& item) override;
    void DeleteAllItems() override;

    void Expand(const wxTreeItemId& item) override;
    void Collapse(const wxTreeItemId& item) override;
    void CollapseAndReset(const wxTreeItemId& item) override;
    void Toggle(const wxTreeItemId& item) override;
    void Unselect() override;
    void UnselectAll() override;
    void SelectItem(const wxTreeItemId& item, bool select = true) override;
    void SelectChildren(const wxTreeItemId& parent) override;
    // Expands the item's ancestors and scrolls it into view.
    void EnsureVisible(const wxTreeItemId& item) override;
    void ScrollTo(const wxTreeItemId& item) override;

    wxTextCtrl* EditLabel(const wxTreeItemId& item, wxClassInfo* textCtrlClass = wxCLASSINFO(wxTextCtrl)) override;
    wxTextCtrl* GetEditControl() const override;
    void EndEditLabel(const wxTreeItemId& item, bool discardChanges = false) override;

    // A stable sort by OnCompareItems.
    void SortChildren(const wxTreeItemId& item) override;
    bool GetBoundingRect(const wxTreeItemId& item, wxRect& rect, bool textOnly = false) const override;

    int GetLineHeight() const { return m_lineHeight; }
    // Changes between these are laid out once, at the end, and only the rows
    // that changed are marked for painting (a thaw repaints the whole window).
    void BeginBatch();
    void EndBatch();
    bool SetFont(const wxFont& font) override;
    void OnInternalIdle() override;
    wxVisualAttributes GetDefaultAttributes() const override;

    WX_FORWARD_TO_SCROLL_HELPER()

protected:
    // The text of an item with a text callback.
    virtual wxString OnGetItemText(const wxTreeItemId& item) const;

    int DoGetItemState(const wxTreeItemId& item) const override;
    void DoSetItemState(const wxTreeItemId& item, int state) override;
    wxTreeItemId DoInsertItem(const wxTreeItemId& parent, size_t pos, const wxString& text, int image,
                              int selImage, wxTreeItemData* data) override;
    wxTreeItemId DoInsertAfter(const wxTreeItemId& parent, const wxTreeItemId& idPrevious, const wxString& text,
                               int image = -1, int selImage = -1, wxTreeItemData* data = nullptr) override;
    wxTreeItemId DoTreeHitTest(const wxPoint& point, int& flags) const override;
    void DoThaw() override;
    wxSize DoGetBestSize() const override;

private:
    struct Item;
    class LabelEditor;

    void Init();
    static Item* ItemOf(const wxTreeItemId& id) { return static_cast<Item*>(id.GetID()); }
    static wxTreeItemId IdOf(const Item* item) { return wxTreeItemId(const_cast<Item*>(item)); }
    bool IsRoot(const Item* item) const { return item && item == m_root.get(); }
    bool IsHiddenRoot(const Item* item) const;
    bool IsWithin(const Item* item, const Item* ancestor) const;

    // Structure changed: the rows are rebuilt when next needed.
    void MarkChanged();
    // The new last child of its parent takes its row at once when few rows
    // follow its branch, so appending children does not rebuild the rows.
    bool AppendRow(Item* item);
    void RebuildRows() const;
    // Layout and painting wait for the end of a freeze or batch.
    bool Deferring() const { return IsFrozen() || m_batchDepth > 0; }
    // Lays out what changed and paints the changed rows that are shown.
    void LayOutChanges();
    // Row of a shown item, or -1.
    int RowOf(const Item* item) const;
    int TextX(const Item* item) const;
    // Measured once; a paint passes its DC, whose font is the control's.
    int TextWidth(const Item* item, wxDC* paintDC = nullptr) const;
    // The expand button drawn once per state and background, then copied:
    // the theme's renderer is slow for a button on every row.
    const wxBitmap& ButtonBitmap(bool expanded, const wxSize& size);
    // The item's text, asked again when it has a text callback.
    const wxString& TextOf(const Item* item) const;
    void MeasureLineHeight();
    // Measures the shown rows' texts a paint left unmeasured.
    void MeasureShownRows();
    void UpdateVirtualSize();
    void RefreshItem(const Item* item);

    // Before an item and its descendants go: no selection, focus or editor left on them.
    void ForgetItems(Item* item);
    void SendDeleteEvents(Item* item);
    bool SendEvent(wxEventType type, Item* item, Item* oldItem = nullptr);
    void DoSelect(Item* item, bool sendEvents);
    void Activate(Item* item);
    void ShowMenuFor(Item* item, const wxPoint& point);
    // The item menu of the selection, beside its label (the menu key).
    void ShowMenuForSelection();
    void FindByPrefix(wxChar c);

    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnEditTimer(wxTimerEvent& event);
    void OnSysColourChanged(wxSysColourChangedEvent& event);

    // The editor's end: accept or cancel; the editor goes afterwards.
    void FinishEdit(bool cancelled);

    std::unique_ptr<Item> m_root;
    unsigned m_count = 0;
    Item* m_current = nullptr;   // selected (and focused) item
    Item* m_editing = nullptr;   // item whose label is edited
    LabelEditor* m_editor = nullptr;
    Item* m_editCandidate = nullptr;  // a click on the selected item starts an edit on the timer
    wxTimer m_editTimer;

    // While sorting, callback texts asked once before stand.
    bool m_keepTexts = false;
    mutable std::vector<Item*> m_rows;
    mutable bool m_rowsDirty = true;
    mutable unsigned m_rowGeneration = 0;
    bool m_layoutPending = false;
    // Painted again with the next layout: the rows from this one down (new
    // rows), and single rows that changed in place.
    int m_changedFrom = 0;
    std::vector<int> m_changedRows;
    int m_batchDepth = 0;
    int m_lineHeight = 18;
    unsigned m_indent = 16;
    int m_imageWidth = 0;
    int m_widest = 0;
    bool m_widthGrew = false;
    bool m_measurePending = false;
    wxBitmap m_buttons[2];
    wxColour m_buttonsBackground;
    wxFont m_charHeightFont;
    int m_charHeight = 0;
    ThemeAttributes m_theme;

    wxString m_findPrefix;
    wxLongLong m_findTime = 0;

    wxDECLARE_EVENT_TABLE();
    wxDECLARE_DYNAMIC_CLASS_NO_COPY(LazyTreeCtrl);
};

} // namespace ui
