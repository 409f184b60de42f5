#pragma once
// The shell's windows that the directory model reaches besides the tree and
// list controls, without a display: the document's panes, the list view's
// animation and selection handling, and message boxes that answer what the
// test tells them. Like the headless controls they belong to the UI thread.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/ShellPorts.h"

namespace platform {

class HeadlessDocument : public DocumentPort {
public:
    void SetPaneText1(const std::wstring& text) override { paneText1 = text; }
    void SetPaneText2(const std::wstring& text) override { paneText2 = text; }
    void SetPaneValue(int value) override { paneValue = value; }
    void SetMessageText(const std::wstring& text) override { messageTexts.push_back(text); }

    std::wstring paneText1 = L"<unset>";
    std::wstring paneText2 = L"<unset>";
    int paneValue = -1;
    std::vector<std::wstring> messageTexts;
};

class HeadlessListView : public ListViewPort {
public:
    void ShowAnimation() override;
    void HideAnimation() override;
    void SuspendSelectionHandling(bool suspend) override;

    bool animationShown = false;
    int animationShows = 0;
    int animationHides = 0;
    bool selectionSuspended = false;
    // Every suspend and resume, in order.
    std::vector<bool> suspendCalls;
};

class ScriptedMessageBox : public MessageBoxPort {
public:
    struct Asked {
        std::wstring text;
        uint32_t style;
    };

    // The answer to the next box; boxes nobody scripted answer kIdCancel.
    void Answer(int button) { m_answers.push_back(button); }
    int Show(const std::wstring& text, uint32_t style) override;

    std::vector<Asked> asked;

private:
    std::deque<int> m_answers;
};

// All three installed as the process-wide ports for the object's life.
class HeadlessShell {
public:
    HeadlessShell();
    ~HeadlessShell();
    HeadlessShell(const HeadlessShell&) = delete;
    HeadlessShell& operator=(const HeadlessShell&) = delete;

    HeadlessDocument& Document() { return *m_document; }
    HeadlessListView& ListView() { return *m_listView; }
    ScriptedMessageBox& MessageBox() { return *m_messageBox; }

private:
    std::shared_ptr<HeadlessDocument> m_document = std::make_shared<HeadlessDocument>();
    std::shared_ptr<HeadlessListView> m_listView = std::make_shared<HeadlessListView>();
    std::shared_ptr<ScriptedMessageBox> m_messageBox = std::make_shared<ScriptedMessageBox>();
    std::shared_ptr<DocumentPort> m_previousDocument;
    std::shared_ptr<ListViewPort> m_previousListView;
    std::shared_ptr<MessageBoxPort> m_previousMessageBox;
};

} // namespace platform
