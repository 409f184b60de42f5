#pragma once
// The dialog tests' fixture: fresh settings, the resource library, the
// watcher of modal dialogs, and toolkit assertions as failed tests.

#include <gtest/gtest.h>

#include <wx/debug.h>
#include <wx/string.h>

#include "platform/ResourceLibrary.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"

namespace dialogtest {

// A toolkit assertion fails the test instead of waiting in a message box.
inline void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                         const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "toolkit assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " " << msg.utf8_string();
}

class DialogsFixture : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        wxSetAssertHandler(FailOnAssert);
        TempHomeTest::SetUp();
        uitest::Modals();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
    }
};

} // namespace dialogtest
