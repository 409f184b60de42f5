#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/BrokenPipe.h"

namespace {

// A child with the default disposition writes to a pipe nobody reads: with
// IgnoreBrokenPipe the write fails with EPIPE and the child lives on.
TEST(BrokenPipe, AWriteToAClosedPipeFailsInsteadOfEndingTheProcess)
{
    for (bool ignore : {false, true}) {
        SCOPED_TRACE(ignore);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            signal(SIGPIPE, SIG_DFL);
            if (ignore) platform::IgnoreBrokenPipe();
            int fds[2];
            if (pipe(fds) != 0) _exit(2);
            close(fds[0]);
            ssize_t written = write(fds[1], "x", 1);
            _exit(written < 0 && errno == EPIPE ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        if (ignore) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
        }
    }
}

// Every test program starts as the program does.
TEST(BrokenPipe, TestProgramsIgnoreItFromTheStart)
{
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGPIPE, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_IGN);
}

}  // namespace
