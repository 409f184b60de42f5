// The HTML control: it takes a static control's place, shows the text it is
// given, hands "app:" links to OnAppCommand and other web and mail links to
// the desktop, and never loads anything itself.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/html/htmlcell.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/gui/UiTestSupport.h"
#include "widgets/CHtmlCtrl.h"

namespace {

constexpr int kPlaceholder = 1328;

class RecordingHtmlCtrl : public CHtmlCtrl {
public:
    std::vector<wxString> commands;
    void OnAppCommand(const wxString& command) override { commands.push_back(command); }
};

class HtmlCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dialog = new wxDialog(nullptr, wxID_ANY, "html");
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(new wxStaticText(m_dialog, kPlaceholder, "placeholder", wxDefaultPosition, wxSize(360, 160)), 1,
                    wxALL | wxEXPAND, 8);
        m_dialog->SetSizerAndFit(column);
        m_ctrl = new RecordingHtmlCtrl;
        ASSERT_TRUE(m_ctrl->CreateFromStatic(kPlaceholder, m_dialog));
        m_dialog->Layout();
        m_dialog->Show();
        m_launcher = std::make_shared<testsupport::RecordingDesktopLauncher>();
        m_previous = platform::SetDesktopLauncher(m_launcher);
    }
    void TearDown() override
    {
        platform::SetDesktopLauncher(m_previous);
        m_dialog->Destroy();
        uitest::RunFor(20);
    }

    // A left click on the first link cell whose target is href, as the mouse
    // gives it.
    bool ClickLink(const wxString& href)
    {
        wxHtmlContainerCell* root = m_ctrl->GetInternalRepresentation();
        const wxSize size = m_ctrl->GetClientSize();
        for (int y = 0; y < size.y; y += 2)
            for (int x = 0; x < size.x; x += 2) {
                wxHtmlCell* cell = root ? root->FindCellByPos(x, y) : nullptr;
                wxHtmlLinkInfo* link = cell ? cell->GetLink(x, y) : nullptr;
                if (!link || link->GetHref() != href) continue;
                for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
                    wxMouseEvent mouse(type);
                    mouse.SetPosition(wxPoint(x, y));
                    mouse.SetEventObject(m_ctrl);
                    m_ctrl->ProcessWindowEvent(mouse);
                }
                uitest::RunFor(50);
                return true;
            }
        return false;
    }

    wxDialog* m_dialog = nullptr;
    RecordingHtmlCtrl* m_ctrl = nullptr;
    std::shared_ptr<testsupport::RecordingDesktopLauncher> m_launcher;
    std::shared_ptr<platform::DesktopLauncher> m_previous;
};

TEST_F(HtmlCtrlTest, TakesThePlaceholdersPlaceAndId)
{
    EXPECT_EQ(m_dialog->FindWindow(kPlaceholder), m_ctrl);
    EXPECT_GE(m_ctrl->GetSize().GetWidth(), 360);
    EXPECT_GE(m_ctrl->GetSize().GetHeight(), 160);
    for (wxWindow* child : m_dialog->GetChildren()) EXPECT_EQ(dynamic_cast<wxStaticText*>(child), nullptr);
    // No border, never scroll bars.
    EXPECT_TRUE(m_ctrl->HasFlag(wxBORDER_NONE));
    EXPECT_TRUE(m_ctrl->HasFlag(wxHW_SCROLLBAR_NEVER));
    // No such static control: nothing made.
    RecordingHtmlCtrl other;
    EXPECT_FALSE(other.CreateFromStatic(4711, m_dialog));
    EXPECT_FALSE(other.SetHtmlText("<p>x</p>"));
}

TEST_F(HtmlCtrlTest, AppLinksInAnyCaseCallTheCommandAndThePageStays)
{
    ASSERT_TRUE(m_ctrl->SetHtmlText(
        "<p>Start <a href=\"APP:cmd\">upper</a> and <a href=\"app:other arg\">lower</a> <a href=\"aPp:\">mixed</a></p>"));
    uitest::RunFor(50);
    const wxString before = m_ctrl->ToText();
    ASSERT_TRUE(ClickLink("APP:cmd"));
    ASSERT_TRUE(ClickLink("app:other arg"));
    ASSERT_TRUE(ClickLink("aPp:"));
    EXPECT_EQ(m_ctrl->commands, (std::vector<wxString>{"cmd", "other arg", ""}));
    EXPECT_EQ(m_ctrl->ToText(), before);
    EXPECT_TRUE(m_ctrl->GetOpenedPage().empty());
    EXPECT_TRUE(m_launcher->Get().empty());
    uitest::Screenshot(*m_dialog, "html-control", "widgets");
}

TEST_F(HtmlCtrlTest, WebAndMailLinksGoToTheDesktopOthersNowhere)
{
    ASSERT_TRUE(m_ctrl->SetHtmlText("<p><a href=\"http://www.vellumar.example/notes\">notes</a> "
                                    "<a href=\"HTTPS://www.vellumar.example/\">secure</a> "
                                    "<a href=\"mailto:support@vellumar.example\">mail</a> "
                                    "<a href=\"file:///etc/passwd\">file</a> "
                                    "<a href=\"ldap://host/\">ldap</a> "
                                    "<a href=\"local.html\">relative</a></p>"));
    uitest::RunFor(50);
    const wxString before = m_ctrl->ToText();
    for (const char* href : {"http://www.vellumar.example/notes", "HTTPS://www.vellumar.example/",
                             "mailto:support@vellumar.example", "file:///etc/passwd", "ldap://host/", "local.html"})
        ASSERT_TRUE(ClickLink(href)) << href;
    std::vector<std::string> opened;
    for (const auto& item : m_launcher->Get()) opened.push_back(item.target);
    EXPECT_EQ(opened, (std::vector<std::string>{"http://www.vellumar.example/notes", "HTTPS://www.vellumar.example/",
                                                "mailto:support@vellumar.example"}));
    // Nothing was loaded in the control.
    EXPECT_EQ(m_ctrl->ToText(), before);
    EXPECT_TRUE(m_ctrl->GetOpenedPage().empty());
    EXPECT_TRUE(m_ctrl->commands.empty());
}

TEST_F(HtmlCtrlTest, NoContextMenuAndNothingFetched)
{
    int parentMenus = 0;
    m_dialog->Bind(wxEVT_CONTEXT_MENU, [&](wxContextMenuEvent&) { ++parentMenus; });
    ASSERT_TRUE(m_ctrl->SetHtmlText("<p>text <img src=\"http://127.0.0.1:9/x.png\"> "
                                    "<img src=\"file:///usr/share/pixmaps/debian-logo.png\"></p>"));
    wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, m_ctrl->GetId(), wxPoint(10, 10));
    menu.SetEventObject(m_ctrl);
    m_ctrl->ProcessWindowEvent(menu);
    EXPECT_EQ(parentMenus, 0);
    EXPECT_EQ(m_ctrl->OnOpeningURL(wxHTML_URL_IMAGE, "file:///usr/share/pixmaps/debian-logo.png", nullptr),
              wxHTML_BLOCK);
    EXPECT_EQ(m_ctrl->OnOpeningURL(wxHTML_URL_PAGE, "http://127.0.0.1:9/", nullptr), wxHTML_BLOCK);
}

} // namespace
