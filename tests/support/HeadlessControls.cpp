#include "tests/support/HeadlessControls.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

#include "platform/Dispatcher.h"

namespace platform {

namespace {

void RequireUiThread(const char* control)
{
    std::shared_ptr<Dispatcher> d = GetDispatcher();
    if (d && !d->IsUiThread())
        throw std::logic_error(std::string(control) + " touched off the UI thread");
}

int CompareNoCase(const std::wstring& a, const std::wstring& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wint_t ca = std::towlower(static_cast<wint_t>(a[i]));
        wint_t cb = std::towlower(static_cast<wint_t>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

// ---- HeadlessTree ----

void HeadlessTree::CheckThread() const
{
    RequireUiThread("the tree control");
}

const HeadlessTree::Node* HeadlessTree::Find(TreeItem item) const
{
    auto it = m_nodes.find(item.handle);
    return it == m_nodes.end() ? nullptr : &it->second;
}

HeadlessTree::Node* HeadlessTree::Find(TreeItem item)
{
    auto it = m_nodes.find(item.handle);
    return it == m_nodes.end() ? nullptr : &it->second;
}

std::vector<TreeItem>* HeadlessTree::ChildList(TreeItem parent)
{
    if (parent == kTreeRoot)
        return &m_top;
    Node* n = Find(parent);
    return n ? &n->children : nullptr;
}

const std::vector<TreeItem>* HeadlessTree::ChildList(TreeItem parent) const
{
    if (parent == kTreeRoot)
        return &m_top;
    const Node* n = Find(parent);
    return n ? &n->children : nullptr;
}

bool HeadlessTree::IsAncestor(TreeItem ancestor, TreeItem item) const
{
    for (const Node* n = Find(item); n && n->parent != kTreeRoot; n = Find(n->parent))
        if (n->parent == ancestor)
            return true;
    return false;
}

void HeadlessTree::LockUpdates()
{
    CheckThread();
    ++m_lockDepth;
}

void HeadlessTree::UnlockUpdates()
{
    CheckThread();
    if (m_lockDepth > 0)
        --m_lockDepth;
}

void HeadlessTree::UpdateWindow()
{
    CheckThread();
    ++m_updateWindowCount;
}

TreeItem HeadlessTree::InsertItem(const TreeInsert& insert)
{
    CheckThread();
    std::vector<TreeItem>* siblings = ChildList(insert.parent);
    if (!siblings)
        return TreeItem();
    TreeItem item{m_nextHandle++};
    Node node;
    node.parent = insert.parent;
    node.text = insert.text;
    node.textCallback = insert.textCallback;
    node.image = insert.image;
    node.selectedImage = insert.selectedImage;
    node.childIndicator = insert.children;
    node.data = insert.data;
    if (insert.at == TreeInsertAt::First)
        siblings->insert(siblings->begin(), item);
    else
        siblings->push_back(item);
    m_nodes.emplace(item.handle, std::move(node));
    return item;
}

void HeadlessTree::Erase(TreeItem item)
{
    auto it = m_nodes.find(item.handle);
    if (it == m_nodes.end())
        return;
    std::vector<TreeItem> children = std::move(it->second.children);
    m_nodes.erase(it);
    for (TreeItem child : children)
        Erase(child);
}

bool HeadlessTree::DeleteItem(TreeItem item)
{
    CheckThread();
    const Node* n = Find(item);
    if (!n)
        return false;
    if (m_selected == item || IsAncestor(item, m_selected))
        m_selected = TreeItem();
    if (m_ensured == item || IsAncestor(item, m_ensured))
        m_ensured = TreeItem();
    std::vector<TreeItem>* siblings = ChildList(n->parent);
    siblings->erase(std::find(siblings->begin(), siblings->end(), item));
    Erase(item);
    return true;
}

void HeadlessTree::DeleteAllItems()
{
    CheckThread();
    m_nodes.clear();
    std::vector<TreeItem>().swap(m_top);
    m_selected = TreeItem();
    m_ensured = TreeItem();
}

bool HeadlessTree::ItemExists(TreeItem item) const
{
    CheckThread();
    return Find(item) != nullptr;
}

TreeItem HeadlessTree::GetRootItem() const
{
    CheckThread();
    return m_top.empty() ? TreeItem() : m_top.front();
}

TreeItem HeadlessTree::GetParentItem(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    return n && n->parent != kTreeRoot ? n->parent : TreeItem();
}

TreeItem HeadlessTree::GetChildItem(TreeItem item) const
{
    CheckThread();
    const std::vector<TreeItem>* children = ChildList(item);
    return children && !children->empty() ? children->front() : TreeItem();
}

TreeItem HeadlessTree::GetNextSiblingItem(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    if (!n)
        return TreeItem();
    const std::vector<TreeItem>& siblings = *ChildList(n->parent);
    size_t index = m_stepIndex;
    if (m_stepParent != n->parent || index >= siblings.size() || siblings[index] != item)
        index = static_cast<size_t>(std::find(siblings.begin(), siblings.end(), item) - siblings.begin());
    if (++index >= siblings.size())
        return TreeItem();
    m_stepParent = n->parent;
    m_stepIndex = index;
    return siblings[index];
}

bool HeadlessTree::ItemHasChildren(TreeItem item) const
{
    CheckThread();
    const std::vector<TreeItem>* children = ChildList(item);
    return children && !children->empty();
}

std::wstring HeadlessTree::GetItemText(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    if (!n)
        return std::wstring();
    if (n->textCallback)
        return m_textProvider ? m_textProvider(n->data) : std::wstring();
    return n->text;
}

bool HeadlessTree::SetItemText(TreeItem item, const std::wstring& text)
{
    CheckThread();
    Node* n = Find(item);
    if (!n)
        return false;
    n->text = text;
    n->textCallback = false;
    return true;
}

void* HeadlessTree::GetItemData(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    return n ? n->data : nullptr;
}

bool HeadlessTree::SetItemData(TreeItem item, void* data)
{
    CheckThread();
    Node* n = Find(item);
    if (!n)
        return false;
    n->data = data;
    return true;
}

bool HeadlessTree::GetItemImage(TreeItem item, int& image, int& selectedImage) const
{
    CheckThread();
    const Node* n = Find(item);
    if (!n)
        return false;
    image = n->image;
    selectedImage = n->selectedImage;
    return true;
}

bool HeadlessTree::SetItemImage(TreeItem item, int image, int selectedImage)
{
    CheckThread();
    Node* n = Find(item);
    if (!n)
        return false;
    n->image = image;
    n->selectedImage = selectedImage;
    return true;
}

int HeadlessTree::GetItemOverlay(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    return n ? n->overlay : 0;
}

bool HeadlessTree::SetItemOverlay(TreeItem item, int overlay)
{
    CheckThread();
    Node* n = Find(item);
    if (!n || overlay < 0 || overlay > 15)
        return false;
    n->overlay = overlay;
    return true;
}

int HeadlessTree::GetChildIndicator(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    return n ? n->childIndicator : 0;
}

bool HeadlessTree::SetChildIndicator(TreeItem item, int children)
{
    CheckThread();
    Node* n = Find(item);
    if (!n)
        return false;
    n->childIndicator = children;
    return true;
}

bool HeadlessTree::Expand(TreeItem item, TreeExpand how)
{
    CheckThread();
    Node* n = Find(item);
    if (!n)
        return false;
    bool expand = how == TreeExpand::Expand || (how == TreeExpand::Toggle && !n->expanded);
    n->expanded = expand;
    if (!expand && IsAncestor(item, m_selected))
        m_selected = item;
    return true;
}

bool HeadlessTree::IsExpanded(TreeItem item) const
{
    CheckThread();
    const Node* n = Find(item);
    return n && n->expanded;
}

TreeItem HeadlessTree::GetSelectedItem() const
{
    CheckThread();
    return m_selected;
}

bool HeadlessTree::SelectItem(TreeItem item)
{
    CheckThread();
    if (!item) {
        m_selected = TreeItem();
        return true;
    }
    if (!Find(item))
        return false;
    // Selecting an item reveals it, as the real control does.
    for (Node* p = Find(Find(item)->parent); p; p = Find(p->parent))
        p->expanded = true;
    m_selected = item;
    return true;
}

bool HeadlessTree::EnsureVisible(TreeItem item)
{
    CheckThread();
    Node* n = Find(item);
    if (!n)
        return false;
    for (Node* p = Find(n->parent); p; p = Find(p->parent))
        p->expanded = true;
    m_ensured = item;
    return true;
}

bool HeadlessTree::SortChildren(TreeItem parent, const ItemCompare& compare)
{
    CheckThread();
    std::vector<TreeItem>* children = ChildList(parent);
    if (!children)
        return false;
    if (!compare) {
        std::stable_sort(children->begin(), children->end(), [&](TreeItem a, TreeItem b) {
            return CompareNoCase(GetItemText(a), GetItemText(b)) < 0;
        });
        return true;
    }
    // Each item's data is looked up once, as a real control holds it with the item.
    std::vector<std::pair<void*, TreeItem>> items;
    items.reserve(children->size());
    for (TreeItem child : *children)
        items.emplace_back(Find(child)->data, child);
    std::stable_sort(items.begin(), items.end(),
                     [&](const auto& a, const auto& b) { return compare(a.first, b.first) < 0; });
    for (size_t i = 0; i < items.size(); ++i)
        (*children)[i] = items[i].second;
    return true;
}

void HeadlessTree::SetTextProvider(TextProvider provider)
{
    CheckThread();
    m_textProvider = std::move(provider);
}

std::vector<TreeItem> HeadlessTree::GetChildren(TreeItem parent) const
{
    CheckThread();
    const std::vector<TreeItem>* children = ChildList(parent);
    return children ? *children : std::vector<TreeItem>();
}

size_t HeadlessTree::GetCount() const
{
    CheckThread();
    return m_nodes.size();
}

int HeadlessTree::UpdateLockDepth() const
{
    CheckThread();
    return m_lockDepth;
}

int HeadlessTree::UpdateWindowCount() const
{
    CheckThread();
    return m_updateWindowCount;
}

TreeItem HeadlessTree::LastEnsuredVisible() const
{
    CheckThread();
    return m_ensured;
}

void HeadlessTree::DumpLevel(TreeItem parent, int depth, std::wstring& out) const
{
    for (TreeItem item : *ChildList(parent)) {
        const Node& n = *Find(item);
        out.append(static_cast<size_t>(depth) * 2, L' ');
        out += GetItemText(item);
        if (n.expanded)
            out += L" [+]";
        if (n.childIndicator != 0)
            out += L" (" + std::to_wstring(n.childIndicator) + L")";
        if (n.overlay != 0)
            out += L" <" + std::to_wstring(n.overlay) + L">";
        if (m_selected == item)
            out += L" *";
        out += L'\n';
        DumpLevel(item, depth + 1, out);
    }
}

std::wstring HeadlessTree::Dump() const
{
    CheckThread();
    std::wstring out;
    DumpLevel(kTreeRoot, 0, out);
    return out;
}

// ---- HeadlessList ----

void HeadlessList::CheckThread() const
{
    RequireUiThread("the list control");
}

void HeadlessList::LockUpdates()
{
    CheckThread();
    ++m_lockDepth;
}

void HeadlessList::UnlockUpdates()
{
    CheckThread();
    if (m_lockDepth > 0)
        --m_lockDepth;
}

void HeadlessList::UpdateWindow()
{
    CheckThread();
    ++m_updateWindowCount;
}

int HeadlessList::GetItemCount() const
{
    CheckThread();
    return static_cast<int>(m_rows.size());
}

void HeadlessList::ApplyState(size_t row, uint32_t state, uint32_t mask)
{
    Row& r = m_rows[row];
    r.state = (r.state & ~mask) | (state & mask);
    if (mask & state & kListFocused)
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (i != row)
                m_rows[i].state &= ~kListFocused;
}

int HeadlessList::InsertItem(int row, ListItem item)
{
    CheckThread();
    size_t at = row < 0 || row > static_cast<int>(m_rows.size()) ? m_rows.size() : static_cast<size_t>(row);
    Row r;
    r.textCallback = item.textCallback;
    if (!item.textCallback) {
        r.texts.push_back(item.text);
        r.texts.insert(r.texts.end(), item.columns.begin(), item.columns.end());
    }
    r.image = item.image;
    r.data = item.data;
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(r));
    ApplyState(at, item.state, item.stateMask);
    return static_cast<int>(at);
}

bool HeadlessList::DeleteItem(int row)
{
    CheckThread();
    if (!Valid(row))
        return false;
    m_rows.erase(m_rows.begin() + row);
    if (m_ensured == row)
        m_ensured = -1;
    else if (m_ensured > row)
        --m_ensured;
    return true;
}

void HeadlessList::DeleteAllItems()
{
    CheckThread();
    // The room of a long list goes too, as in the window's list.
    std::vector<Row>().swap(m_rows);
    m_ensured = -1;
}

std::wstring HeadlessList::GetItemText(int row, int column) const
{
    CheckThread();
    if (!Valid(row) || column < 0)
        return std::wstring();
    const std::vector<std::wstring> texts = TextsOf(m_rows[row]);
    return column < static_cast<int>(texts.size()) ? texts[column] : std::wstring();
}

std::vector<std::wstring> HeadlessList::TextsOf(const Row& row) const
{
    if (!row.textCallback)
        return row.texts;
    std::vector<std::wstring> texts;
    for (int column = 0; column < m_providedColumns; ++column)
        texts.push_back(m_textProvider ? m_textProvider(row.data, column) : std::wstring());
    return texts;
}

void HeadlessList::SetTextProvider(TextProvider provider, int columns)
{
    CheckThread();
    m_textProvider = std::move(provider);
    m_providedColumns = columns;
}

bool HeadlessList::SetItemText(int row, int column, const std::wstring& text)
{
    CheckThread();
    if (!Valid(row) || column < 0)
        return false;
    if (m_rows[row].textCallback) {
        m_rows[row].texts = TextsOf(m_rows[row]);
        m_rows[row].textCallback = false;
    }
    std::vector<std::wstring>& texts = m_rows[row].texts;
    if (column >= static_cast<int>(texts.size()))
        texts.resize(static_cast<size_t>(column) + 1);
    texts[column] = text;
    return true;
}

void* HeadlessList::GetItemData(int row) const
{
    CheckThread();
    return Valid(row) ? m_rows[row].data : nullptr;
}

bool HeadlessList::SetItemData(int row, void* data)
{
    CheckThread();
    if (!Valid(row))
        return false;
    m_rows[row].data = data;
    return true;
}

int HeadlessList::GetItemImage(int row) const
{
    CheckThread();
    return Valid(row) ? m_rows[row].image : -1;
}

bool HeadlessList::SetItemImage(int row, int image)
{
    CheckThread();
    if (!Valid(row))
        return false;
    m_rows[row].image = image;
    return true;
}

uint32_t HeadlessList::GetItemState(int row, uint32_t mask) const
{
    CheckThread();
    return Valid(row) ? m_rows[row].state & mask : 0;
}

bool HeadlessList::SetItemState(int row, uint32_t state, uint32_t mask)
{
    CheckThread();
    if (row == -1) {
        for (size_t i = 0; i < m_rows.size(); ++i)
            ApplyState(i, state, mask);
        return true;
    }
    if (!Valid(row))
        return false;
    ApplyState(static_cast<size_t>(row), state, mask);
    return true;
}

std::vector<int> HeadlessList::GetSelectedRows() const
{
    CheckThread();
    std::vector<int> rows;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].state & kListSelected)
            rows.push_back(static_cast<int>(i));
    return rows;
}

int HeadlessList::FindItemByData(const void* data, int start) const
{
    CheckThread();
    for (int i = std::max(start + 1, 0); i < static_cast<int>(m_rows.size()); ++i)
        if (m_rows[i].data == data)
            return i;
    return -1;
}

bool HeadlessList::EnsureVisible(int row)
{
    CheckThread();
    if (!Valid(row))
        return false;
    m_ensured = row;
    return true;
}

bool HeadlessList::RedrawItems(int first, int last)
{
    CheckThread();
    m_redraws.emplace_back(first, last);
    return true;
}

void HeadlessList::SortItems(const ItemCompare& compare)
{
    CheckThread();
    if (!compare)
        return;
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&](const Row& a, const Row& b) { return compare(a.data, b.data) < 0; });
    m_ensured = -1;
}

int HeadlessList::UpdateLockDepth() const
{
    CheckThread();
    return m_lockDepth;
}

int HeadlessList::UpdateWindowCount() const
{
    CheckThread();
    return m_updateWindowCount;
}

int HeadlessList::LastEnsuredVisible() const
{
    CheckThread();
    return m_ensured;
}

std::vector<std::pair<int, int>> HeadlessList::Redraws() const
{
    CheckThread();
    return m_redraws;
}

void HeadlessList::ClearRedraws()
{
    CheckThread();
    m_redraws.clear();
}

std::wstring HeadlessList::RowText(int row) const
{
    CheckThread();
    std::wstring out;
    if (!Valid(row))
        return out;
    const std::vector<std::wstring> texts = TextsOf(m_rows[row]);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i)
            out += L'|';
        out += texts[i];
    }
    return out;
}

// ---- HeadlessUi ----

HeadlessUi::HeadlessUi()
    : m_dispatcher(std::make_shared<ManualDispatcher>()),
      m_tree(std::make_shared<HeadlessTree>()),
      m_list(std::make_shared<HeadlessList>())
{
    m_previousDispatcher = SetDispatcher(m_dispatcher);
    m_previousTree = SetTreeControl(m_tree);
    m_previousList = SetListControl(m_list);
}

HeadlessUi::~HeadlessUi()
{
    SetListControl(std::move(m_previousList));
    SetTreeControl(std::move(m_previousTree));
    SetDispatcher(std::move(m_previousDispatcher));
    // Workers still waiting on this UI must not wait for ever.
    m_dispatcher->Close();
}

} // namespace platform
