// Plug-ins in the whole window against the demonstration directory: a
// plug-in built outside the project and registered with the registration
// tool, and the sample plug-ins; the conflict settled at start-up in the
// mapping sheet after the message; then a person's values in the list as
// the chosen plug-ins render them.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <wx/msgdlg.h>
#include <wx/uiaction.h>

#include "model/plugins/CPluginManager.h"
#include "dialogs/CPluginLookupPage.h"
#include "dialogs/CPluginOptionsSheet.h"
#include "tests/model/plugins/SamplePlugins.h"
#include "tests/support/DemoServer.h"
#include "tests/support/OutsidePlugin.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/ui/WindowTreeDriver.h"
#include "ui/CArbListView.h"
#include "ui/CArbStatusBar.h"
#include "widgets/CIconListBox.h"

namespace {

constexpr int kDesktopOk = -5;
const wchar_t* const kProfile = L"Demo with plug-ins";

class PluginWindowTest : public frametest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        frametest::Prepare();
        m_demo = std::make_unique<testsupport::DemoServer>();
        SaveBoundProfile(kProfile, m_demo->Port(), testsupport::DemoServer::Suffix(),
                         testsupport::DemoServer::AdminDN(), testsupport::DemoServer::AdminPassword().c_str());
        for (const wchar_t* progId : {L"Arb.PhotoA", L"Arb.PhotoB", L"Arb.Time", L"Arb.Failing"})
            ASSERT_TRUE(plugintest::RegisterSample(progId));
        std::string log;
        std::string library = testsupport::BuildOutsidePlugin(m_folder.Path(), log);
        ASSERT_FALSE(library.empty()) << log;
        std::string command = std::string(ARB_PLUGINS_TOOL) + " register Outside.Shouting Shouting '" + library + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ASSERT_NO_FATAL_FAILURE(OpenWindow());
    }
    void TearDown() override
    {
        CloseWindow();
        SetPluginManager(nullptr);
        m_plugins.reset();
        m_demo.reset();
        TempHomeTest::TearDown();
    }

    std::vector<std::wstring> ListColumn(int column)
    {
        std::vector<std::wstring> texts;
        for (long row = 0; row < m_list->GetItemCount(); ++row)
            texts.push_back(m_list->GetItemText(row, column).ToStdWstring());
        return texts;
    }

    testsupport::TempFolder m_folder;
    std::unique_ptr<testsupport::DemoServer> m_demo;
    std::unique_ptr<CPluginManager> m_plugins;
};

TEST_F(PluginWindowTest, TheChosenPluginsRenderAPersonsValues)
{
    // Start-up: the message, then the sheet with the names page; Photo B chosen.
    std::wstring message;
    uitest::WhenShown<wxMessageDialog>([&](wxMessageDialog& box) {
        message = box.GetMessage().ToStdWstring();
        uitest::RespondToDesktopBox(box, kDesktopOk);
    });
    bool chose = false;
    uitest::OnNextDialog<CPluginOptionsSheet> sheet([&](CPluginOptionsSheet& dialog) {
        ASSERT_EQ(dialog.GetPageCount(), 1);
        CIconListBox& choices = *dialog.GetLookupPage(0)->GetChoiceList();
        ASSERT_EQ(choices.GetCount(), 3);
        wxRect rect = choices.GetItemRect(2);
        wxUIActionSimulator mouse;
        mouse.MouseMove(choices.ClientToScreen(wxPoint(rect.x + 40, rect.y + rect.height / 2)));
        uitest::RunFor(30);
        mouse.MouseClick();
        uitest::RunUntil([&] { return choices.GetSelection() == 2; }, 3000);
        chose = choices.GetSelection() == 2;
        dialog.EndModal(wxID_OK);
    });
    m_plugins = std::make_unique<CPluginManager>();
    SetPluginManager(m_plugins.get());
    EXPECT_EQ(message, L"There are some new plugins that are conflict between each other. Please tune it manually.");
    ASSERT_TRUE(sheet.Seen());
    ASSERT_TRUE(chose);
    ASSERT_EQ(m_plugins->GetPlugins().size(), 5u);

    const platform::TreeItem server = m_driver->ServerItem(kProfile);
    ASSERT_TRUE(server);
    m_driver->Click(server);
    m_driver->Settle([&] { return m_driver->NodeOf(server)->IsChildrenLoaded() && bool(m_driver->Child(server, L"ou=people")); });
    // The schema gives the time attributes their syntax: wait for it before the entry is read.
    CArbStatusBar* status = m_frame->GetArbStatusBar();
    ASSERT_TRUE(frametest::PumpUntil([&] { return status->GetStatusText(CArbStatusBar::kSchema) == "Schema loaded"; },
                                     std::chrono::seconds(20)));
    const platform::TreeItem people = m_driver->Child(server, L"ou=people");
    m_driver->Click(people);
    m_driver->Settle([&] { return m_driver->NodeOf(people)->IsChildrenLoaded() && bool(m_driver->Child(people, L"uid=donald")); });
    const platform::TreeItem donald = m_driver->Child(people, L"uid=donald");
    ASSERT_TRUE(donald);
    m_driver->Click(donald);
    m_driver->Settle([&] { return m_driver->NodeOf(donald)->IsChildrenLoaded() && m_list->GetItemCount() > 0; });

    const std::vector<std::wstring> names = ListColumn(CArbListView::kNameColumn);
    const std::vector<std::wstring> values = ListColumn(CArbListView::kValueColumn);
    auto valueOf = [&](const std::wstring& name) {
        auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? std::wstring(L"(missing)") : values[it - names.begin()];
    };
    EXPECT_EQ(valueOf(L"jpegPhoto"), L"Photo B: 22 bytes");
    EXPECT_EQ(valueOf(L"sn"), L"SN: KNUTH");
    std::wstring modified = valueOf(L"modifyTimestamp");
    // "20240102030405Z" is shown as "2024-01-02 03:04:05 UTC".
    ASSERT_EQ(modified.size(), 23u) << modified;
    EXPECT_EQ(modified.substr(4, 1), L"-");
    EXPECT_EQ(modified.substr(10, 1), L" ");
    EXPECT_EQ(modified.substr(19), L" UTC");
    // A plug-in that fails, or answers with nothing, leaves the standard text.
    EXPECT_EQ(valueOf(L"title"), L"Professor Emeritus");
    EXPECT_EQ(valueOf(L"cn"), L"Donald Knuth");
    frametest::ScreenCapture(m_frame, "plugin-values");
}

} // namespace
