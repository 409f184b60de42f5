// Entries on the clipboard without a server: the stream of the own format,
// the text rendering, when a paste is offered, and blocks that cannot be read.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "model/clipboard/CArbClipboard.h"
#include "model/entries/CEntryObject.h"
#include "schema/SchemaCache.h"
#include "tests/model/entries/NodeTestSupport.h"
#include "tests/support/ByteText.h"
#include "tests/support/MemoryClipboard.h"

namespace {

using arbldap::LDAPDN;
using testsupport::Counted;
using testsupport::U32;

class Clipboard : public nodetest::NodeTest {
protected:
    void SetUp() override
    {
        NodeTest::SetUp();
        RegisterArbClipboardFormat();
        m_format = GetArbClipboardFormat();
        ASSERT_NE(m_format, 0u);
    }

    testsupport::MemoryClipboard& Board() { return m_scope.Clipboard(); }

    // An entry node below a server whose schema is the cache's model of a
    // host; hosts differ by port. No loading job runs in these tests.
    CEntryObject* Entry(const std::string& dn, int port = 389)
    {
        CServerObject* server = ServerFor(port);
        CEntryObject* entry = modeltest::AddNode<CEntryObject>(server->GetTreeItem(), arbldap::LDAPConnectionPtr(),
                                                               LDAPDN(dn), server, false, false);
        entry->SetSchema(GetSchemaCache()->GetSchemaForHost("127.0.0.1", port, false, nullptr));
        return entry;
    }

    CServerObject* ServerFor(int port)
    {
        CServerObject*& server = m_servers[port];
        if (!server)
            server = AddServer();
        return server;
    }

    platform::ClipboardFormat m_format = 0;
    std::map<int, CServerObject*> m_servers;
    testsupport::MemoryClipboardScope m_scope;
};

TEST_F(Clipboard, StreamHasTheLayoutOfTheFormat)
{
    CEntryObject* entry = Entry("cn=A,o=lab");
    CArbClipboard holder(entry);
    holder.SetOperation(kClipboardMove);
    holder.AddDN(LDAPDN("ou=x"));
    holder.AddAttributeValue("jpegPhoto", std::string("\xFF\x00", 2));
    ASSERT_TRUE(holder.Copy());

    unsigned char guid[16];
    GuidToBytes(entry->GetSchema()->GetHostGuid(), guid);
    const std::string expected = std::string(reinterpret_cast<char*>(guid), 16) + U32(1) +
                                 Counted("cn=A,o=lab") + U32(2) + Counted("cn=A") + Counted("cn") + Counted("A") +
                                 Counted("o=lab") + Counted("o") + Counted("lab") + U32(1) + Counted("ou=x") + U32(1) +
                                 Counted("ou=x") + Counted("ou") + Counted("x") + U32(1) + Counted("jpegPhoto") +
                                 U32(1) + Counted(std::string("\xFF\x00", 2));
    EXPECT_EQ(testsupport::ToHex(Board().Get(m_format)), testsupport::ToHex(expected));
}

TEST_F(Clipboard, PasteReadsBackWhatWasCopiedBinaryValuesIncluded)
{
    CEntryObject* entry = Entry("cn=A,o=lab");
    CArbClipboard holder(entry);
    holder.AddDN(LDAPDN("cn=B,o=lab"));
    holder.AddDN(LDAPDN("cn=C\\2C D,o=lab"));
    const std::string binary("\x00\x01\xFE\xFF\r\n", 6);
    holder.AddAttributeValue("userCertificate;binary", binary);
    holder.AddAttributeValue("userCertificate;binary", std::string(300, '\0'));
    holder.AddAttributeValue("description", "text");
    ASSERT_TRUE(holder.Copy());

    CArbClipboard pasted;
    ASSERT_TRUE(pasted.Paste());
    const CArbClipboardContext& a = *holder.GetContext();
    const CArbClipboardContext& b = *pasted.GetContext();
    EXPECT_EQ(b.GetGuid(), a.GetGuid());
    EXPECT_EQ(b.GetOperation(), 0u);
    EXPECT_EQ(b.GetDN().GetText(), "cn=A,o=lab");
    ASSERT_EQ(b.GetDNList().size(), 2u);
    EXPECT_EQ(b.GetDNList()[1].GetText(), a.GetDNList()[1].GetText());
    EXPECT_EQ(b.GetDNList()[1].GetFirstPart().GetValue(), "C, D");
    EXPECT_EQ(b.GetAttributes(), a.GetAttributes());
    EXPECT_EQ(b.GetState(), kClipboardEntriesAndValues);
}

TEST_F(Clipboard, TextRendering)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> values;
        std::vector<std::string> dns;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"one entry", {}, {}, "cn=A,o=lab\n"},
        {"three entries", {}, {"cn=B,o=lab", "cn=C,o=lab", "cn=D,o=lab"},
         "cn=A,o=lab\ncn=B,o=lab\n\ncn=C,o=lab\n\ncn=D,o=lab\n\n"},
        {"values", {{"cn", "A"}, {"description", "one"}, {"description", "two"}}, {},
         "cn=A,o=lab\ncn: A\ndescription: one\ndescription: two\n\n"},
        {"binary values", {{"jpegPhoto", std::string("\xFF\xD8\x00", 3)}, {"jpegPhoto", "\x01\x02"}}, {},
         "cn=A,o=lab\njpegPhoto: <binary value>\n\n"},
    };
    CEntryObject* entry = Entry("cn=A,o=lab");
    for (const Case& c : cases) {
        CArbClipboard holder(entry);
        for (const auto& value : c.values)
            holder.AddAttributeValue(value.first, value.second);
        for (const std::string& dn : c.dns)
            holder.AddDN(LDAPDN(dn));
        ASSERT_TRUE(holder.Copy());
        EXPECT_EQ(Board().Get(platform::kClipboardText), c.text + std::string(1, '\0')) << c.what;
    }
}

// Where a paste may go, by what was copied (S: cn=S,ou=p,o=lab).
TEST_F(Clipboard, PasteIsRefusedOntoTheCopiedEntriesTheirSubtreesAndTheirParents)
{
    struct Case {
        int state;
        const char* target;
        bool allowed;
    };
    const std::vector<Case> cases = {
        {kClipboardEntry, "cn=S,ou=p,o=lab", false},
        {kClipboardEntry, "CN=s,OU=P,O=LAB", false},
        {kClipboardEntry, "cn=below,cn=S,ou=p,o=lab", false},
        {kClipboardEntry, "ou=p,o=lab", false},
        {kClipboardEntry, "o=lab", true},
        {kClipboardEntry, "ou=q,o=lab", true},
        {kClipboardValues, "cn=S,ou=p,o=lab", false},
        {kClipboardValues, "cn=below,cn=S,ou=p,o=lab", true},
        {kClipboardValues, "ou=p,o=lab", true},
        {kClipboardEntries, "cn=S,ou=p,o=lab", true},
        {kClipboardEntries, "cn=X,ou=p,o=lab", false},
        {kClipboardEntries, "cn=in,cn=Y,ou=q,o=lab", false},
        {kClipboardEntries, "ou=q,o=lab", false},
        {kClipboardEntries, "o=lab", true},
        {kClipboardEntriesAndValues, "cn=S,ou=p,o=lab", false},
        {kClipboardEntriesAndValues, "ou=q,o=lab", false},
        {kClipboardEntriesAndValues, "o=lab", true},
    };
    CEntryObject* source = Entry("cn=S,ou=p,o=lab");
    for (const Case& c : cases) {
        CArbClipboardContext context(*source);
        if (c.state == kClipboardEntries || c.state == kClipboardEntriesAndValues) {
            context.AddDN(LDAPDN("cn=X,ou=p,o=lab"));
            context.AddDN(LDAPDN("cn=Y,ou=q,o=lab"));
        }
        if (c.state == kClipboardValues || c.state == kClipboardEntriesAndValues)
            context.AddAttributeValue("description", "x");
        ASSERT_EQ(context.GetState(), c.state);
        EXPECT_EQ(IsPasteAllowed(context, LDAPDN(c.target)), c.allowed) << c.state << " onto " << c.target;

        // The same through the clipboard, onto a node of the same server.
        Board().Clear();
        CArchive ar;
        context.Serialize(ar);
        Board().Put(m_format, ar.GetBuffer());
        CEntryObject* target = Entry(c.target);
        EXPECT_EQ(CArbClipboard::IsPasteAvailable(target), c.allowed) << c.state << " onto " << c.target;
    }
}

TEST_F(Clipboard, PasteIsOfferedOnlyWithinTheSameServer)
{
    CEntryObject* source = Entry("cn=S,o=lab", 389);
    CArbClipboard holder(source);
    ASSERT_TRUE(holder.Copy());
    EXPECT_TRUE(CArbClipboard::IsPasteAvailable(Entry("o=other", 389)));
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(Entry("o=other", 390)));

    // A node without a schema names no server.
    CEntryObject* bare = AddEntry(*ServerFor(389), "o=x", ServerFor(389));
    bare->SetSchema(RefPtr<CLDAPSchema>());
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(bare));
    EXPECT_TRUE(CArbClipboard::IsPasteAvailable(nullptr));

    // Nor does a copy made from one.
    CArbClipboard fromBare(bare);
    ASSERT_TRUE(fromBare.Copy());
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(Entry("o=other", 389)));
}

TEST_F(Clipboard, WithoutTheOwnFormatNothingIsOffered)
{
    CEntryObject* target = Entry("o=lab");
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(nullptr));
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(target));
    Board().Put(platform::kClipboardText, std::string("cn=A,o=lab\n", 12));
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(nullptr));
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(target));
    CArbClipboard holder;
    EXPECT_FALSE(holder.Paste());
    EXPECT_FALSE(Board().IsOpen());
}

TEST_F(Clipboard, MalformedBlocksAreNotOfferedAndLeaveTheHolderAsItWas)
{
    CEntryObject* entry = Entry("cn=A,o=lab");
    CArbClipboard good(entry);
    good.AddDN(LDAPDN("cn=B,o=lab"));
    good.AddAttributeValue("description", "value");
    ASSERT_TRUE(good.Copy());
    const std::string block = Board().Get(m_format);

    std::vector<std::pair<std::string, std::string>> blocks;
    for (size_t cut = 1; cut < block.size(); ++cut)
        blocks.emplace_back("cut at " + std::to_string(cut), block.substr(0, cut));
    const std::string head = block.substr(0, 20);
    blocks.emplace_back("huge DN length", head + U32(0xFFFFFFF0u) + "x");
    blocks.emplace_back("huge RDN count", head + Counted("o=x") + U32(0x7FFFFFFFu));
    blocks.emplace_back("huge list count", head + Counted("") + U32(0) + U32(0xFFFFFFFFu));
    blocks.emplace_back("huge value count",
                        head + Counted("") + U32(0) + U32(0) + U32(1) + Counted("cn") + U32(0x10000000u));
    blocks.emplace_back("text and parts differ",
                        head + Counted("o=lab") + U32(2) + Counted("cn=S") + Counted("cn") + Counted("S") +
                            Counted("o=lab") + Counted("o") + Counted("lab") + U32(0) + U32(0));

    CArbClipboard holder(entry);
    holder.AddDN(LDAPDN("cn=kept,o=lab"));
    for (const auto& b : blocks) {
        Board().Clear();
        Board().Put(m_format, b.second);
        EXPECT_FALSE(CArbClipboard::IsPasteAvailable(nullptr)) << b.first;
        EXPECT_FALSE(CArbClipboard::IsPasteAvailable(entry)) << b.first;
        EXPECT_FALSE(holder.Paste()) << b.first;
        ASSERT_EQ(holder.GetContext()->GetDNList().size(), 1u) << b.first;
        EXPECT_EQ(holder.GetContext()->GetDNList()[0].GetText(), "cn=kept,o=lab");
        EXPECT_FALSE(Board().IsOpen());
    }
    // The holder is still usable.
    Board().Put(m_format, block);
    EXPECT_TRUE(holder.Paste());
    EXPECT_EQ(holder.GetContext()->GetDNList()[0].GetText(), "cn=B,o=lab");
}

TEST_F(Clipboard, ClipboardThatCannotBeOpenedOrEmptied)
{
    CEntryObject* entry = Entry("cn=A,o=lab");
    CArbClipboard holder(entry);
    Board().failOpen = true;
    EXPECT_FALSE(holder.Copy());
    EXPECT_FALSE(holder.Clear());
    EXPECT_FALSE(holder.Paste());
    Board().failOpen = false;
    Board().failEmpty = true;
    EXPECT_FALSE(holder.Copy());
    EXPECT_FALSE(Board().IsOpen());
    Board().failEmpty = false;
    ASSERT_TRUE(holder.Copy());
    EXPECT_TRUE(Board().Has(m_format));
    EXPECT_TRUE(holder.Clear());
    EXPECT_FALSE(Board().Has(m_format));
    EXPECT_FALSE(Board().Has(platform::kClipboardText));
}

}  // namespace
