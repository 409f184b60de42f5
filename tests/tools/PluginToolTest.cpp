// The registration tool on the user's settings, and a plug-in built outside
// the project against the contract headers, registered with the tool, then
// loaded and called by the plug-in manager.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/Utf8.h"
#include "model/plugins/CPluginManager.h"
#include "model/plugins/PluginRegistry.h"
#include "tests/support/LogCapture.h"
#include "tests/support/OutsidePlugin.h"
#include "tests/support/TempHome.h"

namespace {

struct ToolRun {
    int status;
    std::string output;
};

ToolRun RunTool(const std::string& arguments)
{
    ToolRun run{-1, {}};
    FILE* pipe = popen((std::string(ARB_PLUGINS_TOOL) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class PluginToolTest : public testsupport::TempHomeTest {};

TEST_F(PluginToolTest, RegistersListsAndUnregisters)
{
    testsupport::TempFolder folder;
    std::string library = folder.Path() + "/libsample.so";
    FILE* file = fopen(library.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);

    struct Case {
        std::string arguments;
        int status;
        std::string output;  // empty: not checked
    } cases[] = {
        {"", 2, ""},
        {"frobnicate", 2, ""},
        {"list", 0, "\n"},
        {"register Arb.Two 'Second one' " + library, 0, ""},
        {"register Arb.One 'First one' " + library, 0, ""},
        {"register Arb.Three Third " + folder.Path() + "/missing.so", 1,
         "arbolite-plugins: " + folder.Path() + "/missing.so: no such library\n"},
        {"list", 0, "Arb.One\tFirst one\t" + library + "\nArb.Two\tSecond one\t" + library + "\n"},
        {"unregister Arb.Two", 0, ""},
        {"unregister Arb.Two", 1, "arbolite-plugins: 'Arb.Two' is not registered\n"},
        {"list", 0, "Arb.One\tFirst one\t" + library + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.output;
        if (c.output == "\n") {
            EXPECT_EQ(run.output, "");
        } else if (!c.output.empty()) {
            EXPECT_EQ(run.output, c.output);
        }
    }
    // A relative path is stored as the absolute one.
    std::string command = "cd '" + folder.Path() + "' && " + ARB_PLUGINS_TOOL + " register Arb.Rel Rel libsample.so";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<PluginRegistration> registered = ReadPluginRegistrations();
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_EQ(registered[1].progId, L"Arb.Rel");
    EXPECT_EQ(registered[1].path, Utf8ToWideString(library));
}

TEST_F(PluginToolTest, APluginBuiltOutsideConvertsValues)
{
    testsupport::TempFolder folder;
    std::string log;
    std::string library = testsupport::BuildOutsidePlugin(folder.Path(), log);
    ASSERT_FALSE(library.empty()) << log;
    ToolRun run = RunTool("register Outside.Shouting Shouting '" + library + "'");
    ASSERT_EQ(run.status, 0) << run.output;

    testsupport::LogCapture lines;
    CPluginManager manager;
    EXPECT_EQ(lines.Lines(), (std::vector<std::wstring>{L"Loading plugins..."}));
    ASSERT_EQ(manager.GetPlugins().size(), 1u);
    EXPECT_EQ(manager.GetPlugins()[0]->GetText2(), L"Built outside Arbolite");
    std::shared_ptr<CPluginProxy> proxy = manager.Lookup("SN", "");
    ASSERT_NE(proxy, nullptr);
    std::string shown;
    EXPECT_TRUE(proxy->Call("sn", "Knuth", shown));
    EXPECT_EQ(shown, "SN: KNUTH");
}

} // namespace
