#include "tests/support/SimultaneousStarts.h"

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace testsupport {

SimultaneousResult RunSimultaneously(int processes, const std::function<bool(char id)>& work)
{
    SimultaneousResult result;
    int go[2], acks[2];
    if (pipe(go) != 0 || pipe(acks) != 0) {
        result.allExitedCleanly = false;
        return result;
    }
    std::vector<pid_t> children;
    for (int i = 0; i < processes; ++i) {
        pid_t pid = fork();
        if (pid < 0) {
            result.allExitedCleanly = false;
            break;
        }
        if (pid == 0) {
            close(go[1]);
            close(acks[0]);
            char c;
            if (read(go[0], &c, 1) != 1) _exit(2);
            char id = static_cast<char>('a' + i);
            if (work(id) && write(acks[1], &id, 1) != 1) _exit(3);
            _exit(0);
        }
        children.push_back(pid);
    }
    close(go[0]);
    close(acks[1]);
    // One byte per child releases them all at once.
    std::string start(children.size(), 'g');
    if (write(go[1], start.data(), start.size()) != static_cast<ssize_t>(start.size()))
        result.allExitedCleanly = false;
    close(go[1]);
    for (pid_t pid : children) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            result.allExitedCleanly = false;
    }
    char id;
    while (read(acks[0], &id, 1) == 1) result.acknowledged.push_back(id);
    close(acks[0]);
    return result;
}

} // namespace testsupport
