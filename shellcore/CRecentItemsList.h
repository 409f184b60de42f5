#pragma once
// Texts the user typed into an input field (filters, host names, DNs), each
// with the time it was last used, kept in a settings key of their own: one
// DWORD value per text, named by the text, holding the time stamp in seconds
// since 1970. Handed out newest first for drop-down lists, and served to
// autocompletion as a string enumerator. Texts unused for 25 days are
// dropped when the list is loaded.
//
// Counted like a COM object, but made with one reference that belongs to
// its maker: a list on the stack or as a member simply never releases it,
// and must be unbound before it goes. Used on the user-interface thread.

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryKey.h"
#include "shellcore/AutoCompletion.h"
#include "shellcore/EnumString.h"

// The keys in use, below the user root.
extern const std::wstring g_strRecentFiltersKey;  // "...\Settings\RecentItems\Filters\"
extern const std::wstring g_strRecentHostsKey;    // "...\Settings\RecentItems\Hosts\"
extern const std::wstring g_strRecentDNsKey;      // "...\Settings\RecentItems\DNs\"

class CRecentItemsList final : public IEnumString {
public:
    static constexpr int kExpiryDays = 25;
    // Value names longer than this are not texts of the list.
    static constexpr size_t kMaxTextLength = 1024;

    CRecentItemsList();
    // Opens (making it when missing) and loads the key.
    CRecentItemsList(platform::RegRoot root, const std::wstring& keyPath);
    ~CRecentItemsList();
    CRecentItemsList(const CRecentItemsList&) = delete;
    CRecentItemsList& operator=(const CRecentItemsList&) = delete;

    // Closes a previous key, opens (making it when missing) and loads this
    // one: texts stamped 25 days ago or earlier are deleted from the key.
    // The cursor moves to the first text. False when the key cannot be had
    // (the list is then kept in memory only).
    bool Open(platform::RegRoot root, const std::wstring& keyPath);

    // Stamps the text now (adding it when new) and writes it at once when a
    // key is open. False for an empty text or a failed write.
    bool AddString(const std::wstring& text);
    // Up to n texts (all when n < 0), newest first; of texts with the same
    // stamp the one sorting last comes first. True when it gave exactly n
    // (always when n < 0).
    bool GetRecentStrings(std::vector<std::wstring>& texts, int n) const;
    size_t GetCount() const { return m_items.size(); }

    // Binds autocompletion on the edit window to this list; false when the
    // list is bound already or no binding could be made.
    bool Bind(void* editWindow, uint32_t options = 0, const std::wstring& quickCompleteFormat = std::wstring());
    void Unbind();
    // Turns the bound field's completion off and on again.
    void EnableCompletion(bool enable);
    bool IsBound() const { return m_binding != nullptr; }

    // IUnknown: IID_IUnknown and IID_IEnumString.
    HRESULT QueryInterface(const IID& iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    // IEnumString. Next with count 0 copies nothing and gives S_OK.
    HRESULT Next(uint32_t count, std::wstring* elements, uint32_t* fetched) override;
    // Past the end the cursor goes back to the first text.
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumString** clone) override;

    // The clock of every list: seconds since 1970 (tests set their own).
    typedef std::function<int64_t()> Clock;
    static Clock SetClock(Clock clock);
    static int64_t Now();

private:
    explicit CRecentItemsList(const std::map<std::wstring, int64_t>& items);
    void Load();

    std::map<std::wstring, int64_t> m_items;
    std::unique_ptr<platform::RegistryKey> m_key;
    std::unique_ptr<IAutoCompletion> m_binding;
    size_t m_cursor = 0;
    std::atomic<int32_t> m_refs{1};
};
