#pragma once
// The running program's version, compiled in by the build and set once at
// start-up; read by the about box, the update check and the feedback mails.

#include <cstdint>
#include <string>

struct AppVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t patch = 0;
    uint16_t build = 0;
};

void SetAppVersion(const AppVersion& version);
const AppVersion& GetAppVersion();
// The build number: never 0 in a program built by the project's build.
uint32_t GetBuildNumber();
// "major.minor.patch.build".
std::string GetVersionText();
