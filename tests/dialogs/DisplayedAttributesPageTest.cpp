#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "dialogs/CAdvancedPropertySheet.h"
#include "dialogs/CControlsPropertyPage.h"
#include "dialogs/CDisplayedAttributesPage.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/ResourceText.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ManualDispatcher.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/UiResources.h"

using Page = CDisplayedAttributesPage;

namespace {

// What the sheet's modal run does first: lay out and bring up the first page.
void OpenSheet(CAdvancedPropertySheet& sheet)
{
    sheet.LayoutDialog();
    sheet.GetServerControlsPage()->OnSetActive();
}

std::vector<std::string> Names(const StringList& list) { return std::vector<std::string>(list.begin(), list.end()); }

std::vector<std::string> Rows(wxListCtrl* list)
{
    std::vector<std::string> rows;
    for (long i = 0; i < list->GetItemCount(); ++i) rows.push_back(list->GetItemText(i).utf8_string());
    return rows;
}

bool IsOn(wxWindow* page, int id)
{
    if (auto* radio = dynamic_cast<wxRadioButton*>(page->FindWindow(id))) return radio->GetValue();
    return dynamic_cast<wxCheckBox*>(page->FindWindow(id))->GetValue();
}

class SheetPagesTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        // The server-controls page asks a server without controls for its
        // own: here nobody answers.
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(testsupport::FreePort());
    }

    // The sheet on the profile, its displayed-attributes page current.
    Page* OpenAttributesPage(CAdvancedPropertySheet& sheet)
    {
        OpenSheet(sheet);
        EXPECT_TRUE(sheet.SelectPage(sheet.GetPageCount() - 1));
        return sheet.GetDisplayedAttributesPage();
    }

    CServerProfile profile;
    std::shared_ptr<platform::ManualDispatcher> dispatcher = std::make_shared<platform::ManualDispatcher>();
    platform::DispatcherScope scope{dispatcher};
    platform::HeadlessShell shell;
};

} // namespace

TEST_F(SheetPagesTest, ListedAttributesAndOperationalChoicesReachTheProfileOnApply)
{
    StringList shown;
    shown.Add("cn");
    shown.Add("mail");
    profile.SetAttributes(shown);
    profile.SetShowOperationalAttributes(1);
    StringList extra;
    extra.Add("entryUUID");
    profile.SetExtraOperationalAttributes(extra);

    CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
    Page* page = OpenAttributesPage(sheet);
    ASSERT_TRUE(page->WasShown());
    EXPECT_TRUE(IsOn(page, Page::kIdcListedAttributes));
    EXPECT_EQ(Rows(page->GetAttributeList()), (std::vector<std::string>{"cn", "mail"}));
    EXPECT_TRUE(IsOn(page, Page::kIdcShowOperational));
    EXPECT_TRUE(IsOn(page, Page::kIdcExtraOperational));
    EXPECT_EQ(Rows(page->GetExtraList()), (std::vector<std::string>{"entryUUID"}));
    sheet.Show();
    uitest::RunFor(100);
    uitest::Screenshot(sheet, "displayed-attributes-page");

    // Rows blank after trimming are not stored; the others are trimmed.
    page->GetAttributeList()->InsertItem(2, "  sn ");
    page->GetAttributeList()->InsertItem(3, "   ");
    // All attributes: the rows are kept aside, and come back with listed mode.
    page->SetAttributeMode(0);
    EXPECT_EQ(page->GetAttributeList()->GetItemCount(), 0);
    EXPECT_FALSE(page->GetAttributeList()->IsEnabled());
    page->SetAttributeMode(1);
    EXPECT_EQ(Rows(page->GetAttributeList()), (std::vector<std::string>{"cn", "mail", "  sn ", "   "}));
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_EQ(Names(profile.GetAttributes()), (std::vector<std::string>{"cn", "mail", "sn"}));
    EXPECT_EQ(Names(profile.GetExtraOperationalAttributes()), (std::vector<std::string>{"entryUUID"}));

    // Hiding operational attributes turns the extra list off and stores none.
    page->SetOperationalMode(0);
    EXPECT_FALSE(IsOn(page, Page::kIdcExtraOperational));
    EXPECT_FALSE(page->FindWindow(Page::kIdcExtraOperational)->IsEnabled());
    EXPECT_FALSE(page->GetExtraList()->IsEnabled());
    page->SetAttributeMode(0);
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_TRUE(profile.GetAttributes().IsEmpty());
    EXPECT_TRUE(profile.GetExtraOperationalAttributes().IsEmpty());
    EXPECT_EQ(profile.GetShowOperationalAttributes(), 0);

    // Shown again with the box on, the kept extra rows are back.
    page->SetOperationalMode(1);
    page->SetExtraOperational(true);
    EXPECT_EQ(Rows(page->GetExtraList()), (std::vector<std::string>{"entryUUID"}));
    sheet.Hide();
}

TEST_F(SheetPagesTest, ListedModeStartsWithObjectClassAndPlaceholderRowsGo)
{
    CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
    Page* page = OpenAttributesPage(sheet);
    EXPECT_TRUE(IsOn(page, Page::kIdcAllAttributes));
    page->SetAttributeMode(1);
    EXPECT_EQ(Rows(page->GetAttributeList()), (std::vector<std::string>{"objectClass"}));

    // A new row left with the placeholder text disappears when editing ends.
    page->GetAttributeList()->InsertItem(1, page->GetPlaceholder());
    EXPECT_FALSE(page->EndLabelEdit(false, 1, wxString(page->GetPlaceholder())));
    uitest::RunUntil([&] { return page->GetAttributeList()->GetItemCount() == 1; }, 5000);
    EXPECT_EQ(Rows(page->GetAttributeList()), (std::vector<std::string>{"objectClass"}));
    EXPECT_TRUE(page->EndLabelEdit(false, 0, "cn"));

    // Removing the last row goes back to all attributes.
    page->GetAttributeList()->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    page->OnRemove(false);
    EXPECT_TRUE(IsOn(page, Page::kIdcAllAttributes));
    ASSERT_TRUE(sheet.ApplyPages());
    EXPECT_TRUE(profile.GetAttributes().IsEmpty());
}

TEST_F(SheetPagesTest, FailedControlsFetchIsLoggedAndGivesTheButtonsBack)
{
    testsupport::LogCapture log;
    CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
    OpenSheet(sheet);
    CControlsPropertyPage* page = sheet.GetServerControlsPage();
    EXPECT_FALSE(page->FindWindow(CControlsPropertyPage::kIdcAdd)->IsEnabled());
    ASSERT_TRUE(dispatcher->PumpUntil([&] { return !page->IsFetching(); }, 60000));
    EXPECT_TRUE(page->FindWindow(CControlsPropertyPage::kIdcAdd)->IsEnabled());
    EXPECT_EQ(page->GetList()->GetItemCount(), 0);
    const std::wstring start = LoadResourceText(293).substr(0, 20);
    EXPECT_EQ(log.CountContaining(start), 1);
    EXPECT_TRUE(shell.MessageBox().asked.empty());  // no message box
}

TEST_F(SheetPagesTest, AnEditEndedWithEscapeKeepsTheTypedName)
{
    CAdvancedPropertySheet sheet(ui::ResourceString(490), nullptr, &profile);
    Page* page = OpenAttributesPage(sheet);
    page->SetAttributeMode(1);
    sheet.Show();
    uitest::RunFor(50);
    wxListCtrl* list = page->GetAttributeList();
    page->OnAdd(false);
    wxTextCtrl* edit = list->GetEditControl();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetValue(), wxString(page->GetPlaceholder()));
    edit->SetValue("sn");
    wxKeyEvent escape(wxEVT_CHAR);
    escape.m_keyCode = WXK_ESCAPE;
    edit->GetEventHandler()->ProcessEvent(escape);
    uitest::RunUntil([&] { return list->GetEditControl() == nullptr && list->GetItemText(1) == "sn"; }, 5000);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"objectClass", "sn"}));

    // Escape over the untouched placeholder: the row goes.
    page->OnAdd(false);
    edit = list->GetEditControl();
    ASSERT_NE(edit, nullptr);
    edit->GetEventHandler()->ProcessEvent(escape);
    uitest::RunUntil([&] { return list->GetItemCount() == 2; }, 5000);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"objectClass", "sn"}));
    sheet.Hide();
}
