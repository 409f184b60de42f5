#pragma once
// Builds the plug-in of tests/tools/outside as an author elsewhere would:
// the contract headers copied into a folder of their own, one compiler call,
// nothing of the program linked. The tests that use it define
// ARB_CXX_COMPILER and ARB_SOURCE_DIR.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

// The library's path, or empty (with the compiler's words in log) when the
// build failed.
inline std::string BuildOutsidePlugin(const std::string& folder, std::string& log)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(folder + "/include/base", ec);
    for (const char* header : {"PluginContract.h", "Unknown.h", "Guid.h", "HResult.h"})
        fs::copy_file(std::string(ARB_SOURCE_DIR) + "/base/" + header, folder + "/include/base/" + header,
                      fs::copy_options::overwrite_existing, ec);
    std::string library = folder + "/libshouting.so";
    std::string logFile = folder + "/build.log";
    std::string command = std::string(ARB_CXX_COMPILER) + " -std=c++17 -shared -fPIC -fvisibility=hidden -o '" +
                          library + "' -I '" + folder + "/include' '" + ARB_SOURCE_DIR +
                          "/tests/tools/outside/ShoutingPlugin.cpp' >'" + logFile + "' 2>&1";
    int status = std::system(command.c_str());
    if (status != 0) {
        log = "compiler exit " + std::to_string(status);
        return {};
    }
    return library;
}

} // namespace testsupport
