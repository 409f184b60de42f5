#pragma once
// The program's record of user options, stored whole as the binary value
// "AppOptions" of the settings key. Worker threads read the 32-bit fields
// while the user-interface thread may change them, so each is atomic.
//
// The record does no I/O of its own accord: the program loads it at start
// and saves it at exit (tests never touch the user's real settings).

#include <atomic>
#include <cstdint>
#include <string>

#include "base/Archive.h"

class CAppConfig {
public:
    // The defaults.
    CAppConfig() = default;
    CAppConfig(const CAppConfig&) = delete;
    CAppConfig& operator=(const CAppConfig&) = delete;

    void SetDefaults();
    // Reads "AppOptions"; a missing key or value, or one that cannot be read
    // whole, gives the defaults (and false).
    bool Load();
    // Writes the whole record as "AppOptions"; false when that failed.
    bool Save() const;

    // Twelve 32-bit little-endian fields, the proxy host as an archived wide
    // string, the proxy port. Loading throws CArchiveException for a record
    // that is damaged or too short, leaving the fields read so far.
    void Serialize(CArchive& ar);
    // The stored bytes of the record.
    std::string ToBytes() const;

    std::atomic<int32_t> m_bOption1{1};
    std::atomic<int32_t> m_bShowNamingContexts{1};
    std::atomic<int32_t> m_bCheckForUpdates{1};
    std::atomic<int32_t> m_nUpdateIntervalDays{14};
    std::atomic<int32_t> m_bShowOutputBar{0};
    std::atomic<int32_t> m_bAutoSortList{1};
    std::atomic<int32_t> m_bForgetSortColumn{0};
    std::atomic<int32_t> m_bAutoRemoveInfo{1};
    std::atomic<int32_t> m_nInfoTimeoutSec{30};
    std::atomic<int32_t> m_bExpandOnClick{0};
    std::atomic<int32_t> m_bEnsureVisible{1};
    std::atomic<int32_t> m_bUseProxy{0};
    // Read and written on the user-interface thread only.
    std::wstring m_strProxyHost;
    std::atomic<int32_t> m_nProxyPort{0};

private:
    void Store(CArchive& ar) const;
    void Restore(CArchive& ar);

    // Fields 1-12 in stored order.
    std::atomic<int32_t>* const m_stored[12] = {
        &m_bOption1,      &m_bShowNamingContexts, &m_bCheckForUpdates, &m_nUpdateIntervalDays,
        &m_bShowOutputBar, &m_bAutoSortList,      &m_bForgetSortColumn, &m_bAutoRemoveInfo,
        &m_nInfoTimeoutSec, &m_bExpandOnClick,    &m_bEnsureVisible,   &m_bUseProxy};
};

// The program's one options record.
CAppConfig& GetAppConfig();
