#include "shellcore/UpdateCheck.h"

#include <cstdlib>
#include <cwchar>
#include <vector>

#include "base/Guid.h"
#include "base/StringFormat.h"
#include "base/StringList.h"
#include "base/TextFunctions.h"
#include "base/Utf8.h"
#include "platform/GuidGen.h"
#include "platform/RegistryKey.h"
#include "platform/TimeStamps.h"
#include "shellcore/RegistryPaths.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

const wchar_t kLastUpdateCheckValue[] = L"LastUpdateCheck";
const wchar_t kInstallationIdValue[] = L"InstallationID";
const char kDefaultUpdateServer[] = "https://www.vellumar.example";

int LeadingNumber(const std::string& text)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (value > (0x7FFFFFFF - 9) / 10) break;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

bool ParseUpdateReply(const std::string& bytes, UpdateReply& reply)
{
    size_t start = bytes.find_first_not_of("\r\n");
    if (start == std::string::npos) return false;
    StringList fields;
    SplitString(bytes.c_str() + start, fields, '-');
    std::vector<std::string> parts(fields.Begin(), fields.End());
    if (parts.size() < 6) return false;
    reply = UpdateReply();
    reply.build = LeadingNumber(parts[0]);
    reply.dateText = parts[1];
    reply.hasDate = platform::ParseTimeStamp(Utf8ToWideString(parts[1]), reply.date);
    std::string text = parts[2];
    for (size_t i = 3; i + 3 < parts.size(); ++i) text += "-" + parts[i];
    reply.text = Utf8ToWideString(text);
    return true;
}

std::string GetUpdateServer()
{
    const char* value = std::getenv("ARBOLITE_UPDATE_URL");
    if (!value || !*value) return kDefaultUpdateServer;
    std::string server = value;
    size_t scheme = server.find("://");
    size_t rest = server.find_first_of("/?#", scheme == std::string::npos ? 0 : scheme + 3);
    if (rest != std::string::npos) server.erase(rest);
    return server;
}

std::string PercentEncode(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::string BuildUpdateUrl(uint32_t build, const std::string& id)
{
    std::string query;
    FormatString(query, "/support/update/info.php?build=%d&id=%s&b=1", static_cast<int>(build),
                 PercentEncode(id).c_str());
    return GetUpdateServer() + query;
}

std::string GetInstallationId()
{
    RegistryKey key(RegRoot::CurrentUser, false);
    std::wstring text;
    GUID guid;
    bool open = key.Open(g_strSettingsKey) || key.CreateKey(g_strSettingsKey);
    if (open && key.Read(kInstallationIdValue, text) && GuidFromString(text, guid)) return WideToUtf8Text(text);
    text = GuidToString(platform::CreateGuid());
    if (open) key.Write(kInstallationIdValue, text);
    return WideToUtf8Text(text);
}

void RecordUpdateCheckTime(std::time_t now)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    if (key.Open(g_strSettingsKey) || key.CreateKey(g_strSettingsKey))
        key.Write(kLastUpdateCheckValue, platform::FormatTimeStamp(now));
}

StartupCheck DecideStartupCheck(bool enabled, int intervalDays, std::time_t now)
{
    if (!enabled) return StartupCheck::Off;
    RegistryKey key(RegRoot::CurrentUser, false);
    if (!key.Open(g_strSettingsKey)) return StartupCheck::Due;
    std::wstring stored;
    if (!key.Read(kLastUpdateCheckValue, stored)) {
        key.Write(kLastUpdateCheckValue, platform::FormatTimeStamp(now));
        return StartupCheck::FirstRun;
    }
    std::time_t last = 0;
    const std::time_t interval = static_cast<std::time_t>(intervalDays > 0 ? intervalDays : 0) * 24 * 60 * 60;
    if (platform::ParseTimeStamp(stored, last) && last + interval > now) return StartupCheck::NotDue;
    return StartupCheck::Due;
}

std::wstring FormatReplyDate(const UpdateReply& reply)
{
    if (!reply.hasDate) return Utf8ToWideString(reply.dateText);
    std::tm local{};
    localtime_r(&reply.date, &local);
    wchar_t buffer[96];
    if (std::wcsftime(buffer, sizeof buffer / sizeof buffer[0], L"%B %d, %Y", &local) == 0) return std::wstring();
    return buffer;
}
