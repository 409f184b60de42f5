#include "shellcore/AppVersion.h"

#include "base/StringFormat.h"

namespace {
AppVersion g_version;
}

void SetAppVersion(const AppVersion& version)
{
    g_version = version;
}

const AppVersion& GetAppVersion()
{
    return g_version;
}

uint32_t GetBuildNumber()
{
    return g_version.build;
}

std::string GetVersionText()
{
    std::string text;
    FormatString(text, "%d.%d.%d.%d", g_version.major, g_version.minor, g_version.patch, g_version.build);
    return text;
}
