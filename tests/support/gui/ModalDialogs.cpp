#include "tests/support/gui/ModalDialogs.h"

#include <dlfcn.h>

namespace uitest {

namespace {

// The desktop library's calls, found in the running program (the toolkit
// links it), so that the tests need not build against its headers.
template <class F>
F DesktopCall(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

} // namespace

ModalDialogs& Modals()
{
    static ModalDialogs modals;
    return modals;
}

bool IsUp(wxWindow& window)
{
    if (window.IsShown()) return true;
    auto mapped = DesktopCall<int (*)(void*)>("gtk_widget_get_mapped");
    return window.GetHandle() && mapped && mapped(window.GetHandle());
}

void* OwnerHandle(wxWindow& dialog)
{
    auto owner = DesktopCall<void* (*)(void*)>("gtk_window_get_transient_for");
    return dialog.GetHandle() && owner ? owner(dialog.GetHandle()) : nullptr;
}

void RespondToDesktopBox(wxWindow& box, int response)
{
    auto respond = DesktopCall<void (*)(void*, int)>("gtk_dialog_response");
    ASSERT_NE(respond, nullptr);
    respond(box.GetHandle(), response);
}

} // namespace uitest
