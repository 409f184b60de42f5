#pragma once
// In-memory tree and list controls for tests and programs without a display.
// They behave as the real controls are expected to and record what is only
// visible on screen (update locks, repaints, redrawn rows) for inspection.
//
// Like real controls they belong to the UI thread: while a dispatcher is
// installed, a call from any other thread throws std::logic_error. Code
// reaches them through the global control pointers, whose forwarding ports
// make worker calls legal; tests inspect them directly on the UI thread.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ControlPorts.h"
#include "tests/support/ManualDispatcher.h"

namespace platform {

class HeadlessTree : public TreePort {
public:
    typedef std::function<std::wstring(void* data)> TextProvider;

    void LockUpdates() override;
    void UnlockUpdates() override;
    void UpdateWindow() override;

    TreeItem InsertItem(const TreeInsert& insert) override;
    bool DeleteItem(TreeItem item) override;
    void DeleteAllItems() override;
    bool ItemExists(TreeItem item) const override;

    TreeItem GetRootItem() const override;
    TreeItem GetParentItem(TreeItem item) const override;
    TreeItem GetChildItem(TreeItem item) const override;
    TreeItem GetNextSiblingItem(TreeItem item) const override;
    bool ItemHasChildren(TreeItem item) const override;

    std::wstring GetItemText(TreeItem item) const override;
    bool SetItemText(TreeItem item, const std::wstring& text) override;
    void* GetItemData(TreeItem item) const override;
    bool SetItemData(TreeItem item, void* data) override;
    bool GetItemImage(TreeItem item, int& image, int& selectedImage) const override;
    bool SetItemImage(TreeItem item, int image, int selectedImage) override;
    int GetItemOverlay(TreeItem item) const override;
    bool SetItemOverlay(TreeItem item, int overlay) override;
    int GetChildIndicator(TreeItem item) const override;
    bool SetChildIndicator(TreeItem item, int children) override;

    bool Expand(TreeItem item, TreeExpand how) override;
    bool IsExpanded(TreeItem item) const override;
    TreeItem GetSelectedItem() const override;
    bool SelectItem(TreeItem item) override;
    bool EnsureVisible(TreeItem item) override;
    bool SortChildren(TreeItem parent, const ItemCompare& compare = nullptr) override;

    // Supplies the texts of items inserted with a text callback.
    void SetTextProvider(TextProvider provider);

    // Inspection.
    std::vector<TreeItem> GetChildren(TreeItem parent) const;
    size_t GetCount() const;
    int UpdateLockDepth() const;
    int UpdateWindowCount() const;
    TreeItem LastEnsuredVisible() const;
    // One line per item, depth-first, indented two blanks per level:
    // "text" plus " [+]" when expanded, " (n)" for a non-zero children
    // indicator, " <o>" for a non-zero overlay and " *" when selected.
    std::wstring Dump() const;

private:
    struct Node {
        TreeItem parent;
        std::vector<TreeItem> children;
        std::wstring text;
        bool textCallback = false;
        int image = 0;
        int selectedImage = 0;
        int overlay = 0;
        int childIndicator = 0;
        bool expanded = false;
        void* data = nullptr;
    };

    void CheckThread() const;
    const Node* Find(TreeItem item) const;
    Node* Find(TreeItem item);
    std::vector<TreeItem>* ChildList(TreeItem parent);
    const std::vector<TreeItem>* ChildList(TreeItem parent) const;
    bool IsAncestor(TreeItem ancestor, TreeItem item) const;
    void Erase(TreeItem item);
    void DumpLevel(TreeItem parent, int depth, std::wstring& out) const;

    std::map<uint64_t, Node> m_nodes;
    std::vector<TreeItem> m_top;
    // Where the last sibling step ended, so that a walk over many children
    // does not search its way along each time.
    mutable TreeItem m_stepParent;
    mutable size_t m_stepIndex = 0;
    uint64_t m_nextHandle = 1;
    TreeItem m_selected;
    TreeItem m_ensured;
    TextProvider m_textProvider;
    int m_lockDepth = 0;
    int m_updateWindowCount = 0;
};

class HeadlessList : public ListPort {
public:
    void LockUpdates() override;
    void UnlockUpdates() override;
    void UpdateWindow() override;

    int GetItemCount() const override;
    int InsertItem(int row, ListItem item) override;
    bool DeleteItem(int row) override;
    void DeleteAllItems() override;

    std::wstring GetItemText(int row, int column) const override;
    bool SetItemText(int row, int column, const std::wstring& text) override;
    void* GetItemData(int row) const override;
    bool SetItemData(int row, void* data) override;
    int GetItemImage(int row) const override;
    bool SetItemImage(int row, int image) override;
    uint32_t GetItemState(int row, uint32_t mask) const override;
    bool SetItemState(int row, uint32_t state, uint32_t mask) override;
    std::vector<int> GetSelectedRows() const override;

    int FindItemByData(const void* data, int start = -1) const override;
    bool EnsureVisible(int row) override;
    bool RedrawItems(int first, int last) override;
    void SortItems(const ItemCompare& compare) override;

    typedef std::function<std::wstring(void* data, int column)> TextProvider;
    // Supplies the texts of rows inserted with a text callback, for columns
    // 0 to columns - 1.
    void SetTextProvider(TextProvider provider, int columns = 4);

    // Inspection.
    int UpdateLockDepth() const;
    int UpdateWindowCount() const;
    int LastEnsuredVisible() const;
    // Every RedrawItems call, as (first, last).
    std::vector<std::pair<int, int>> Redraws() const;
    void ClearRedraws();
    // Column texts of one row joined with '|'.
    std::wstring RowText(int row) const;

private:
    struct Row {
        std::vector<std::wstring> texts;
        bool textCallback = false;
        int image = 0;
        void* data = nullptr;
        uint32_t state = 0;
    };
    std::vector<std::wstring> TextsOf(const Row& row) const;

    void CheckThread() const;
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    void ApplyState(size_t row, uint32_t state, uint32_t mask);

    std::vector<Row> m_rows;
    TextProvider m_textProvider;
    int m_providedColumns = 4;
    std::vector<std::pair<int, int>> m_redraws;
    int m_lockDepth = 0;
    int m_updateWindowCount = 0;
    int m_ensured = -1;
};

// A complete headless user-interface side for a test: a ManualDispatcher
// whose UI thread is the creating thread, a tree and a list, all installed
// as the process-wide ones for the object's life (the previous ones come back
// afterwards).
class HeadlessUi {
public:
    HeadlessUi();
    ~HeadlessUi();
    HeadlessUi(const HeadlessUi&) = delete;
    HeadlessUi& operator=(const HeadlessUi&) = delete;

    ManualDispatcher& Dispatcher() { return *m_dispatcher; }
    HeadlessTree& Tree() { return *m_tree; }
    HeadlessList& List() { return *m_list; }

private:
    std::shared_ptr<ManualDispatcher> m_dispatcher;
    std::shared_ptr<HeadlessTree> m_tree;
    std::shared_ptr<HeadlessList> m_list;
    std::shared_ptr<platform::Dispatcher> m_previousDispatcher;
    std::shared_ptr<TreePort> m_previousTree;
    std::shared_ptr<ListPort> m_previousList;
};

} // namespace platform
