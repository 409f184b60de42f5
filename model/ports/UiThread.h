#pragma once
// Running a piece of node work on the user-interface thread.

#include "platform/Dispatcher.h"

// Runs f there (inline when already there) and waits for it. False when the
// user interface has closed and f did not run.
template <class F>
bool RunOnUiThread(F&& f)
{
    try {
        platform::Send(f);
        return true;
    } catch (const platform::DispatcherClosed&) {
        return false;
    }
}
