#pragma once
// The clipboard as another X client reads it: xclip, run as a child while
// this process's event loop keeps running, so that the program can answer
// the request as the owner of the selection.

#include <string>

namespace uitest {

struct XClipboardRead {
    // xclip's exit code; -1 when it could not start or was stopped at the
    // time limit.
    int exitCode = -1;
    bool timedOut = false;
    std::string bytes;
};

// The CLIPBOARD selection in the target's form ("TARGETS" lists the
// targets offered, one a line).
XClipboardRead ReadXClipboard(const std::string& target, int timeoutMs = 10000);

} // namespace uitest
