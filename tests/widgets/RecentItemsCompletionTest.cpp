#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/textctrl.h>

#include "shellcore/CRecentItemsList.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/RecentItemsCompletion.h"

namespace {

// The binding lets the list go whichever of the two ends first.
TEST(RecentItemsCompletion, BindsATextFieldAndSurvivesEitherEnd)
{
    auto previous = SetAutoCompletionFactory(ui::BindAutoCompletion);
    auto* frame = new wxFrame(nullptr, wxID_ANY, "completion");
    auto* field = new wxTextCtrl(frame, wxID_ANY);
    frame->Show();

    auto* list = new CRecentItemsList;  // one reference, ours
    list->AddString(L"(cn=alice)");
    EXPECT_TRUE(list->Bind(static_cast<wxWindow*>(field)));
    EXPECT_FALSE(list->Bind(static_cast<wxWindow*>(field)));
    EXPECT_EQ(list->AddRef(), 3u);  // ours, the completer's, this one
    list->Release();
    list->Unbind();
    EXPECT_EQ(list->AddRef(), 2u);  // the completer let go
    list->Release();

    // The field goes first: unbinding afterwards touches nothing.
    EXPECT_TRUE(list->Bind(static_cast<wxWindow*>(field)));
    frame->Destroy();
    uitest::RunFor(50);
    list->Unbind();
    EXPECT_EQ(list->Release(), 0u);

    CRecentItemsList other;
    EXPECT_FALSE(other.Bind(nullptr));
    SetAutoCompletionFactory(previous);
}

} // namespace
