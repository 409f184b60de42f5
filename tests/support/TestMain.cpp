// The main of every test program. Like the program, it ignores SIGPIPE before
// anything else: a test whose server drops a connection must see the request
// fail, not the whole test program end.

#include <gtest/gtest.h>

#include "platform/BrokenPipe.h"

int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
