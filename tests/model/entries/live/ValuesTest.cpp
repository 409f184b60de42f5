// An entry's values as attribute nodes, and opening the special ones through
// temporary files and the desktop.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <unistd.h>

#include "model/entries/CBinAttrObject.h"
#include "model/entries/CTextAttrObject.h"
#include "model/ports/ResourceText.h"
#include "platform/TempFiles.h"

namespace {

using namespace modellive;

const char* const kErin = "cn=Erin Values,ou=values,o=lab";

class Values : public LiveModelTest {
protected:
    CEntryObject* OpenErin()
    {
        CServerObject* server = AddServer(MainProfile("ou=values,o=lab"));
        Open(*server);
        CEntryObject* erin = Child(*server, kErin);
        EXPECT_NE(erin, nullptr);
        if (erin)
            Open(*erin);
        return erin;
    }
};

TEST_F(Values, PhotoPasswordLinksAndMailAsTheyShow)
{
    CEntryObject* erin = OpenErin();
    ASSERT_NE(erin, nullptr);

    std::vector<CAttrObject*> photo = LiveModelTest::Values(*erin, "jpegPhoto");
    ASSERT_EQ(photo.size(), 1u);
    EXPECT_NE(dynamic_cast<CBinAttrObject*>(photo[0]), nullptr);
    EXPECT_EQ(photo[0]->GetValueText(), L"FF  D8  FF  E0  00  10  4A  46  49  46  00  01  00  FF  00  FF  ");
    EXPECT_EQ(photo[0]->GetSize(), 17u);
    EXPECT_EQ(photo[0]->GetTypeName(), modeltest::Text(344));

    std::vector<CAttrObject*> password = LiveModelTest::Values(*erin, "userPassword");
    ASSERT_EQ(password.size(), 1u);
    EXPECT_EQ(password[0]->GetValue(), "{SHA}ItvNMFPtjBMaa6UFiWT3tF4qy1Y=");
    EXPECT_EQ(password[0]->GetValueText(), L"********");
    EXPECT_EQ(password[0]->GetTypeName(), modeltest::Text(670) + L" [" + modeltest::Text(117) + L"]");
    // It opens in the password manager.
    EXPECT_TRUE(password[0]->CanOpenValue());

    // The list shows the masked value, never the stored one.
    bool sawPassword = false;
    for (const std::wstring& row : Rows()) {
        EXPECT_EQ(row.find(L"ItvNMFPtjBMaa6UFiWT3tF4qy1Y"), std::wstring::npos) << row;
        sawPassword = sawPassword || row.rfind(L"userPassword|********|", 0) == 0;
    }
    EXPECT_TRUE(sawPassword);

    std::vector<CAttrObject*> links = LiveModelTest::Values(*erin, "labeledURI");
    ASSERT_EQ(links.size(), 2u);
    std::vector<CAttrObject*> mail = LiveModelTest::Values(*erin, "mail");
    ASSERT_EQ(mail.size(), 1u);
    EXPECT_NE(dynamic_cast<CTextAttrObject*>(mail[0]), nullptr);
    EXPECT_EQ(mail[0]->GetOpenCommandText(), modeltest::Text(324));
}

TEST_F(Values, OpenedThroughTheDesktop)
{
    CEntryObject* erin = OpenErin();
    ASSERT_NE(erin, nullptr);
    const size_t filesBefore = platform::GetRegisteredTempFiles().size();

    CAttrObject* photo = LiveModelTest::Values(*erin, "jpegPhoto").at(0);
    photo->OpenValue();
    for (CAttrObject* link : LiveModelTest::Values(*erin, "labeledURI"))
        link->OpenValue();
    LiveModelTest::Values(*erin, "mail").at(0)->OpenValue();

    std::vector<testsupport::RecordingDesktopLauncher::Opened> opened = launcher.Launcher().Get();
    ASSERT_EQ(opened.size(), 3u) << "the file: link is not handed on";
    EXPECT_TRUE(opened[0].file);
    EXPECT_EQ(opened[0].bytes, photo->GetValue());
    EXPECT_EQ(opened[0].target.substr(opened[0].target.size() - 4), ".jpg");
    EXPECT_NE(opened[0].target.find("/_testmp"), std::string::npos);
    EXPECT_FALSE(opened[1].file);
    EXPECT_EQ(opened[1].target, "http://example.org/erin");
    EXPECT_EQ(opened[2].target, "mailto:erin@example.org");
    EXPECT_TRUE(log.Contains(L"file:///etc/passwd"));

    // The photo's file is removed at exit.
    std::vector<std::string> files = platform::GetRegisteredTempFiles();
    ASSERT_EQ(files.size(), filesBefore + 1);
    EXPECT_EQ(files.back(), opened[0].target);
    platform::DeleteRegisteredTempFiles();
    EXPECT_NE(access(opened[0].target.c_str(), F_OK), 0);
}

TEST_F(Values, AttributesOfTheEntryNodeStayItsOwn)
{
    CEntryObject* erin = OpenErin();
    ASSERT_NE(erin, nullptr);
    // Opening again (children loaded) rebuilds the list from the same nodes.
    std::vector<CAttrObject*> before = erin->GetAttributeNodes(false);
    erin->ShowContents(0);
    EXPECT_EQ(erin->GetAttributeNodes(false), before);
    EXPECT_EQ(ui.List().GetItemCount(), static_cast<int>(erin->GetAttributeCount()));
    EXPECT_NE(erin->GetCreateTimestampText(), L"N/A");
    EXPECT_EQ(erin->GetCreateTimestampText().size(), 19u);
    EXPECT_EQ(erin->GetCreatorsNameText(), L"cn=admin,o=lab");
}

} // namespace
