// The plug-in mapping sheet as the plug-in manager opens it at start-up
// with the sample plug-ins, driven with the mouse: the message, the names
// page alone, a choice kept by OK and dropped by Cancel, the
// show-unresolved-only box, and the information dialog.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/hyperlink.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "base/Utf8.h"
#include "dialogs/CPluginInfoDlg.h"
#include "dialogs/CPluginLookupPage.h"
#include "dialogs/CPluginOptionsSheet.h"
#include "model/plugins/CPluginManager.h"
#include "platform/RegistryKey.h"
#include "tests/dialogs/DialogsFixture.h"
#include "tests/model/plugins/SamplePlugins.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CIconListBox.h"

using namespace plugintest;

namespace {

std::vector<std::wstring> Rows(wxListBox& list)
{
    std::vector<std::wstring> rows;
    for (unsigned i = 0; i < list.GetCount(); ++i) rows.push_back(list.GetString(i).ToStdWstring());
    return rows;
}

std::vector<std::wstring> Rows(CIconListBox& list)
{
    std::vector<std::wstring> rows;
    for (int i = 0; i < list.GetCount(); ++i) rows.push_back(list.GetString(i).ToStdWstring());
    return rows;
}

std::vector<std::wstring> Rows(wxListCtrl& list)
{
    std::vector<std::wstring> rows;
    for (long i = 0; i < list.GetItemCount(); ++i) rows.push_back(list.GetItemText(i).ToStdWstring());
    return rows;
}

// A click in the middle of a row, as the mouse gives it.
void ClickRow(CIconListBox& list, int row)
{
    wxRect rect = list.GetItemRect(row);
    wxUIActionSimulator mouse;
    mouse.MouseMove(list.ClientToScreen(wxPoint(rect.x + 40, rect.y + rect.height / 2)));
    uitest::RunFor(30);
    mouse.MouseClick();
    uitest::RunUntil([&] { return list.GetSelection() == row; }, 3000);
    uitest::RunFor(50);
}

void ChooseKey(wxListBox& keys, int row)
{
    keys.SetSelection(row);
    wxCommandEvent selected(wxEVT_LISTBOX, keys.GetId());
    selected.SetEventObject(&keys);
    selected.SetInt(row);
    keys.GetEventHandler()->ProcessEvent(selected);
}

void Press(wxWindow& button)
{
    wxCommandEvent click(wxEVT_BUTTON, button.GetId());
    click.SetEventObject(&button);
    button.GetEventHandler()->ProcessEvent(click);
}

class PluginSheetTest : public dialogtest::DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        m_previousSheet = SetPluginSheetPort(std::make_shared<WxPluginSheetPort>());
        for (const wchar_t* progId : {L"Arb.PhotoA", L"Arb.PhotoB", L"Arb.Time"}) ASSERT_TRUE(RegisterSample(progId));
    }
    void TearDown() override
    {
        SetPluginSheetPort(m_previousSheet);
        DialogsFixture::TearDown();
    }
    std::wstring StoredName(const wchar_t* key)
    {
        platform::RegistryKey stored(platform::RegRoot::CurrentUser, true);
        std::wstring text;
        if (stored.Open(std::wstring(kPluginLookupTablesKey) + L"Names")) stored.Read(key, text);
        return text;
    }

    platform::HeadlessShell m_shell;  // its message box records the conflict message
    std::shared_ptr<PluginSheetPort> m_previousSheet;
};

TEST_F(PluginSheetTest, TheConflictAtStartUpIsSettledInTheSheetAndKept)
{
    bool checked = false;
    uitest::OnNextDialog<CPluginOptionsSheet> drive([&](CPluginOptionsSheet& sheet) {
        EXPECT_EQ(sheet.GetTitle(), "Plugin Manager");
        ASSERT_EQ(sheet.GetPageCount(), 1);
        EXPECT_EQ(sheet.GetBookCtrl()->GetPageText(0), "Name Mapping");
        CPluginLookupPage* page = sheet.GetLookupPage(0);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(uitest::LabelOf(*page, kIdcPluginKeysHeading), "Attributes Supported:");
        auto* unresolved = dynamic_cast<wxCheckBox*>(page->FindWindow(kIdcPluginUnresolvedOnly));
        ASSERT_NE(unresolved, nullptr);
        EXPECT_TRUE(unresolved->GetValue());
        // Only the unsettled key; "audio" has one plug-in.
        EXPECT_EQ(Rows(*page->GetKeyList()), std::vector<std::wstring>{L"jpegPhoto"});
        CIconListBox& choices = *page->GetChoiceList();
        EXPECT_EQ(Rows(choices), (std::vector<std::wstring>{L"NONE\nChoose this option to use standard manipulation.",
                                                            L"Photo A\nPhoto sizes, first kind",
                                                            L"Photo B\nPhoto sizes, second kind"}));
        EXPECT_EQ(choices.GetSelection(), 0);
        wxWindow* information = page->FindWindow(kIdcPluginInformation);
        EXPECT_FALSE(information->IsEnabled());
        ClickRow(choices, 1);
        EXPECT_TRUE(information->IsEnabled());
        EXPECT_EQ(choices.GetCurrentItem(), 1);
        uitest::Screenshot(sheet, "plugin-sheet");
        checked = true;
        sheet.EndModal(wxID_OK);
    });
    {
        CPluginManager manager;
        ASSERT_TRUE(drive.Seen());
        ASSERT_TRUE(checked);
        ASSERT_EQ(m_shell.MessageBox().asked.size(), 1u);
        EXPECT_EQ(m_shell.MessageBox().asked[0].text,
                  L"There are some new plugins that are conflict between each other. Please tune it manually.");
        EXPECT_EQ(manager.Lookup("jpegPhoto", "")->GetDisplayName(), L"Photo A");
    }
    EXPECT_EQ(StoredName(L"jpegPhoto"), kPhotoAClsid);
    // The next start has nothing to settle.
    uitest::OnNextDialog<CPluginOptionsSheet> none([](CPluginOptionsSheet& sheet) { sheet.EndModal(wxID_CANCEL); });
    CPluginManager again;
    EXPECT_FALSE(none.Seen());
    EXPECT_EQ(m_shell.MessageBox().asked.size(), 1u);
    EXPECT_EQ(again.Lookup("jpegPhoto", "")->GetDisplayName(), L"Photo A");
}

TEST_F(PluginSheetTest, CancelLeavesTheStoredChoice)
{
    uitest::OnNextDialog<CPluginOptionsSheet> drive([&](CPluginOptionsSheet& sheet) {
        ClickRow(*sheet.GetLookupPage(0)->GetChoiceList(), 2);
        sheet.EndModal(wxID_CANCEL);
    });
    CPluginManager manager;
    ASSERT_TRUE(drive.Seen());
    EXPECT_EQ(manager.Lookup("jpegPhoto", ""), nullptr);
    EXPECT_EQ(StoredName(L"jpegPhoto"), L"N/A");
}

TEST_F(PluginSheetTest, TheUnresolvedOnlyBoxAndTheInformationDialog)
{
    // Settled once, so the start is quiet; the full report shows every key of both kinds.
    {
        platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
        ASSERT_TRUE(key.CreateKey(std::wstring(kPluginLookupTablesKey) + L"Names"));
        ASSERT_TRUE(key.Write(L"jpegPhoto", std::wstring(kPhotoBClsid)));
        ASSERT_TRUE(key.Write(L"audio", std::wstring(L"N/A")));
    }
    CPluginManager manager;
    auto launcher = std::make_unique<testsupport::RecordingDesktopLauncherScope>();
    bool checked = false;
    uitest::OnNextDialog<CPluginOptionsSheet> drive([&](CPluginOptionsSheet& sheet) {
        ASSERT_EQ(sheet.GetPageCount(), 2);
        EXPECT_EQ(sheet.GetBookCtrl()->GetPageText(1), "OID Mapping");
        EXPECT_EQ(uitest::LabelOf(*sheet.GetLookupPage(1), kIdcPluginKeysHeading), "OIDs Supported:");
        CPluginLookupPage& page = *sheet.GetLookupPage(0);
        wxListBox& keys = *page.GetKeyList();
        auto* unresolved = dynamic_cast<wxCheckBox*>(page.FindWindow(kIdcPluginUnresolvedOnly));
        EXPECT_FALSE(unresolved->GetValue());
        EXPECT_EQ(Rows(keys), (std::vector<std::wstring>{L"audio", L"jpegPhoto"}));
        // "audio", stored as none: NONE is chosen.
        EXPECT_EQ(page.GetChoiceList()->GetSelection(), 0);
        ChooseKey(keys, 1);
        EXPECT_EQ(page.GetChoiceList()->GetSelection(), 2);  // Photo B, as stored

        auto toggle = [&](bool on) {
            unresolved->SetValue(on);
            wxCommandEvent toggled(wxEVT_CHECKBOX, unresolved->GetId());
            toggled.SetEventObject(unresolved);
            toggled.SetInt(on ? 1 : 0);
            unresolved->GetEventHandler()->ProcessEvent(toggled);
        };
        // A key stored as none has no choice: it is listed as unsettled.
        toggle(true);
        EXPECT_EQ(Rows(keys), std::vector<std::wstring>{L"audio"});
        EXPECT_EQ(page.GetChoiceList()->GetSelection(), 0);
        ClickRow(*page.GetChoiceList(), 1);
        EXPECT_EQ(manager.Chosen(PluginKind::Names).at("audio")->GetDisplayName(), L"Photo\nB");
        // Every key is settled now: with the box on, nothing is listed.
        toggle(true);
        EXPECT_TRUE(Rows(keys).empty());
        EXPECT_EQ(page.GetChoiceList()->GetCount(), 0);
        toggle(false);
        EXPECT_EQ(Rows(keys), (std::vector<std::wstring>{L"audio", L"jpegPhoto"}));
        EXPECT_EQ(page.GetChoiceList()->GetSelection(), 1);

        uitest::OnNextDialog<CPluginInfoDlg> info([&](CPluginInfoDlg& dialog) {
            EXPECT_EQ(dialog.GetTitle(), "Plugin Information [Photo\nB]");
            EXPECT_EQ(uitest::LabelOf(dialog, kIdcPluginDescription), "Photo sizes, second kind");
            EXPECT_EQ(uitest::LabelOf(dialog, kIdcPluginText2), "Counts the bytes too");
            EXPECT_EQ(uitest::LabelOf(dialog, kIdcPluginMail), "photo-b@example.org");
            EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(kIdcPluginExtension))->GetLabelText(), "No");
            EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(kIdcPluginConverter))->GetLabelText(), "Yes");
            EXPECT_EQ(Rows(*dynamic_cast<wxListCtrl*>(dialog.FindWindow(kIdcPluginNames))),
                      (std::vector<std::wstring>{L"jpegPhoto", L"audio"}));
            EXPECT_TRUE(Rows(*dynamic_cast<wxListCtrl*>(dialog.FindWindow(kIdcPluginOids))).empty());
            ASSERT_NE(dialog.GetMailLink(), nullptr);
            EXPECT_EQ(dialog.GetMailLink()->GetURL(), "mailto:photo-b@example.org");
            wxHyperlinkEvent click(dialog.GetMailLink(), dialog.GetMailLink()->GetId(), dialog.GetMailLink()->GetURL());
            dialog.GetMailLink()->GetEventHandler()->ProcessEvent(click);
            uitest::Screenshot(dialog, "plugin-info");
            dialog.EndModal(wxID_OK);
        });
        Press(*page.FindWindow(kIdcPluginInformation));
        EXPECT_TRUE(info.Seen());
        checked = true;
        sheet.EndModal(wxID_OK);
    });
    manager.ReportConflicts(ConflictReport::All);
    ASSERT_TRUE(drive.Seen());
    EXPECT_TRUE(checked);
    EXPECT_TRUE(m_shell.MessageBox().asked.empty());
    EXPECT_EQ(StoredName(L"audio"), kPhotoBClsid);
    std::vector<testsupport::RecordingDesktopLauncher::Opened> opened = launcher->Launcher().Get();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].target, "mailto:photo-b@example.org");
}

TEST_F(PluginSheetTest, TheInformationDialogOfAPluginWithoutMailOrConverter)
{
    ASSERT_TRUE(RegisterSample(L"Arb.Ext"));
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.CreateKey(std::wstring(kPluginLookupTablesKey) + L"Names"));
    ASSERT_TRUE(key.Write(L"jpegPhoto", std::wstring(L"N/A")));
    CPluginManager manager;
    for (const auto& plugin : manager.GetPlugins()) {
        SCOPED_TRACE(WideToUtf8Text(plugin->GetDisplayName()));
        CPluginInfoDlg dialog(*plugin, nullptr);
        if (plugin->GetDisplayName() == L"Readable time") {
            EXPECT_EQ(dialog.GetMailLink()->GetURL(), "mailto:");
            EXPECT_EQ(Rows(*dynamic_cast<wxListCtrl*>(dialog.FindWindow(kIdcPluginOids))),
                      std::vector<std::wstring>{L"1.3.6.1.4.1.1466.115.121.1.24"});
        }
        if (plugin->GetDisplayName() == L"Extension") {
            EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(kIdcPluginExtension))->GetLabelText(), "Yes");
            EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(kIdcPluginConverter))->GetLabelText(), "No");
        }
    }
}

} // namespace
