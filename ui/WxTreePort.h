#pragma once
// The tree port over the toolkit's tree control. Item handles are numbers
// of the port's own, never reused, so a handle kept after its item went
// names nothing. The control shows a hidden root; its children are the
// top-level items. Items inserted with a text callback show the text
// provider's text, asked whenever the item is painted or read. Used on the
// user-interface thread only.

#include <functional>
#include <memory>
#include <string>

#include "widgets/LazyTreeCtrl.h"

#include "platform/ControlPorts.h"
#include "ui/OverlayImages.h"

namespace ui {

// A tree control whose children can be sorted by a comparison of the port.
class PortTreeCtrl : public LazyTreeCtrl {
public:
    PortTreeCtrl() = default;
    PortTreeCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize,
                 long style = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE);

    void SetComparison(std::function<int(const wxTreeItemId&, const wxTreeItemId&)> compare);
    int OnCompareItems(const wxTreeItemId& a, const wxTreeItemId& b) override;
    // Where the texts of text-callback items come from.
    void SetTextSource(std::function<wxString(const wxTreeItemId&)> source);

protected:
    wxString OnGetItemText(const wxTreeItemId& item) const override;

private:
    std::function<int(const wxTreeItemId&, const wxTreeItemId&)> m_compare;
    std::function<wxString(const wxTreeItemId&)> m_textSource;
    wxDECLARE_DYNAMIC_CLASS_NO_COPY(PortTreeCtrl);
};

class WxTreePort : public platform::TreePort {
public:
    typedef std::function<std::wstring(void* data)> TextProvider;

    // The control must have the hidden-root style; the port adds the root
    // when the control has none. It must outlive the port.
    explicit WxTreePort(PortTreeCtrl& tree);
    ~WxTreePort() override;

    void SetTextProvider(TextProvider provider);
    void SetOverlayImage(int overlay, int imageIndex);
    // Shows the provider's texts again (they are asked at the next paint).
    void RefreshCallbackTexts();
    // The handle of a control item (null when it is not one of the port's).
    platform::TreeItem HandleOf(const wxTreeItemId& id) const;
    wxTreeItemId IdOf(platform::TreeItem item) const;

    void LockUpdates() override;
    void UnlockUpdates() override;
    void UpdateWindow() override;

    platform::TreeItem InsertItem(const platform::TreeInsert& insert) override;
    bool DeleteItem(platform::TreeItem item) override;
    void DeleteAllItems() override;
    bool ItemExists(platform::TreeItem item) const override;

    platform::TreeItem GetRootItem() const override;
    platform::TreeItem GetParentItem(platform::TreeItem item) const override;
    platform::TreeItem GetChildItem(platform::TreeItem item) const override;
    platform::TreeItem GetNextSiblingItem(platform::TreeItem item) const override;
    std::vector<void*> GetChildrenData(platform::TreeItem item) const override;
    size_t GetChildCount(platform::TreeItem item) const override;
    bool ItemHasChildren(platform::TreeItem item) const override;

    std::wstring GetItemText(platform::TreeItem item) const override;
    bool SetItemText(platform::TreeItem item, const std::wstring& text) override;
    void* GetItemData(platform::TreeItem item) const override;
    bool SetItemData(platform::TreeItem item, void* data) override;
    bool GetItemImage(platform::TreeItem item, int& image, int& selectedImage) const override;
    bool SetItemImage(platform::TreeItem item, int image, int selectedImage) override;
    int GetItemOverlay(platform::TreeItem item) const override;
    bool SetItemOverlay(platform::TreeItem item, int overlay) override;
    int GetChildIndicator(platform::TreeItem item) const override;
    bool SetChildIndicator(platform::TreeItem item, int children) override;

    bool Expand(platform::TreeItem item, platform::TreeExpand how) override;
    bool IsExpanded(platform::TreeItem item) const override;
    platform::TreeItem GetSelectedItem() const override;
    bool SelectItem(platform::TreeItem item) override;
    bool EnsureVisible(platform::TreeItem item) override;
    bool SortChildren(platform::TreeItem parent, const platform::ItemCompare& compare = nullptr) override;

private:
    class Record;
    struct Handles;

    Record* RecordOf(platform::TreeItem item) const;
    wxTreeItemId ParentId(platform::TreeItem parent) const;
    void ShowImages(const wxTreeItemId& id, const Record& r);
    bool IsWithin(const wxTreeItemId& item, const wxTreeItemId& ancestor) const;

    PortTreeCtrl& m_tree;
    std::unique_ptr<Handles> m_handles;
    size_t m_slot = 0;  // of the port among the live ones: the top bits of its handles
    TextProvider m_textProvider;
    OverlayImages m_overlays;
    int m_lockDepth = 0;
    // Made visible when the last update lock goes.
    platform::TreeItem m_pendingVisible;
};

} // namespace ui
