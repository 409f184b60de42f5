#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/toplevel.h>

#include "platform/ResourceLibrary.h"
#include "shellcore/RememberedAnswers.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "dialogs/CCheckMessageBox.h"
#include "dialogs/WxNodeDialogs.h"
#include "model/ports/ResourceText.h"

namespace {

class CheckMessageBoxTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
    }

    // While the box runs: tick the check box when asked, take a picture,
    // then click the button with the control id.
    void AnswerNextBox(int buttonId, bool tick, const char* screenshot)
    {
        wxTheApp->CallAfter([=] {
            auto* check = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowById(kIdcCheck));
            auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowById(buttonId));
            ASSERT_TRUE(check && button);
            if (tick) check->SetValue(true);
            if (screenshot) uitest::Screenshot(*wxGetTopLevelParent(button), screenshot);
            wxCommandEvent click(wxEVT_BUTTON, buttonId);
            click.SetEventObject(button);
            button->GetEventHandler()->ProcessEvent(click);
        });
    }
};

TEST_F(CheckMessageBoxTest, TickedAnswerIsRememberedAndReplayedWithoutTheBox)
{
    AnswerNextBox(kIdcSecond, true, "check-message-box");
    EXPECT_EQ(ShowCheckMessageBox(L"Do you want to copy the entry?\nIts children are copied too.", L"",
                                  kSetYesNo | 0x20, 2, nullptr),
              kIdNo);
    EXPECT_EQ(ReadRememberedAnswer(2), 2);
    // Replayed: no box comes up (nothing would answer it).
    EXPECT_EQ(ShowCheckMessageBox(L"Do you want to copy the entry?", L"", kSetYesNo | 0x20, 2, nullptr), kIdNo);

    // Without the tick nothing is remembered.
    AnswerNextBox(kIdcFirst, false, nullptr);
    EXPECT_EQ(ShowCheckMessageBox(L"Really?", L"Caption", kSetOkCancel, 4, nullptr), kIdOk);
    EXPECT_EQ(ReadRememberedAnswer(4), -1);
}

TEST_F(CheckMessageBoxTest, ARememberedButtonTheBoxLacksAsksAgain)
{
    RememberAnswer(7, 3);
    AnswerNextBox(kIdcFirst, false, nullptr);
    EXPECT_EQ(ShowCheckMessageBox(L"Delete the value?", L"", kSetYesNo, 7, nullptr), kIdYes);
    EXPECT_EQ(ShowCheckMessageBox(L"Delete the values?", L"", kSetYesNoCancel, 7, nullptr), kIdCancel);
}


// The copy job's question comes with a second text: it is part of the
// message, below the question; the title stays the program's name.
TEST_F(CheckMessageBoxTest, ANodesQuestionShowsItsDetailBelowTheTextUnderTheProgramsName)
{
    const std::wstring question = LoadResourceText(557);
    const std::wstring detail = LoadResourceText(577);
    ASSERT_FALSE(question.empty());
    ASSERT_FALSE(detail.empty());
    wxString title, message, checkText;
    wxTheApp->CallAfter([&] {
        auto* check = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowById(kIdcCheck));
        auto* text = wxWindow::FindWindowById(kIdcMessage);
        auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowById(kIdcSecond));
        ASSERT_TRUE(check && text && button);
        auto* box = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(button));
        ASSERT_TRUE(box);
        title = box->GetTitle();
        message = text->GetLabel();
        checkText = check->GetLabel();
        uitest::Screenshot(*box, "copy-go-on-question");
        wxCommandEvent click(wxEVT_BUTTON, kIdcSecond);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    });
    WxNodeDialogs dialogs;
    EXPECT_EQ(dialogs.ShowCheckMessageBox(question, detail, 557, kSetYesNo | 0x30), kIdNo);
    EXPECT_EQ(title, wxTheApp->GetAppDisplayName());
    EXPECT_NE(title, wxString(detail));
    EXPECT_EQ(message, wxString(question + L"\n\n" + detail));
    EXPECT_EQ(checkText, wxString(LoadResourceText(333)));

    // Without a detail the message is the text alone.
    AnswerNextBox(kIdcFirst, false, nullptr);
    EXPECT_EQ(dialogs.ShowCheckMessageBox(question, L"", 558, kSetYesNo | 0x30), kIdYes);
}

} // namespace
