#pragma once
// What the tips dialog knows without its window: the start-up switch, the
// tip shown, and the reading position kept in the profile section "Tip"
// ("StartUp", "FilePos", "TimeStamp"). Built for each showing; its end
// stores the position, so the next showing continues with the next tip.

#include <string>

#include "shellcore/TipsFile.h"

// The tips-dialog strings.
constexpr unsigned kStrTipsFileMissing = 175;
constexpr unsigned kStrTipsSeekFailed = 177;
constexpr unsigned kStrTipsHeading = 179;

// The profile section, below the user root.
extern const wchar_t* const kTipSectionKey;

class CTipOfTheDay {
public:
    // Reads the profile, opens the file and reads the first tip to show.
    explicit CTipOfTheDay(const std::string& tipsPath);
    // Stores the reading position as "FilePos".
    ~CTipOfTheDay();
    CTipOfTheDay(const CTipOfTheDay&) = delete;
    CTipOfTheDay& operator=(const CTipOfTheDay&) = delete;

    // Without the file the dialog is not shown (and Next does nothing).
    bool IsFileOpen() const { return m_file.IsOpen(); }
    bool GetShowAtStartup() const { return m_startup; }
    void SetShowAtStartup(bool show) { m_startup = show; }
    const std::wstring& GetTip() const { return m_tip; }

    void NextTip();
    // OK: "StartUp" = 0 to show tips at start-up, 1 not to.
    void StoreStartupSwitch();

    // "StartUp" 0 or missing: tips at start-up.
    static bool ReadShowAtStartup();
    static void StoreShowAtStartup(bool show);

private:
    void Read();

    CTipsFile m_file;
    bool m_startup = true;
    std::wstring m_tip;
};
