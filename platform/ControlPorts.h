#pragma once
// The tree and list controls as the directory model and the jobs see them.
//
// Real controls may only be touched on the UI thread. The process-wide
// control pointers therefore hold a forwarding port: a call made on a worker
// is sent to the UI thread (Dispatcher::Send) and the worker waits for it;
// on the UI thread it goes straight through. Implementations (the headless
// models here, the toolkit's controls in the program) are plain
// single-threaded objects.
//
// Tree items are handles that are never reused while the control lives, so
// a handle kept after its item was deleted names nothing (ItemExists false,
// every other call fails softly). Item data is an opaque pointer the control
// never frees: whoever removes items frees what they carried.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct TreeItem {
    uint64_t handle = 0;
    explicit operator bool() const { return handle != 0; }
    friend bool operator==(TreeItem a, TreeItem b) { return a.handle == b.handle; }
    friend bool operator!=(TreeItem a, TreeItem b) { return a.handle != b.handle; }
    friend bool operator<(TreeItem a, TreeItem b) { return a.handle < b.handle; }
};

// The invisible parent of the top-level items.
constexpr TreeItem kTreeRoot{~uint64_t(0)};

enum class TreeInsertAt { Last, First };
enum class TreeExpand { Expand, Collapse, Toggle };

struct TreeInsert {
    TreeItem parent = kTreeRoot;
    TreeInsertAt at = TreeInsertAt::Last;
    std::wstring text;
    // Ask the control's text provider for the text each time it is needed,
    // until SetItemText gives the item a text of its own.
    bool textCallback = false;
    int image = 0;
    int selectedImage = 0;
    // The children indicator: non-zero shows an expand button whether or not
    // child items exist yet.
    int children = 0;
    void* data = nullptr;
};

// <0, 0, >0 for a before, equal to, after b; arguments are item data.
typedef std::function<int(void* a, void* b)> ItemCompare;

// What both controls offer.
class ControlPort {
public:
    virtual ~ControlPort() = default;
    // Window-update lock; the calls nest and the last unlock repaints.
    virtual void LockUpdates() = 0;
    virtual void UnlockUpdates() = 0;
    // Repaints what is invalid now rather than at the next idle moment (a
    // toolkit that draws a frame's windows together draws it with the frame,
    // at its next display frame).
    virtual void UpdateWindow() = 0;
};

class TreePort : public ControlPort {
public:
    // A null item when the parent does not exist.
    virtual TreeItem InsertItem(const TreeInsert& insert) = 0;
    // Removes the item with everything below it. An item that held or
    // contained the selection leaves no item selected.
    virtual bool DeleteItem(TreeItem item) = 0;
    virtual void DeleteAllItems() = 0;
    virtual bool ItemExists(TreeItem item) const = 0;

    // Navigation; a null item when there is none. GetChildItem(kTreeRoot)
    // is the first top-level item, and the parent of a top-level item is null.
    virtual TreeItem GetRootItem() const = 0;
    virtual TreeItem GetParentItem(TreeItem item) const = 0;
    virtual TreeItem GetChildItem(TreeItem item) const = 0;
    virtual TreeItem GetNextSiblingItem(TreeItem item) const = 0;
    // Whether the item has child items (not its children indicator).
    virtual bool ItemHasChildren(TreeItem item) const = 0;
    // The item data of the item's children, in order, in one call (a walk
    // through the ports costs a call per child and step).
    virtual std::vector<void*> GetChildrenData(TreeItem item) const;
    // How many child items the item has (not deeper), in one call.
    virtual size_t GetChildCount(TreeItem item) const;

    virtual std::wstring GetItemText(TreeItem item) const = 0;
    virtual bool SetItemText(TreeItem item, const std::wstring& text) = 0;
    virtual void* GetItemData(TreeItem item) const = 0;
    virtual bool SetItemData(TreeItem item, void* data) = 0;
    virtual bool GetItemImage(TreeItem item, int& image, int& selectedImage) const = 0;
    virtual bool SetItemImage(TreeItem item, int image, int selectedImage) = 0;
    // Overlay image index 0..15 (0: none); the item state's bits 8 to 11.
    virtual int GetItemOverlay(TreeItem item) const = 0;
    virtual bool SetItemOverlay(TreeItem item, int overlay) = 0;
    virtual int GetChildIndicator(TreeItem item) const = 0;
    virtual bool SetChildIndicator(TreeItem item, int children) = 0;

    // Collapsing an item whose descendant is selected selects the item.
    virtual bool Expand(TreeItem item, TreeExpand how) = 0;
    virtual bool IsExpanded(TreeItem item) const = 0;
    virtual TreeItem GetSelectedItem() const = 0;
    // A null item clears the selection; false for an item that does not exist.
    virtual bool SelectItem(TreeItem item) = 0;
    virtual bool EnsureVisible(TreeItem item) = 0;
    // Orders the item's children (not deeper): by compare on their item data,
    // or, without one, by text ignoring case.
    virtual bool SortChildren(TreeItem parent, const ItemCompare& compare = nullptr) = 0;
};

// List item state bits.
constexpr uint32_t kListFocused = 0x0001;  // one row at most
constexpr uint32_t kListSelected = 0x0002;
constexpr uint32_t kListCut = 0x0004;
constexpr uint32_t kListDropHilited = 0x0008;
constexpr uint32_t kListOverlayMask = 0x0F00;
constexpr uint32_t kListStateImageMask = 0xF000;
constexpr uint32_t ListOverlayState(int overlay) { return (uint32_t(overlay) << 8) & kListOverlayMask; }

struct ListItem {
    std::wstring text;  // column 0
    // Columns 1 and on, set with the row (those past the list's columns are dropped).
    std::vector<std::wstring> columns;
    // Ask the control's text provider for each column's text whenever it is
    // shown or read (text and columns unused), until SetItemText gives the
    // row texts of its own.
    bool textCallback = false;
    int image = 0;
    void* data = nullptr;
    uint32_t state = 0;
    uint32_t stateMask = 0;
};

class ListPort : public ControlPort {
public:
    virtual int GetItemCount() const = 0;
    // A row index below 0 or past the end appends; returns the new row's index.
    virtual int InsertItem(int row, ListItem item) = 0;
    virtual bool DeleteItem(int row) = 0;
    virtual void DeleteAllItems() = 0;

    virtual std::wstring GetItemText(int row, int column) const = 0;
    virtual bool SetItemText(int row, int column, const std::wstring& text) = 0;
    virtual void* GetItemData(int row) const = 0;
    virtual bool SetItemData(int row, void* data) = 0;
    virtual int GetItemImage(int row) const = 0;
    virtual bool SetItemImage(int row, int image) = 0;
    // Row -1 applies the state to every row.
    virtual uint32_t GetItemState(int row, uint32_t mask) const = 0;
    virtual bool SetItemState(int row, uint32_t state, uint32_t mask) = 0;
    virtual std::vector<int> GetSelectedRows() const = 0;

    // The first row after start (-1: from the top) carrying data, or -1.
    virtual int FindItemByData(const void* data, int start = -1) const = 0;
    virtual bool EnsureVisible(int row) = 0;
    virtual bool RedrawItems(int first, int last) = 0;
    virtual void SortItems(const ItemCompare& compare) = 0;
};

// Holds a control's update lock for a scope.
class ScopedUpdateLock {
public:
    explicit ScopedUpdateLock(ControlPort& control) : m_control(control) { m_control.LockUpdates(); }
    ~ScopedUpdateLock() { m_control.UnlockUpdates(); }
    ScopedUpdateLock(const ScopedUpdateLock&) = delete;
    ScopedUpdateLock& operator=(const ScopedUpdateLock&) = delete;

private:
    ControlPort& m_control;
};

// Forwarding ports: every call runs on the UI thread of the current dispatcher.
std::shared_ptr<TreePort> MakeUiThreadTreePort(std::shared_ptr<TreePort> control);
std::shared_ptr<ListPort> MakeUiThreadListPort(std::shared_ptr<ListPort> control);

// The global control pointers. Setting one installs a forwarding port over
// the control (null uninstalls); getting gives that port, or null. Both
// return the previously installed port.
std::shared_ptr<TreePort> SetTreeControl(std::shared_ptr<TreePort> control);
std::shared_ptr<TreePort> GetTreeControl();
std::shared_ptr<ListPort> SetListControl(std::shared_ptr<ListPort> control);
std::shared_ptr<ListPort> GetListControl();

} // namespace platform
