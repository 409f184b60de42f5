#include "platform/StartProgram.h"

#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

bool StartProgram(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return false;
    std::vector<std::vector<char>> texts;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        texts.emplace_back(argument.begin(), argument.end());
        texts.back().push_back('\0');
    }
    for (std::vector<char>& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

} // namespace platform
