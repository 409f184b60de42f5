#include "platform/BrokenPipe.h"

#include <csignal>

namespace platform {

void IgnoreBrokenPipe()
{
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

} // namespace platform
