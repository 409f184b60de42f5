#include "platform/ShellPorts.h"

#include "base/Installed.h"

#include <mutex>
#include <utility>

#include "platform/Dispatcher.h"

namespace platform {

namespace {

// Calls are sent to the UI thread; capturing by reference is safe because the
// caller waits.
class UiThreadDocumentPort : public DocumentPort {
public:
    explicit UiThreadDocumentPort(std::shared_ptr<DocumentPort> port) : m_p(std::move(port)) {}
    void SetPaneText1(const std::wstring& text) override { Send([&] { m_p->SetPaneText1(text); }); }
    void SetPaneText2(const std::wstring& text) override { Send([&] { m_p->SetPaneText2(text); }); }
    void SetPaneValue(int value) override { Send([&] { m_p->SetPaneValue(value); }); }
    void SetMessageText(const std::wstring& text) override { Send([&] { m_p->SetMessageText(text); }); }

private:
    std::shared_ptr<DocumentPort> m_p;
};

class UiThreadListViewPort : public ListViewPort {
public:
    explicit UiThreadListViewPort(std::shared_ptr<ListViewPort> port) : m_p(std::move(port)) {}
    void ShowAnimation() override { Send([&] { m_p->ShowAnimation(); }); }
    void HideAnimation() override { Send([&] { m_p->HideAnimation(); }); }
    void SuspendSelectionHandling(bool suspend) override { Send([&] { m_p->SuspendSelectionHandling(suspend); }); }
    bool SortRefilledRows() override { return Send([&] { return m_p->SortRefilledRows(); }); }
    void TakeSortDirection(SortDirection direction) override { Send([&] { m_p->TakeSortDirection(direction); }); }
    std::optional<SortDirection> KeptSortDirection() const override
    {
        return Send([&] { return m_p->KeptSortDirection(); });
    }

private:
    std::shared_ptr<ListViewPort> m_p;
};

class UiThreadMessageBoxPort : public MessageBoxPort {
public:
    explicit UiThreadMessageBoxPort(std::shared_ptr<MessageBoxPort> port) : m_p(std::move(port)) {}
    int Show(const std::wstring& text, uint32_t style) override { return Send([&] { return m_p->Show(text, style); }); }

private:
    std::shared_ptr<MessageBoxPort> m_p;
};

Installed<std::shared_ptr<DocumentPort>> g_document;
Installed<std::shared_ptr<ListViewPort>> g_listView;
Installed<std::shared_ptr<MessageBoxPort>> g_messageBox;

template <class Forwarder, class Port>
std::shared_ptr<Port> Install(Installed<std::shared_ptr<Port>>& slot, std::shared_ptr<Port> port)
{
    std::shared_ptr<Port> forwarding;
    if (port)
        forwarding = std::make_shared<Forwarder>(std::move(port));
    return slot.Set(std::move(forwarding));
}

} // namespace

std::shared_ptr<DocumentPort> SetDocumentPort(std::shared_ptr<DocumentPort> port)
{
    return Install<UiThreadDocumentPort>(g_document, std::move(port));
}

std::shared_ptr<DocumentPort> GetDocumentPort()
{
    return g_document.Get();
}

std::shared_ptr<ListViewPort> SetListViewPort(std::shared_ptr<ListViewPort> port)
{
    return Install<UiThreadListViewPort>(g_listView, std::move(port));
}

std::shared_ptr<ListViewPort> GetListViewPort()
{
    return g_listView.Get();
}

std::shared_ptr<MessageBoxPort> SetMessageBoxPort(std::shared_ptr<MessageBoxPort> port)
{
    return Install<UiThreadMessageBoxPort>(g_messageBox, std::move(port));
}

std::shared_ptr<MessageBoxPort> GetMessageBoxPort()
{
    return g_messageBox.Get();
}

int ShowMessageBox(const std::wstring& text, uint32_t style)
{
    std::shared_ptr<MessageBoxPort> port = GetMessageBoxPort();
    if (!port)
        return kIdCancel;
    return port->Show(text, style);
}

} // namespace platform
