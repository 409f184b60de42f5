#pragma once
// Modal dialogs as a test meets them: every one that runs (the desktop's own
// boxes too, which are not among the toolkit's top-level windows), an
// action run once one of a kind is up, and the desktop window each is kept
// above.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/utils.h>

namespace uitest {

// The modal dialogs now running, innermost last.
class ModalDialogs : public wxModalDialogHook {
public:
    ModalDialogs() { Register(); }
    ~ModalDialogs() override { Unregister(); }
    int Enter(wxDialog* dialog) override
    {
        running.push_back(dialog);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override
    {
        running.erase(std::remove(running.begin(), running.end(), dialog), running.end());
    }
    std::vector<wxDialog*> running;
};

// The one watcher; made at the first call, so call it before a dialog runs.
ModalDialogs& Modals();

// Whether the window is on the screen: shown, or its desktop window mapped
// (the desktop's boxes are never shown through the toolkit).
bool IsUp(wxWindow& window);

// The desktop window the dialog is kept above (its transient parent), as a
// toolkit handle to compare with a window's GetHandle(); null when none.
void* OwnerHandle(wxWindow& dialog);

// Answers a desktop box (message or file box) as its button would:
// responses are the desktop's (OK -5, Cancel -6, Yes -8, No -9, Accept -3).
void RespondToDesktopBox(wxWindow& box, int response);

template <class T>
T* FindTopLevel()
{
    for (auto it = Modals().running.rbegin(); it != Modals().running.rend(); ++it)
        if (auto* found = dynamic_cast<T*>(*it))
            if (IsUp(*found)) return found;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<T*>(window))
            if (found->IsShown()) return found;
    return nullptr;
}

// Runs action once a window of type T is up (the caller's modal loop keeps
// the events going meanwhile). When none comes, whatever modal dialog runs
// is ended, so that the test fails instead of hanging.
template <class T>
void WhenShown(std::function<void(T&)> action,
               std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now() + std::chrono::seconds(30))
{
    Modals();
    wxTheApp->CallAfter([=] {
        T* window = FindTopLevel<T>();
        if (!window) {
            if (std::chrono::steady_clock::now() > end) {
                std::string seen;
                for (wxWindow* top : wxTopLevelWindows)
                    seen += std::string(typeid(*top).name()) + (top->IsShown() ? "(shown) " : " ");
                seen += "; running:";
                for (wxDialog* dialog : Modals().running)
                    seen += std::string(" ") + typeid(*dialog).name() + (IsUp(*dialog) ? "(up)" : "");
                ADD_FAILURE() << "the dialog did not come up; windows: " << seen;
                for (wxDialog* dialog : Modals().running) {
                    if (dialog->IsModal())
                        dialog->EndModal(wxID_CANCEL);
                    else if (IsUp(*dialog))
                        RespondToDesktopBox(*dialog, -6);
                }
                return;
            }
            wxMilliSleep(10);
            WhenShown<T>(action, end);
            return;
        }
        action(*window);
    });
}

// Acts on the next dialog of type T once its modal loop runs. Unlike
// WhenShown it polls nothing, so keys pressed meanwhile are not held up.
template <class T>
class OnNextDialog : public wxModalDialogHook {
public:
    explicit OnNextDialog(std::function<void(T&)> action) : m_action(std::move(action)) { Register(); }
    ~OnNextDialog() override { Unregister(); }
    bool Seen() const { return m_seen; }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (auto* wanted = dynamic_cast<T*>(dialog); wanted && !m_seen) {
            m_seen = true;
            wanted->CallAfter([this, wanted] { m_action(*wanted); });
        }
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}

private:
    std::function<void(T&)> m_action;
    bool m_seen = false;
};

} // namespace uitest
