// A proxy over an object made here, to hand it answers no sample library
// gives: null texts inside a list, a list longer than the proxy reads, a
// failing information call, an exception.

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "base/PluginContract.h"
#include "model/plugins/CPluginProxy.h"

namespace {

wchar_t* Dup(const wchar_t* text)
{
    size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(std::malloc(size));
    memcpy(copy, text, size);
    return copy;
}

PluginStringNode* Node(wchar_t* text, PluginStringNode* next)
{
    auto* node = static_cast<PluginStringNode*>(std::malloc(sizeof(PluginStringNode)));
    node->text = text;
    node->next = next;
    return node;
}

class ForeignPlugin final : public IPluginInfo, public IPluginValueConverter {
public:
    enum class Names { WithNullText, LongerThanRead };

    explicit ForeignPlugin(Names names) : m_names(names) {}

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        *object = nullptr;
        if (IsSamePluginIid(iid, IID_IUnknown) || IsSamePluginIid(iid, IID_IPluginInfo))
            *object = static_cast<IPluginInfo*>(this);
        else if (IsSamePluginIid(iid, IID_IPluginValueConverter))
            *object = static_cast<IPluginValueConverter*>(this);
        else
            return E_NOINTERFACE;
        ++m_refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++m_refs; }
    uint32_t Release() override { return --m_refs; }
    HRESULT GetInfo(PluginInfoTexts* info) override
    {
        info->description = Dup(L"texts of a failed call are dropped");
        return E_FAIL;
    }
    HRESULT GetAttributeNames(PluginStringNode** first) override
    {
        if (m_names == Names::WithNullText) {
            *first = Node(Dup(L"cn"), Node(nullptr, Node(Dup(L"sn"), nullptr)));
            return S_OK;
        }
        // One node more than is read; the test frees it.
        m_unread = Node(Dup(L"last"), nullptr);
        PluginStringNode* node = m_unread;
        for (size_t i = 0; i < kMaxPluginListNodes; ++i) node = Node(Dup(L"x"), node);
        *first = node;
        return S_OK;
    }
    HRESULT GetSyntaxOids(PluginStringNode**) override { throw std::runtime_error("no exception may cross"); }
    HRESULT Convert(const PluginValue*, unsigned char**, uint32_t*) override { throw std::bad_alloc(); }

    uint32_t m_refs = 1;
    PluginStringNode* m_unread = nullptr;

private:
    Names m_names;
};

TEST(PluginProxyTest, ForeignAnswersAreReadSafely)
{
    ForeignPlugin plugin(ForeignPlugin::Names::WithNullText);
    {
        CPluginProxy proxy(L"foreign", static_cast<IPluginInfo*>(&plugin));
        EXPECT_EQ(std::vector<std::string>(proxy.GetNames().begin(), proxy.GetNames().end()),
                  (std::vector<std::string>{"cn", "sn"}));
        EXPECT_TRUE(proxy.GetOids().IsEmpty());
        EXPECT_EQ(proxy.GetDescription(), L"");
        std::string result = "untouched";
        EXPECT_FALSE(proxy.Call("cn", "x", result));
        EXPECT_EQ(result, "untouched");
        EXPECT_EQ(plugin.m_refs, 3u);  // the object, the information and the converter
    }
    // Every reference the proxy took and the one it was given are released.
    EXPECT_EQ(plugin.m_refs, 0u);
}

TEST(PluginProxyTest, AListEndsAfterTheLimit)
{
    ForeignPlugin plugin(ForeignPlugin::Names::LongerThanRead);
    {
        CPluginProxy proxy(L"long", static_cast<IPluginInfo*>(&plugin));
        EXPECT_EQ(proxy.GetNames().GetCount(), kMaxPluginListNodes);
        EXPECT_EQ(proxy.GetNames().Back(), "x");
    }
    ASSERT_NE(plugin.m_unread, nullptr);
    std::free(plugin.m_unread->text);
    std::free(plugin.m_unread);
}

} // namespace
