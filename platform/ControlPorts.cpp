#include "platform/ControlPorts.h"

#include "base/Installed.h"

#include <mutex>

#include "platform/Dispatcher.h"

namespace platform {

namespace {

// Each call is sent to the UI thread; arguments are captured by reference,
// which is safe because the caller waits for the call to finish.
class UiThreadTreePort : public TreePort {
public:
    explicit UiThreadTreePort(std::shared_ptr<TreePort> control) : m_c(std::move(control)) {}

    void LockUpdates() override { Send([&] { m_c->LockUpdates(); }); }
    void UnlockUpdates() override { Send([&] { m_c->UnlockUpdates(); }); }
    void UpdateWindow() override { Send([&] { m_c->UpdateWindow(); }); }

    TreeItem InsertItem(const TreeInsert& insert) override { return Send([&] { return m_c->InsertItem(insert); }); }
    bool DeleteItem(TreeItem item) override { return Send([&] { return m_c->DeleteItem(item); }); }
    void DeleteAllItems() override { Send([&] { m_c->DeleteAllItems(); }); }
    bool ItemExists(TreeItem item) const override { return Send([&] { return m_c->ItemExists(item); }); }

    TreeItem GetRootItem() const override { return Send([&] { return m_c->GetRootItem(); }); }
    TreeItem GetParentItem(TreeItem item) const override { return Send([&] { return m_c->GetParentItem(item); }); }
    TreeItem GetChildItem(TreeItem item) const override { return Send([&] { return m_c->GetChildItem(item); }); }
    std::vector<void*> GetChildrenData(TreeItem item) const override
    {
        return Send([&] { return m_c->GetChildrenData(item); });
    }
    size_t GetChildCount(TreeItem item) const override { return Send([&] { return m_c->GetChildCount(item); }); }
    TreeItem GetNextSiblingItem(TreeItem item) const override
    {
        return Send([&] { return m_c->GetNextSiblingItem(item); });
    }
    bool ItemHasChildren(TreeItem item) const override { return Send([&] { return m_c->ItemHasChildren(item); }); }

    std::wstring GetItemText(TreeItem item) const override { return Send([&] { return m_c->GetItemText(item); }); }
    bool SetItemText(TreeItem item, const std::wstring& text) override
    {
        return Send([&] { return m_c->SetItemText(item, text); });
    }
    void* GetItemData(TreeItem item) const override { return Send([&] { return m_c->GetItemData(item); }); }
    bool SetItemData(TreeItem item, void* data) override { return Send([&] { return m_c->SetItemData(item, data); }); }
    bool GetItemImage(TreeItem item, int& image, int& selectedImage) const override
    {
        return Send([&] { return m_c->GetItemImage(item, image, selectedImage); });
    }
    bool SetItemImage(TreeItem item, int image, int selectedImage) override
    {
        return Send([&] { return m_c->SetItemImage(item, image, selectedImage); });
    }
    int GetItemOverlay(TreeItem item) const override { return Send([&] { return m_c->GetItemOverlay(item); }); }
    bool SetItemOverlay(TreeItem item, int overlay) override
    {
        return Send([&] { return m_c->SetItemOverlay(item, overlay); });
    }
    int GetChildIndicator(TreeItem item) const override { return Send([&] { return m_c->GetChildIndicator(item); }); }
    bool SetChildIndicator(TreeItem item, int children) override
    {
        return Send([&] { return m_c->SetChildIndicator(item, children); });
    }

    bool Expand(TreeItem item, TreeExpand how) override { return Send([&] { return m_c->Expand(item, how); }); }
    bool IsExpanded(TreeItem item) const override { return Send([&] { return m_c->IsExpanded(item); }); }
    TreeItem GetSelectedItem() const override { return Send([&] { return m_c->GetSelectedItem(); }); }
    bool SelectItem(TreeItem item) override { return Send([&] { return m_c->SelectItem(item); }); }
    bool EnsureVisible(TreeItem item) override { return Send([&] { return m_c->EnsureVisible(item); }); }
    bool SortChildren(TreeItem parent, const ItemCompare& compare) override
    {
        return Send([&] { return m_c->SortChildren(parent, compare); });
    }

private:
    std::shared_ptr<TreePort> m_c;
};

class UiThreadListPort : public ListPort {
public:
    explicit UiThreadListPort(std::shared_ptr<ListPort> control) : m_c(std::move(control)) {}

    void LockUpdates() override { Send([&] { m_c->LockUpdates(); }); }
    void UnlockUpdates() override { Send([&] { m_c->UnlockUpdates(); }); }
    void UpdateWindow() override { Send([&] { m_c->UpdateWindow(); }); }

    int GetItemCount() const override { return Send([&] { return m_c->GetItemCount(); }); }
    int InsertItem(int row, ListItem item) override
    {
        return Send([&] { return m_c->InsertItem(row, std::move(item)); });
    }
    bool DeleteItem(int row) override { return Send([&] { return m_c->DeleteItem(row); }); }
    void DeleteAllItems() override { Send([&] { m_c->DeleteAllItems(); }); }

    std::wstring GetItemText(int row, int column) const override
    {
        return Send([&] { return m_c->GetItemText(row, column); });
    }
    bool SetItemText(int row, int column, const std::wstring& text) override
    {
        return Send([&] { return m_c->SetItemText(row, column, text); });
    }
    void* GetItemData(int row) const override { return Send([&] { return m_c->GetItemData(row); }); }
    bool SetItemData(int row, void* data) override { return Send([&] { return m_c->SetItemData(row, data); }); }
    int GetItemImage(int row) const override { return Send([&] { return m_c->GetItemImage(row); }); }
    bool SetItemImage(int row, int image) override { return Send([&] { return m_c->SetItemImage(row, image); }); }
    uint32_t GetItemState(int row, uint32_t mask) const override
    {
        return Send([&] { return m_c->GetItemState(row, mask); });
    }
    bool SetItemState(int row, uint32_t state, uint32_t mask) override
    {
        return Send([&] { return m_c->SetItemState(row, state, mask); });
    }
    std::vector<int> GetSelectedRows() const override { return Send([&] { return m_c->GetSelectedRows(); }); }

    int FindItemByData(const void* data, int start) const override
    {
        return Send([&] { return m_c->FindItemByData(data, start); });
    }
    bool EnsureVisible(int row) override { return Send([&] { return m_c->EnsureVisible(row); }); }
    bool RedrawItems(int first, int last) override { return Send([&] { return m_c->RedrawItems(first, last); }); }
    void SortItems(const ItemCompare& compare) override { Send([&] { m_c->SortItems(compare); }); }

private:
    std::shared_ptr<ListPort> m_c;
};

Installed<std::shared_ptr<TreePort>> g_tree;
Installed<std::shared_ptr<ListPort>> g_list;

} // namespace

std::vector<void*> TreePort::GetChildrenData(TreeItem item) const
{
    std::vector<void*> data;
    for (TreeItem child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        data.push_back(GetItemData(child));
    return data;
}

size_t TreePort::GetChildCount(TreeItem item) const
{
    size_t count = 0;
    for (TreeItem child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        ++count;
    return count;
}

std::shared_ptr<TreePort> MakeUiThreadTreePort(std::shared_ptr<TreePort> control)
{
    if (!control || dynamic_cast<UiThreadTreePort*>(control.get()))
        return control;
    return std::make_shared<UiThreadTreePort>(std::move(control));
}

std::shared_ptr<ListPort> MakeUiThreadListPort(std::shared_ptr<ListPort> control)
{
    if (!control || dynamic_cast<UiThreadListPort*>(control.get()))
        return control;
    return std::make_shared<UiThreadListPort>(std::move(control));
}

std::shared_ptr<TreePort> SetTreeControl(std::shared_ptr<TreePort> control)
{
    return g_tree.Set(MakeUiThreadTreePort(std::move(control)));
}

std::shared_ptr<TreePort> GetTreeControl()
{
    return g_tree.Get();
}

std::shared_ptr<ListPort> SetListControl(std::shared_ptr<ListPort> control)
{
    return g_list.Set(MakeUiThreadListPort(std::move(control)));
}

std::shared_ptr<ListPort> GetListControl()
{
    return g_list.Get();
}

} // namespace platform
