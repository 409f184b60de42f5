#pragma once
// What the model's tests share: a plain node kind, and a headless user
// interface whose tree and list views hand their timers and node messages to
// the model's handlers as the real views do.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf8.h"
#include "jobs/CLDAPThread.h"
#include "model/nodes/CDataObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/profiles/CAppConfig.h"
#include "model/ports/ResourceText.h"
#include "model/nodes/TreeViewOperations.h"
#include "platform/Dispatcher.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessControls.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/RecordingPropertySheet.h"

namespace modeltest {

// A node of a kind the test chooses, answering the pure operations plainly.
// Its contents are its child nodes, one row each.
class TestNode : public CDataObject {
public:
    explicit TestNode(int type = kNodeEntry, const std::wstring& caption = L"node") : m_type(type)
    {
        SetCaption(caption);
        SetValueText(L"value of " + caption);
    }

    int GetType() const override { return m_type; }
    int GetImage(bool selected) const override { return selected ? 22 : 9; }
    bool QueryCapability1() const override { return false; }
    bool QueryCapability2() const override { return false; }
    void ShowContents(intptr_t) override
    {
        ++showContents;
        RemoveAllRows();
        std::shared_ptr<platform::TreePort> tree = platform::GetTreeControl();
        for (platform::TreeItem child = tree->GetChildItem(GetTreeItem()); child;
             child = tree->GetNextSiblingItem(child))
            UpdateRowText(*GetTreeItemObject(child), -1);
    }
    void OnCommandNew() override { ++commandNew; }
    bool PromptDelete() override { return false; }
    std::wstring GetFullName() const override { return GetCaption(); }

    void Expand(intptr_t arg) override
    {
        ++expands;
        lastArgument = arg;
        CDataObject::Expand(arg);
    }
    void Refresh(intptr_t arg) override
    {
        ++refreshes;
        lastArgument = arg;
        CDataObject::Refresh(arg);
    }
    void LoadChildren(intptr_t arg) override
    {
        ++loads;
        lastArgument = arg;
    }

    using CDataObject::SetServerObject;

    std::atomic<int> showContents{0};
    std::atomic<int> commandNew{0};
    std::atomic<int> expands{0};
    std::atomic<int> refreshes{0};
    std::atomic<int> loads{0};
    std::atomic<intptr_t> lastArgument{-1};

private:
    const int m_type;
};

// Makes a node and hands it to a new tree item below parent.
template <class T = TestNode, class... Args>
T* AddNode(platform::TreeItem parent, Args&&... args)
{
    auto node = std::make_unique<T>(std::forward<Args>(args)...);
    EXPECT_TRUE(InsertObjectItem(*node, parent));
    return node.release();
}

// The text of a string resource.
inline std::wstring Text(unsigned id)
{
    return LoadResourceText(id);
}

// The tree view's and the list view's parts that reach the model.
class TreeViewReceiver : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t,
                   std::unique_ptr<platform::MessagePayload>) override
    {
        if (id == platform::WM_TIMER)
            HandleTreeViewTimer(static_cast<uint32_t>(wParam));
    }
};

class ListViewReceiver : public platform::MessageReceiver {
public:
    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override
    {
        if (HandleListViewMessage(id, wParam, lParam, payload))
            ++handled;
    }
    int handled = 0;
};

// A headless user interface on the test's thread with both views registered,
// the shell's ports, a recording property sheet and the default options. Nodes
// left in the tree are deleted at the end, as the tree view does.
class ModelUi {
public:
    ModelUi()
    {
        platform::ResourceLibrary::Current().LoadDefault();
        GetAppConfig().SetDefaults();
        CDataObject::InitCommandImages();
        m_ui.Tree().SetTextProvider(&GetTreeItemText);
        m_ui.List().SetTextProvider(&ListColumnText);
        m_treeRegistration = platform::ReceiverRegistration(m_treeView);
        m_listRegistration = platform::ReceiverRegistration(m_listView);
        platform::SetAppWindow(platform::AppWindow::TreeView, m_treeRegistration.Id());
        platform::SetAppWindow(platform::AppWindow::ListView, m_listRegistration.Id());
    }
    ~ModelUi()
    {
        // A test ends only after the jobs it started (a refresh a new filter
        // asked for) have ended; their messages need this thread.
        EXPECT_TRUE(Dispatcher().PumpUntil([] { return GetRunningThreadCount() == 0; }, 30000))
            << "the test's jobs did not end";
        DeleteChildItems(platform::kTreeRoot);
        platform::SetAppWindow(platform::AppWindow::ListView, platform::kNoReceiver);
        platform::SetAppWindow(platform::AppWindow::TreeView, platform::kNoReceiver);
        m_listRegistration.Reset();
        m_treeRegistration.Reset();
        GetAppConfig().SetDefaults();
    }
    ModelUi(const ModelUi&) = delete;
    ModelUi& operator=(const ModelUi&) = delete;

    platform::ManualDispatcher& Dispatcher() { return m_ui.Dispatcher(); }
    platform::HeadlessTree& Tree() { return m_ui.Tree(); }
    platform::HeadlessList& List() { return m_ui.List(); }
    platform::HeadlessShell& Shell() { return m_shell; }
    RecordingPropertySheet& Sheet() { return m_sheet.Sheet(); }
    ListViewReceiver& ListView() { return m_listView; }
    platform::ReceiverId TreeViewId() const { return m_treeRegistration.Id(); }
    platform::ReceiverId ListViewId() const { return m_listRegistration.Id(); }

    // Makes the node current, as a click on its item does.
    void Select(CDataObject& node) { Tree().SelectItem(node.GetTreeItem()); }

private:
    platform::HeadlessUi m_ui;
    platform::HeadlessShell m_shell;
    RecordingPropertySheetScope m_sheet;
    TreeViewReceiver m_treeView;
    ListViewReceiver m_listView;
    platform::ReceiverRegistration m_treeRegistration;
    platform::ReceiverRegistration m_listRegistration;
};

}  // namespace modeltest
