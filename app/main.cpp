#include <chrono>

#include "jobs/CLDAPThread.h"
#include "platform/BrokenPipe.h"
#include "ui/ArbApp.h"
#include "ui/MainWindowParts.h"

int main(int argc, char** argv)
{
    platform::IgnoreBrokenPipe();

    AppVersion version;
    version.major = ARBOLITE_VERSION_MAJOR;
    version.minor = ARBOLITE_VERSION_MINOR;
    version.patch = ARBOLITE_VERSION_PATCH;
    version.build = ARBOLITE_BUILD_NUMBER;

    // The end has stopped and waited for the workers; one that outlived that
    // wait must not meet the static objects' destruction.
    return EndWorkersBeforeExit(RunArbolite(argc, argv, version, ui::MakeMainWindowParts()), std::chrono::seconds(2));
}
