#include "tests/support/gui/XClipboard.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "tests/support/gui/UiTestSupport.h"

extern char** environ;

namespace uitest {

namespace {

// Takes what the pipe holds now; false once it is closed.
bool Drain(int fd, std::string& into)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0)
            return false;
        return errno == EAGAIN || errno == EINTR;
    }
}

} // namespace

XClipboardRead ReadXClipboard(const std::string& target, int timeoutMs)
{
    XClipboardRead read;
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return read;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = "xclip";
    std::string selection = "clipboard";
    std::string targetArg = target;
    std::string o = "-o", s = "-selection", t = "-t";
    char* argv[] = {program.data(), o.data(), s.data(), selection.data(), t.data(), targetArg.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, "xclip", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return read;
    }
    ::fcntl(out[0], F_SETFL, ::fcntl(out[0], F_GETFL) | O_NONBLOCK);

    // The loop runs while xclip waits: this process owns the selection and
    // answers it from there.
    bool open = true;
    int status = 0;
    bool ended = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ended) {
        if (open)
            open = Drain(out[0], read.bytes);
        ended = ::waitpid(pid, &status, WNOHANG) == pid;
        if (ended)
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            read.timedOut = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        RunFor(5);
    }
    // What it wrote before it ended.
    if (open)
        Drain(out[0], read.bytes);
    ::close(out[0]);
    if (!read.timedOut && WIFEXITED(status))
        read.exitCode = WEXITSTATUS(status);
    return read;
}

} // namespace uitest
