#pragma once
// A main window over a server whose base entry has many children: the server
// (a test slapd), an anonymous profile for it, and the program's window.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "jobs/CLDAPThread.h"
#include "model/profiles/CServerProfile.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ProgramSession.h"
#include "tests/ui/FrameTestSupport.h"
#include "ui/CArbTreeView.h"

class ChildrenWindowTest : public testsupport::TempHomeTest {
protected:
    // Starts the server with count children, stores the profile and opens the window.
    void OpenChildrenWindow(const wchar_t* profileName, size_t count)
    {
        frametest::Prepare();
        m_server = testsupport::SlapdServer::Bench(testsupport::ChildrenLdif(count));
        CServerProfile profile;
        profile.SetProfileName(profileName);
        profile.SetHostName(L"127.0.0.1");
        profile.SetPort(m_server->Port());
        profile.SetBaseDN(arbldap::LDAPDN(testsupport::kChildrenBase));
        profile.SetAnonymousBind(1);
        profile.GetOptions().SetSizeLimit(0);
        ASSERT_TRUE(profile.SaveProfile());
        m_session = std::make_unique<uitest::ProgramSession>();
        ASSERT_NE(m_session->OpenFrame(), nullptr);
        m_tree = CArbTreeView::Get();
        ASSERT_NE(m_tree, nullptr);
    }

    void TearDown() override
    {
        frametest::PumpUntil([] { return GetRunningThreadCount() == 0; }, std::chrono::seconds(60));
        m_session.reset();
        m_server.reset();
        TempHomeTest::TearDown();
    }

    std::unique_ptr<testsupport::SlapdServer> m_server;
    std::unique_ptr<uitest::ProgramSession> m_session;
    CArbTreeView* m_tree = nullptr;
};
