#pragma once
// The automatic check at start-up: silent unless a newer build exists, when
// it writes two lines to the message log. It lives on the heap from its
// start until its end; at exit a check still running is cancelled and
// waited for.

#include <ctime>

#include "shellcore/CUpdateInfo.h"

constexpr unsigned kStrNewerBuildLine = 568;
constexpr unsigned kStrNewerBuildTextLine = 569;

class CStartupUpdateInfo : public CUpdateInfo {
public:
    using CUpdateInfo::CUpdateInfo;
    ~CStartupUpdateInfo() override;

protected:
    void OnResult(bool newer) override;
    void OnEnd() override;
};

// The check at start-up when the options turn it on and it is due (a first
// run only records the time). What was decided.
StartupCheck CheckForUpdatesAtStartup(std::time_t now);
// True while a check started at start-up runs.
bool IsStartupUpdateCheckRunning();
// Cancels a running start-up check and waits for its worker; nothing of it
// is delivered afterwards. For the exit.
void CancelStartupUpdateCheck();
