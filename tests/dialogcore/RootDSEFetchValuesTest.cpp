// What the root-DSE reader offers as a naming context.

#include <gtest/gtest.h>

#include <string>

#include "dialogcore/CRootDSEFetchThread.h"

namespace {

TEST(RootDSEFetchValues, BlankNamingContextsAreNotOffered)
{
    struct Case {
        std::string value;
        bool blank;
    };
    const Case cases[] = {
        {"", true},
        {"   ", true},
        {std::string(" \0 ", 3), true},
        {"\t ", true},
        {"o=lab", false},
        {" o=lab ", false},
        {std::string("\0x", 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(CRootDSEFetchThread::IsBlankValue(c.value), c.blank);
    }
}

} // namespace
