// The layers may only include downwards: every quoted include names a folder
// that the including folder's library depends on (directly or through
// another), <ldap.h> stays inside the LDAP layer's sources, the toolkit's
// headers stay in the GUI folders, no program source reaches into tests/,
// and the installer's libraries use nothing of the program. Inside one
// folder the units (a header and its source, by file stem) include each
// other without a ring.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Layer {
    std::string folder;
    std::vector<std::string> depends;  // library names
    bool gui = false;
};

struct Layers {
    std::map<std::string, Layer> byLibrary;
    std::map<std::string, std::string> libraryOfFolder;
};

Layers ReadLayers()
{
    Layers layers;
    std::ifstream in(ARB_LAYERS_FILE);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string library, folder, word;
        if (!(words >> library >> folder)) continue;
        Layer layer;
        layer.folder = folder;
        while (words >> word) {
            if (word == "GUI") layer.gui = true;
            else layer.depends.push_back(word);
        }
        layers.libraryOfFolder[folder] = library;
        layers.byLibrary[library] = layer;
    }
    return layers;
}

// The folders a library may include: its own and every library it reaches.
std::set<std::string> Reachable(const Layers& layers, const std::string& library)
{
    std::set<std::string> seen;
    std::function<void(const std::string&)> visit = [&](const std::string& lib) {
        auto it = layers.byLibrary.find(lib);
        if (it == layers.byLibrary.end() || !seen.insert(it->second.folder).second) return;
        for (const auto& d : it->second.depends) visit(d);
    };
    visit(library);
    return seen;
}

struct Include {
    std::string file;  // relative to the source root
    int line;
    std::string target;
    bool angled;
};

std::vector<Include> IncludesBelow(const std::string& folder)
{
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> out;
    fs::path root(ARB_SOURCE_DIR);
    if (!fs::exists(root / folder)) return out;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        if (!entry.is_regular_file()) continue;
        auto ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp" && ext != ".inc") continue;
        std::ifstream in(entry.path());
        std::string text;
        int n = 0;
        while (std::getline(in, text)) {
            ++n;
            std::smatch m;
            if (std::regex_search(text, m, kInclude))
                out.push_back({fs::relative(entry.path(), root).string(), n, m[2].str(), m[1].str() == "<"});
        }
    }
    return out;
}

std::string TopFolder(const std::string& path)
{
    return path.substr(0, path.find('/'));
}

// The layer folder a path lies in: the longest layer folder it starts with
// (the installer's libraries sit one level down), else its top folder.
std::string FolderOf(const Layers& layers, const std::string& path)
{
    std::string best;
    for (const auto& [folder, library] : layers.libraryOfFolder)
        if (folder.size() > best.size() && path.compare(0, folder.size() + 1, folder + "/") == 0) best = folder;
    return best.empty() ? TopFolder(path) : best;
}

std::string Where(const Include& inc)
{
    return inc.file + ":" + std::to_string(inc.line) + " includes " + inc.target;
}

bool IsLdapSdkHeader(const std::string& target)
{
    return target == "ldap.h" || target == "lber.h" || target == "ldap_schema.h" || target == "ldif.h";
}

bool IsToolkitHeader(const std::string& target)
{
    return target.rfind("wx/", 0) == 0 || target.rfind("gtk/", 0) == 0;
}

class LayeringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers = ReadLayers();
        ASSERT_FALSE(layers.byLibrary.empty()) << "no layers in " << ARB_LAYERS_FILE;
    }
    Layers layers;
};

TEST_F(LayeringTest, DependencyListHasNoCycle)
{
    std::map<std::string, int> state;  // 1 visiting, 2 done
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& lib) {
        if (state[lib] == 2) return;
        path.push_back(lib);
        if (state[lib] == 1) {
            std::string cycle;
            for (const auto& p : path) cycle += p + " ";
            ADD_FAILURE() << "cycle: " << cycle;
            path.pop_back();
            return;
        }
        state[lib] = 1;
        auto it = layers.byLibrary.find(lib);
        if (it != layers.byLibrary.end())
            for (const auto& d : it->second.depends) visit(d);
        state[lib] = 2;
        path.pop_back();
    };
    for (const auto& [lib, layer] : layers.byLibrary) visit(lib);
}

TEST_F(LayeringTest, ProgramFoldersIncludeOnlyTheirLayerAndBelow)
{
    for (const auto& [library, layer] : layers.byLibrary) {
        auto allowed = Reachable(layers, library);
        for (const auto& inc : IncludesBelow(layer.folder)) {
            if (inc.angled) continue;
            if (TopFolder(inc.target) == inc.target) continue;  // a file beside the includer
            std::string folder = FolderOf(layers, inc.target);
            EXPECT_TRUE(allowed.count(folder)) << Where(inc) << ": " << layer.folder
                                               << " may not use " << folder;
        }
    }
}

TEST_F(LayeringTest, LdapLibraryHeaderStaysInsideTheLdapLayerSources)
{
    for (const auto& [library, layer] : layers.byLibrary)
        for (const auto& inc : IncludesBelow(layer.folder)) {
            if (!inc.angled || !IsLdapSdkHeader(inc.target)) continue;
            bool source = inc.file.size() > 4 && inc.file.substr(inc.file.size() - 4) == ".cpp";
            EXPECT_TRUE(layer.folder == "ldap" && source) << Where(inc);
        }
}

TEST_F(LayeringTest, ToolkitHeadersStayInGuiFolders)
{
    for (const auto& [library, layer] : layers.byLibrary)
        for (const auto& inc : IncludesBelow(layer.folder))
            if (inc.angled && IsToolkitHeader(inc.target)) {
                EXPECT_TRUE(layer.gui) << Where(inc) << ": " << layer.folder << " is not a GUI folder";
            }
}

// The units of one folder: a header and a source of the same stem are one
// unit; an include of a file of the same folder is an arrow between units.
std::map<std::string, std::set<std::string>> UnitArrows(const std::string& folder)
{
    auto stemOf = [](const std::string& path) { return fs::path(path).stem().string(); };
    std::map<std::string, std::set<std::string>> arrows;
    fs::path root(ARB_SOURCE_DIR);
    if (!fs::exists(root / folder)) return arrows;
    for (const auto& entry : fs::directory_iterator(root / folder)) {
        auto ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp")) arrows[entry.path().stem().string()];
    }
    for (const auto& inc : IncludesBelow(folder)) {
        if (inc.angled || fs::path(inc.file).parent_path().string() != folder) continue;
        std::string target = TopFolder(inc.target) == inc.target ? folder + "/" + inc.target : inc.target;
        if (fs::path(target).parent_path().string() != folder) continue;
        std::string from = stemOf(inc.file), to = stemOf(target);
        if (from != to) arrows[from].insert(to);
    }
    return arrows;
}

// Each ring once, as the units of one strongly connected part.
std::vector<std::vector<std::string>> Rings(const std::map<std::string, std::set<std::string>>& arrows)
{
    std::map<std::string, int> index, low;
    std::set<std::string> onStack;
    std::vector<std::string> stack;
    std::vector<std::vector<std::string>> rings;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& unit) {
        index[unit] = low[unit] = next++;
        stack.push_back(unit);
        onStack.insert(unit);
        auto it = arrows.find(unit);
        if (it != arrows.end())
            for (const auto& to : it->second) {
                if (!index.count(to)) {
                    visit(to);
                    low[unit] = std::min(low[unit], low[to]);
                } else if (onStack.count(to)) {
                    low[unit] = std::min(low[unit], index[to]);
                }
            }
        if (low[unit] != index[unit]) return;
        std::vector<std::string> part;
        std::string member;
        do {
            member = stack.back();
            stack.pop_back();
            onStack.erase(member);
            part.push_back(member);
        } while (member != unit);
        if (part.size() > 1) rings.push_back(part);
    };
    for (const auto& [unit, to] : arrows)
        if (!index.count(unit)) visit(unit);
    return rings;
}

// Rings that stood when this check came, left to their folders' own rework:
// such a ring may lose units, never gain one, and no other ring may come.
const std::map<std::string, std::vector<std::set<std::string>>> kStandingRings = {
    {"ldap",
     {{"LDAPModArray", "LDAPModificationList"},
      {"DecodingSession", "FormatLDAPError", "LDAPAttributeList", "LDAPConnection", "LDAPEntry", "LDAPException",
       "LDAPRequest", "LDAPResponse", "LDAPResultQueue", "LDAPUrl"}}},
    {"schema/compound",
     {{"CompoundFileCore", "CompoundFileFormat", "CompoundFileLock", "CompoundOpenFiles", "CompoundStorage"}}},
    {"dialogs",
     {{"CCommonPropertySheet", "CPropertyPage"},
      {"CProfileEditorHostDlg", "CProfileEditorLDAPSettings", "CProfileEditorNameDlg", "CProfileEditorUserDlg",
       "CProfileEditorWizard", "CProfileWizardPage"}}},
    {"ui", {{"CArbDocument", "CArbListView", "CArbMainFrame", "CArbTreeView", "CCommandComboBox"}}},
    {"installer/msi", {{"HandleObjects", "Handles"}, {"Machine", "Products"}}},
};

bool IsStandingRing(const std::string& folder, const std::vector<std::string>& ring)
{
    auto it = kStandingRings.find(folder);
    if (it == kStandingRings.end()) return false;
    for (const auto& standing : it->second)
        if (std::all_of(ring.begin(), ring.end(), [&](const std::string& unit) { return standing.count(unit); }))
            return true;
    return false;
}

TEST_F(LayeringTest, NoIncludeRingInsideAFolder)
{
    // A base class's source that includes its subclasses' headers (which
    // include the base) makes such a ring; so do two units that use each other.
    for (const auto& [library, layer] : layers.byLibrary)
        for (auto ring : Rings(UnitArrows(layer.folder))) {
            std::sort(ring.begin(), ring.end());
            if (IsStandingRing(layer.folder, ring)) continue;
            std::string units;
            for (const auto& unit : ring) units += " " + unit;
            ADD_FAILURE() << layer.folder << ": " << ring.size() << " units include each other:" << units;
        }
}

TEST_F(LayeringTest, RingCheckFindsARing)
{
    // The check itself: a base whose source includes its subclass, beside a
    // unit outside the ring.
    std::map<std::string, std::set<std::string>> arrows = {
        {"Base", {"Derived", "Helper"}}, {"Derived", {"Base"}}, {"Helper", {}}};
    auto rings = Rings(arrows);
    ASSERT_EQ(rings.size(), 1u);
    std::sort(rings[0].begin(), rings[0].end());
    EXPECT_EQ(rings[0], (std::vector<std::string>{"Base", "Derived"}));
    EXPECT_TRUE(Rings({{"Base", {"Helper"}}, {"Helper", {}}}).empty());
}

TEST_F(LayeringTest, TestsMirrorTheLayers)
{
    // tests/<folder> may use its folder's layer and below, the shared test
    // support, and its own helpers; only tests/support serves every test folder.
    for (const auto& [library, layer] : layers.byLibrary) {
        auto allowed = Reachable(layers, library);
        for (const auto& inc : IncludesBelow("tests/" + layer.folder)) {
            if (inc.angled) continue;
            std::string top = TopFolder(inc.target);
            if (top == inc.target) continue;
            if (top == "tests") {
                std::string sub = inc.target.substr(6);
                std::string helperFolder = FolderOf(layers, sub);
                bool ok = helperFolder == "support" || helperFolder == layer.folder ||
                          allowed.count(helperFolder);
                EXPECT_TRUE(ok) << Where(inc);
                continue;
            }
            std::string folder = FolderOf(layers, inc.target);
            EXPECT_TRUE(allowed.count(folder)) << Where(inc) << ": tests of " << layer.folder
                                               << " may not use " << folder;
        }
    }
}

TEST_F(LayeringTest, EveryProgramFolderIsALayer)
{
    // A new folder of sources must be given its place in the list.
    static const std::set<std::string> kNotLayers = {"tests", "bench", "build", "cmake",
                                                     "scripts", "resources", ".git", ".ci"};
    fs::path root(ARB_SOURCE_DIR);
    for (const auto& entry : fs::directory_iterator(root)) {
        if (!entry.is_directory()) continue;
        std::string name = entry.path().filename().string();
        if (kNotLayers.count(name) || name.rfind("build", 0) == 0) continue;
        for (const auto& f : fs::recursive_directory_iterator(entry.path())) {
            if (f.path().extension() != ".cpp" && f.path().extension() != ".h") continue;
            std::string file = fs::relative(f.path(), root).string();
            EXPECT_TRUE(layers.libraryOfFolder.count(FolderOf(layers, file)))
                << file << " lies in no layer's folder";
        }
    }
}

TEST_F(LayeringTest, InstallerLinksNothingOfTheProgram)
{
    // setrune ships on its own: the installer's libraries may use only each other.
    auto inInstaller = [](const std::string& folder) { return folder.rfind("installer/", 0) == 0; };
    bool any = false;
    for (const auto& [library, layer] : layers.byLibrary) {
        if (!inInstaller(layer.folder)) continue;
        any = true;
        EXPECT_FALSE(layer.gui) << library;
        for (const auto& folder : Reachable(layers, library))
            EXPECT_TRUE(inInstaller(folder)) << library << " reaches " << folder;
    }
    EXPECT_TRUE(any) << "no installer library in the layer list";
}

} // namespace
