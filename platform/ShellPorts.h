#pragma once
// What the directory model reaches of the shell's windows besides the tree and
// list controls: the document's status panes, the list view's own parts and
// message boxes.
//
// As with the control ports, setting one installs a forwarding port, so the
// model may call it from a worker: the call runs on the UI thread while the
// worker waits. Implementations (the shell's windows in the program,
// headless ones in tests) are plain single-threaded objects.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// The document's status texts, shown by the main frame.
class DocumentPort {
public:
    virtual ~DocumentPort() = default;
    // The current server's user DN and the schema's state text.
    virtual void SetPaneText1(const std::wstring& text) = 0;
    virtual void SetPaneText2(const std::wstring& text) = 0;
    // The current server's SSL setting.
    virtual void SetPaneValue(int value) = 0;
    // The main frame's message pane; nothing while the frame has no window.
    virtual void SetMessageText(const std::wstring& text) = 0;
};

enum class SortDirection { Descending, Ascending };

// The list view's parts that are not its list control.
class ListViewPort {
public:
    virtual ~ListViewPort() = default;
    // The waiting animation: stretched over the list's client area, played
    // from the first frame to the end without end, and shown.
    virtual void ShowAnimation() = 0;
    // Stops and hides it.
    virtual void HideAnimation() = 0;
    // While suspended the view does not react to selection changes (a
    // selection made by code is not a user's choice of node).
    virtual void SuspendSelectionHandling(bool suspend) = 0;
    // After a node refilled the list: the view orders the rows as it keeps
    // them ordered. False when the view keeps no order of its own and leaves
    // it to the caller.
    virtual bool SortRefilledRows() { return false; }
    // The tree's children shown in the list were sorted this way: the order
    // the view keeps of its own goes the same way.
    virtual void TakeSortDirection(SortDirection) {}
    // The direction of the order the view keeps of its own (a sorted
    // column); none when it keeps none.
    virtual std::optional<SortDirection> KeptSortDirection() const { return std::nullopt; }
};

// Message-box styles and answers, with their usual values.
constexpr uint32_t kMbOk = 0x00;
constexpr uint32_t kMbYesNo = 0x04;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    // Modal; returns the button pressed.
    virtual int Show(const std::wstring& text, uint32_t style) = 0;
};

// The process-wide ports; each setter returns the previous port.
std::shared_ptr<DocumentPort> SetDocumentPort(std::shared_ptr<DocumentPort> port);
std::shared_ptr<DocumentPort> GetDocumentPort();
std::shared_ptr<ListViewPort> SetListViewPort(std::shared_ptr<ListViewPort> port);
std::shared_ptr<ListViewPort> GetListViewPort();
std::shared_ptr<MessageBoxPort> SetMessageBoxPort(std::shared_ptr<MessageBoxPort> port);
std::shared_ptr<MessageBoxPort> GetMessageBoxPort();

// A message box through the current port; without one, kIdCancel: nobody
// was asked.
int ShowMessageBox(const std::wstring& text, uint32_t style);

} // namespace platform
