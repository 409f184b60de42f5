// arbolite-plugins: registers value-converter plug-ins in the user's
// settings (ARBOLITE_HOME honoured), as an installer would.
//
//   arbolite-plugins list
//   arbolite-plugins register PROGID NAME PATH
//   arbolite-plugins unregister PROGID

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/Utf8.h"
#include "model/plugins/PluginRegistry.h"

namespace {

int Usage()
{
    std::fputs("usage: arbolite-plugins list\n"
               "       arbolite-plugins register PROGID NAME PATH\n"
               "       arbolite-plugins unregister PROGID\n",
               stderr);
    return 2;
}

int List()
{
    for (const PluginRegistration& plugin : ReadPluginRegistrations())
        std::printf("%s\t%s\t%s\n", WideToUtf8Text(plugin.progId).c_str(), WideToUtf8Text(plugin.friendlyName).c_str(),
                    WideToUtf8Text(plugin.path).c_str());
    return 0;
}

int Register(const char* progId, const char* name, const char* path)
{
    std::error_code ec;
    std::filesystem::path library = std::filesystem::absolute(path, ec);
    if (ec || !std::filesystem::is_regular_file(library, ec)) {
        std::fprintf(stderr, "arbolite-plugins: %s: no such library\n", path);
        return 1;
    }
    if (!RegisterPlugin({Utf8ToWideString(progId), Utf8ToWideString(name), Utf8ToWideString(library.string())})) {
        std::fprintf(stderr, "arbolite-plugins: cannot register '%s'\n", progId);
        return 1;
    }
    return 0;
}

int Unregister(const char* progId)
{
    if (!UnregisterPlugin(Utf8ToWideString(progId))) {
        std::fprintf(stderr, "arbolite-plugins: '%s' is not registered\n", progId);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) return List();
    if (argc == 5 && std::strcmp(argv[1], "register") == 0) return Register(argv[2], argv[3], argv[4]);
    if (argc == 3 && std::strcmp(argv[1], "unregister") == 0) return Unregister(argv[2]);
    return Usage();
}
