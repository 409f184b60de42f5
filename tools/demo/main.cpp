// arbolite-demo PROGRAM [ARGUMENTS...]
//
// Starts the demonstration directory, writes its connection profile into the
// settings below ARBOLITE_HOME, runs PROGRAM with that home, and stops the
// directory again when PROGRAM ends. The exit code is PROGRAM's.
//
// The directory listens on port 38900 (ARBOLITE_DEMO_PORT, when set, names
// another), or on the next free one when that is taken; PROGRAM is then told
// so through ARBOLITE_START_NOTE, which Arbolite shows in its output window.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/StartNote.h"
#include "tools/DemoDirectory.h"

namespace {

volatile sig_atomic_t g_child = 0;

// Ending the demonstration ends the program first; the directory follows.
void ForwardSignal(int signal)
{
    if (g_child > 0) kill(g_child, signal);
}

int RunProgram(char** argv, const std::string& note)
{
    pid_t child = fork();
    if (child < 0) return 127;
    if (child == 0) {
        if (note.empty())
            unsetenv(platform::kStartNoteVariable);
        else
            setenv(platform::kStartNoteVariable, note.c_str(), 1);
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    g_child = child;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    g_child = 0;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    const char* home = std::getenv("ARBOLITE_HOME");
    if (!home || !*home) {
        std::fprintf(stderr, "%s: set ARBOLITE_HOME to the demonstration's settings folder\n", argv[0]);
        return 2;
    }
    struct sigaction forward {};
    forward.sa_handler = ForwardSignal;
    sigemptyset(&forward.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &forward, nullptr);

    int preferredPort = kDemoPort;
    if (const char* port = std::getenv("ARBOLITE_DEMO_PORT"); port && *port) {
        preferredPort = std::atoi(port);
        if (preferredPort < 1 || preferredPort > 65535) {
            std::fprintf(stderr, "%s: ARBOLITE_DEMO_PORT is not a port: %s\n", argv[0], port);
            return 2;
        }
    }
    try {
        DemoDirectory directory(preferredPort);
        if (!WriteDemoProfile(directory.Port())) {
            std::fprintf(stderr, "%s: cannot write the demonstration profile below %s\n", argv[0], home);
            return 1;
        }
        std::printf("Demonstration directory: ldap://127.0.0.1:%d/%s (settings in %s)\n", directory.Port(),
                    kDemoSuffix, home);
        const std::string note = directory.MovedPortNote();
        if (!note.empty())
            std::printf("%s\n", note.c_str());
        std::fflush(stdout);
        return RunProgram(argv + 1, note);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: the demonstration directory did not start: %s\n", argv[0], e.what());
        return 1;
    }
}
