#include "shellcore/CRecentItemsList.h"

#include <algorithm>
#include <iterator>
#include <mutex>

#include "shellcore/RegistryPaths.h"

using platform::RegistryKey;
using platform::RegRoot;

const std::wstring g_strRecentFiltersKey = g_strSettingsKey + L"RecentItems\\Filters\\";
const std::wstring g_strRecentHostsKey = g_strSettingsKey + L"RecentItems\\Hosts\\";
const std::wstring g_strRecentDNsKey = g_strSettingsKey + L"RecentItems\\DNs\\";

namespace {

constexpr int64_t kExpirySeconds = int64_t(CRecentItemsList::kExpiryDays) * 24 * 60 * 60;

std::mutex g_clockLock;
CRecentItemsList::Clock g_clock;

} // namespace

CRecentItemsList::Clock CRecentItemsList::SetClock(Clock clock)
{
    std::lock_guard<std::mutex> lock(g_clockLock);
    std::swap(g_clock, clock);
    return clock;
}

int64_t CRecentItemsList::Now()
{
    std::lock_guard<std::mutex> lock(g_clockLock);
    return g_clock ? g_clock() : static_cast<int64_t>(std::time(nullptr));
}

CRecentItemsList::CRecentItemsList() = default;

CRecentItemsList::CRecentItemsList(RegRoot root, const std::wstring& keyPath)
{
    Open(root, keyPath);
}

CRecentItemsList::CRecentItemsList(const std::map<std::wstring, int64_t>& items) : m_items(items) {}

CRecentItemsList::~CRecentItemsList()
{
    Unbind();
}

bool CRecentItemsList::Open(RegRoot root, const std::wstring& keyPath)
{
    m_key.reset();
    m_items.clear();
    m_cursor = 0;
    auto key = std::make_unique<RegistryKey>(root, false);
    if (!key->CreateKey(keyPath)) return false;
    m_key = std::move(key);
    Load();
    return true;
}

void CRecentItemsList::Load()
{
    const int64_t now = Now();
    std::vector<std::wstring> names;
    m_key->ReadValueNames(names);
    for (const std::wstring& name : names) {
        // A name too long to be a text of the list is passed over; the texts
        // after it are still read.
        if (name.size() > kMaxTextLength) continue;
        uint32_t stamp = 0;
        if (!m_key->Read(name, stamp)) continue;
        if (int64_t(stamp) + kExpirySeconds > now)
            m_items[name] = stamp;
        else
            m_key->DeleteValue(name);
    }
    m_cursor = 0;
}

bool CRecentItemsList::AddString(const std::wstring& text)
{
    if (text.empty()) return false;
    const int64_t now = Now();
    m_items[text] = now;
    if (m_items.size() == 1) m_cursor = 0;
    if (!m_key) return true;
    return m_key->Write(text, static_cast<uint32_t>(now));
}

bool CRecentItemsList::GetRecentStrings(std::vector<std::wstring>& texts, int n) const
{
    texts.clear();
    std::vector<std::pair<int64_t, const std::wstring*>> order;
    order.reserve(m_items.size());
    for (const auto& item : m_items) order.emplace_back(item.second, &item.first);
    // Newest first; texts of one second all stay, the one sorting last first.
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first > b.first;
        return *a.second > *b.second;
    });
    for (const auto& entry : order) {
        if (n >= 0 && texts.size() >= static_cast<size_t>(n)) break;
        texts.push_back(*entry.second);
    }
    return n < 0 || texts.size() == static_cast<size_t>(n);
}

bool CRecentItemsList::Bind(void* editWindow, uint32_t options, const std::wstring& quickCompleteFormat)
{
    if (m_binding) return false;
    AutoCompletionFactory factory = GetAutoCompletionFactory();
    if (!factory) return false;
    m_binding = factory(editWindow, *this, options, quickCompleteFormat);
    return m_binding != nullptr;
}

void CRecentItemsList::EnableCompletion(bool enable)
{
    if (m_binding) m_binding->Enable(enable);
}

void CRecentItemsList::Unbind()
{
    m_binding.reset();
}

HRESULT CRecentItemsList::QueryInterface(const IID& iid, void** object)
{
    return QueryInterfaceTable({{IID_IUnknown, this}, {IID_IEnumString, this}}, iid, object);
}

uint32_t CRecentItemsList::AddRef()
{
    return static_cast<uint32_t>(++m_refs);
}

uint32_t CRecentItemsList::Release()
{
    int32_t n = --m_refs;
    if (n == 0) delete this;
    return static_cast<uint32_t>(n);
}

HRESULT CRecentItemsList::Next(uint32_t count, std::wstring* elements, uint32_t* fetched)
{
    uint32_t copied = 0;
    if (count > 0 && elements) {
        auto it = m_cursor < m_items.size() ? std::next(m_items.begin(), m_cursor) : m_items.end();
        for (; copied < count && it != m_items.end(); ++it, ++copied) elements[copied] = it->first;
        m_cursor += copied;
    }
    if (fetched) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT CRecentItemsList::Skip(uint32_t count)
{
    if (m_items.size() - std::min(m_cursor, m_items.size()) < count)
        m_cursor = 0;
    else
        m_cursor += count;
    return S_OK;
}

HRESULT CRecentItemsList::Reset()
{
    m_cursor = 0;
    return S_OK;
}

HRESULT CRecentItemsList::Clone(IEnumString** clone)
{
    if (!clone) return E_POINTER;
    *clone = new CRecentItemsList(m_items);
    return S_OK;
}
