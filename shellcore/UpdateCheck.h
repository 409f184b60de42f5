#pragma once
// The update check without its download: the request URL with the
// installation's identifier, the reply line and the rules of the check at
// start-up ("LastUpdateCheck" below the settings key).

#include <cstdint>
#include <ctime>
#include <string>

// The reply: "build-date-text-x-y-z" after any leading line breaks.
struct UpdateReply {
    int build = 0;          // leading decimal digits of the first field; 0 when none
    bool hasDate = false;   // the second field parsed as 8 or 14 digits
    std::time_t date = 0;
    std::string dateText;   // the second field as sent
    std::wstring text;      // the third field (UTF-8 decoded)
};

// False for fewer than six fields. A text holding "-" spreads over more
// fields: the first two and the last three are fixed, what lies between is
// the text joined again.
bool ParseUpdateReply(const std::string& bytes, UpdateReply& reply);

// A reply larger than this fails the check.
constexpr size_t kMaxUpdateReplyBytes = 64 * 1024;

// "https://www.vellumar.example" unless ARBOLITE_UPDATE_URL gives another
// scheme, host and port (anything after them in the variable is ignored).
std::string GetUpdateServer();
// The server, then "/support/update/info.php?build=%d&id=%s&b=1" with the id
// percent-encoded.
std::string BuildUpdateUrl(uint32_t build, const std::string& id);
// Every byte other than A-Z a-z 0-9 - . _ ~ as %XX.
std::string PercentEncode(const std::string& text);

// The installation's identifier: a random GUID in braces, made on first use
// and kept as "InstallationID" below the settings key.
std::string GetInstallationId();

// "LastUpdateCheck": the time as "%Y%m%d%H%M%S".
void RecordUpdateCheckTime(std::time_t now);

enum class StartupCheck {
    Off,        // the options turn the automatic check off
    FirstRun,   // no time was stored: it is stored now and nothing is asked
    NotDue,     // the interval has not passed since the stored time
    Due,        // check now
};
// The rules of the automatic check at start-up (writes the time on a first run).
StartupCheck DecideStartupCheck(bool enabled, int intervalDays, std::time_t now);

// "%B %d, %Y" of the reply date, or the date field as sent when it did not parse.
std::wstring FormatReplyDate(const UpdateReply& reply);
