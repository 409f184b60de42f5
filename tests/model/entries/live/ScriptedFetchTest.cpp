// Child fetches against a server that answers as the test tells it (the main
// test server hands searches below ou=scripted,o=lab to the test).

#include "tests/model/entries/live/LiveModelSupport.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "model/entries/CChildrenFetchThread.h"
#include "model/nodes/CErrorObject.h"
#include "model/nodes/CInformationObject.h"
#include "tests/support/ScriptedBackend.h"

namespace {

using namespace modellive;
using testsupport::ScriptedBackend;
using testsupport::ScriptedEntry;
using testsupport::ScriptedResult;

const char* const kBase = "ou=scripted,o=lab";

// The base entry itself, for the reads of its attributes.
std::string BaseEntry(const ScriptedBackend::Request& request)
{
    return ScriptedEntry(request.at("base"), {"objectClass: organizationalUnit", "ou: scripted"}) +
           ScriptedResult(0);
}

class ScriptedFetch : public LiveModelTest {
protected:
    // Bound as the administrator, whom slapd sets no size limit.
    CServerProfile UnlimitedProfile()
    {
        CServerProfile profile = MainProfile(kBase);
        profile.SetAnonymousBind(0);
        profile.SetUserDN(arbldap::LDAPDN(testsupport::kAdminDN));
        profile.SetSavePassword(1);
        profile.SetPassword(testsupport::kAdminPassword);
        profile.GetOptions().SetSizeLimit(0);
        return profile;
    }
};

TEST_F(ScriptedFetch, NoSuchAttributeForNoAttributesIsAskedAgainWithObjectClass)
{
    ScriptedBackend backend([](const ScriptedBackend::Request& request) {
        if (request.at("scope") == "0")
            return BaseEntry(request);
        if (request.at("attrs") == "1.1")
            return ScriptedResult(16);
        return ScriptedEntry("cn=one,ou=scripted,o=lab", {"objectClass: device", "cn: one"}) +
               ScriptedEntry("cn=two,ou=scripted,o=lab", {"objectClass: device", "cn: two"}) + ScriptedResult(0);
    });
    CServerObject* server = AddServer(MainProfile(kBase));
    Open(*server);

    EXPECT_EQ(ChildDNs(*server), (std::set<std::string>{"cn=one,ou=scripted,o=lab", "cn=two,ou=scripted,o=lab"}));
    EXPECT_TRUE(ChildrenOf<CErrorObject>(*server).empty());
    std::vector<std::string> asked;
    for (const ScriptedBackend::Request& request : backend.Requests())
        if (request.at("scope") == "1")
            asked.push_back(request.at("attrs"));
    EXPECT_EQ(asked, (std::vector<std::string>{"1.1", "objectclass"}));
}

TEST_F(ScriptedFetch, ASecondNoSuchAttributeIsAnError)
{
    ScriptedBackend backend([](const ScriptedBackend::Request& request) {
        return request.at("scope") == "0" ? BaseEntry(request) : ScriptedResult(16);
    });
    CServerObject* server = AddServer(MainProfile(kBase));
    Open(*server);
    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*server);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->GetResultCode(), 16);
    size_t childSearches = 0;
    for (const ScriptedBackend::Request& request : backend.Requests())
        childSearches += request.at("scope") == "1";
    EXPECT_EQ(childSearches, 2u);
}

TEST_F(ScriptedFetch, NoEntriesAtAllLeaveAnInformationNode)
{
    ScriptedBackend backend([](const ScriptedBackend::Request&) { return ScriptedResult(0); });
    CServerObject* server = AddServer(MainProfile(kBase));
    Open(*server);
    std::vector<CInformationObject*> information = ChildrenOf<CInformationObject>(*server);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_EQ(information[0]->GetValueText(), modeltest::Text(kStrNoEntries));
}

// Many entries, in an order that is not the tree's.
std::string ManyEntries(int count)
{
    std::string text;
    for (int i = count; i-- > 0;) {
        std::string cn = "child" + std::to_string(100000 + i);
        text += ScriptedEntry("cn=" + cn + ",ou=scripted,o=lab", {"objectClass: device", "cn: " + cn});
    }
    return text;
}

TEST_F(ScriptedFetch, ManyChildrenAllReachTheTreeAndTheList)
{
    const int count = 3000;
    ScriptedBackend backend([count](const ScriptedBackend::Request& request) {
        return request.at("scope") == "0" ? BaseEntry(request) : ManyEntries(count) + ScriptedResult(0);
    });
    CServerObject* server = AddServer(UnlimitedProfile());
    Open(*server);
    std::vector<CEntryObject*> children = ChildrenOf<CEntryObject>(*server);
    ASSERT_EQ(children.size(), static_cast<size_t>(count));
    EXPECT_EQ(ChildDNs(*server).size(), static_cast<size_t>(count)) << "each entry once";
    // The tree orders them by name.
    EXPECT_EQ(children.front()->GetDN().GetText(), "cn=child100000,ou=scripted,o=lab");
    EXPECT_EQ(children.back()->GetDN().GetText(), "cn=child102999,ou=scripted,o=lab");
    EXPECT_EQ(ui.List().GetItemCount(), count + static_cast<int>(server->GetAttributeCount()));
    EXPECT_EQ(ui.Tree().GetChildIndicator(server->GetTreeItem()), 1);
}

// Entries that arrive in the tree's order but for one are still sorted.
TEST_F(ScriptedFetch, OneEntryOutOfOrderAmongManyInOrderIsSorted)
{
    ScriptedBackend backend([](const ScriptedBackend::Request& request) {
        if (request.at("scope") == "0")
            return BaseEntry(request);
        std::string text;
        for (int i = 0; i < 2000; ++i) {
            const int n = i == 1500 ? 1700 : i == 1700 ? 1500 : i;  // two swapped
            const std::string cn = "child" + std::to_string(100000 + n);
            text += ScriptedEntry("cn=" + cn + ",ou=scripted,o=lab", {"objectClass: device", "cn: " + cn});
        }
        return text + ScriptedResult(0);
    });
    CServerObject* server = AddServer(UnlimitedProfile());
    Open(*server);
    std::vector<CEntryObject*> children = ChildrenOf<CEntryObject>(*server);
    ASSERT_EQ(children.size(), 2000u);
    for (size_t i = 0; i < children.size(); ++i)
        ASSERT_EQ(children[i]->GetDN().GetText(), "cn=child" + std::to_string(100000 + i) + ",ou=scripted,o=lab");
}

TEST_F(ScriptedFetch, EntriesThatArrivedBeforeAFailureStay)
{
    ScriptedBackend backend([](const ScriptedBackend::Request& request) {
        return request.at("scope") == "0" ? BaseEntry(request) : ManyEntries(1200) + ScriptedResult(51);
    });
    CServerObject* server = AddServer(UnlimitedProfile());
    Open(*server);
    EXPECT_EQ(ChildrenOf<CEntryObject>(*server).size(), 1200u);
    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*server);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->GetResultCode(), 51);
}

// A child search that the server holds until the test lets it go.
class HeldSearch {
public:
    std::string Answer(const ScriptedBackend::Request& request)
    {
        if (request.at("scope") == "0")
            return BaseEntry(request);
        std::unique_lock<std::mutex> lock(m_lock);
        m_released.wait(lock, [this] { return m_release; });
        return ScriptedEntry("cn=late,ou=scripted,o=lab", {"objectClass: device", "cn: late"}) + ScriptedResult(0);
    }
    void Release()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_release = true;
        }
        m_released.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_released;
    bool m_release = false;
};

TEST_F(ScriptedFetch, CancelWhileFetchingRestoresTheNode)
{
    HeldSearch held;
    ScriptedBackend backend([&held](const ScriptedBackend::Request& request) { return held.Answer(request); });
    CServerObject* server = AddServer(MainProfile(kBase));
    ui.Select(*server);
    server->ShowContents(0);
    // The bind, then the child search arrives at the server and waits there.
    ASSERT_TRUE(ui.Dispatcher().PumpUntil(
        [&] {
            for (const ScriptedBackend::Request& request : backend.Requests())
                if (request.at("scope") == "1")
                    return true;
            return false;
        },
        20000));
    ASSERT_TRUE(server->IsBusy());
    EXPECT_EQ(ui.Tree().GetItemOverlay(server->GetTreeItem()), 1);

    server->Abort();
    EXPECT_TRUE(ui.Dispatcher().PumpUntil([&] { return !server->IsBusy(); }, 20000));
    held.Release();
    EXPECT_TRUE(WaitIdle());

    EXPECT_FALSE(server->IsBusy());
    EXPECT_FALSE(server->IsAborting());
    EXPECT_EQ(ui.Tree().GetItemOverlay(server->GetTreeItem()), 0);
    EXPECT_TRUE(ChildrenOf<CEntryObject>(*server).empty()) << "nothing arrived before the cancel";
    EXPECT_TRUE(ChildrenOf<CErrorObject>(*server).empty());
    std::vector<CInformationObject*> information = ChildrenOf<CInformationObject>(*server);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_EQ(information[0]->GetValueText(), modeltest::Text(454));
    EXPECT_FALSE(server->IsContentsFetched());

    // A reconnect opens it again.
    server->LoadChildren(0);
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(ChildDNs(*server), (std::set<std::string>{"cn=late,ou=scripted,o=lab"}));
}

} // namespace
