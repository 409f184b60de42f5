#include <gtest/gtest.h>

#include "shellcore/FilterBoxKeys.h"

namespace {

TEST(FilterBoxKeys, EachKeyWithAndWithoutTheListOpen)
{
    typedef FilterKeyAction A;
    struct Case {
        FilterKey key;
        bool ctrlOrAlt;
        A closed;  // the list closed
        A shown;   // the list open
    };
    const Case cases[] = {
        {FilterKey::Enter, false, A::Apply, A::Apply},
        {FilterKey::Enter, true, A::PassOn, A::PassOn},  // Ctrl+Enter completes, it does not apply
        {FilterKey::PageUp, false, A::Swallow, A::Apply},
        {FilterKey::PageDown, false, A::Swallow, A::Apply},
        {FilterKey::Home, false, A::PassOn, A::Apply},
        {FilterKey::End, false, A::PassOn, A::Apply},
        {FilterKey::Up, false, A::Swallow, A::Apply},
        {FilterKey::Down, false, A::Swallow, A::Apply},
        {FilterKey::Down, true, A::PassOn, A::PassOn},
        {FilterKey::Tab, false, A::NextControl, A::NextControl},
        {FilterKey::Escape, false, A::CloseList, A::CloseList},
        {FilterKey::Other, false, A::PassOn, A::PassOn},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        SCOPED_TRACE(c.ctrlOrAlt);
        EXPECT_EQ(FilterBoxKeyAction(c.key, c.ctrlOrAlt, false), c.closed);
        EXPECT_EQ(FilterBoxKeyAction(c.key, c.ctrlOrAlt, true), c.shown);
    }
}

} // namespace
