// The library's dynamic symbol table holds the thirteen actions and nothing
// else; each of them runs on an empty installation and lets it go on.

#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/installer/setrune/ActionTest.h"

namespace setrunetest {
namespace {

const std::set<std::string> kActions = {
    "OlvaneRegComPlus", "DetectMDAC",    "DisplayHelpContext", "ForceReboot",    "InstallDCOM",
    "InstallMDAC",      "ModifySourceList", "RemoveSingleFileMSI", "StatusMifCommit", "StatusMifInit",
    "UpgradeCheck",     "UpgradeCheckEx", "getIeVersion",
};

template <class T>
bool At(const std::vector<char>& file, size_t offset, T* out)
{
    if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
    std::memcpy(out, file.data() + offset, sizeof(T));
    return true;
}

// Names the file's .dynsym defines (global, weak or unique binding).
std::set<std::string> DefinedDynamicSymbols(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Elf64_Ehdr header;
    std::set<std::string> names;
    if (!At(file, 0, &header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64) {
        ADD_FAILURE() << path << " is no 64-bit ELF file";
        return names;
    }
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    for (size_t i = 0; i < sections.size(); ++i)
        if (!At(file, header.e_shoff + i * sizeof(Elf64_Shdr), &sections[i])) return names;
    for (const auto& s : sections) {
        if (s.sh_type != SHT_DYNSYM || s.sh_link >= sections.size()) continue;
        const Elf64_Shdr& strings = sections[s.sh_link];
        for (size_t off = s.sh_offset; off + sizeof(Elf64_Sym) <= s.sh_offset + s.sh_size; off += sizeof(Elf64_Sym)) {
            Elf64_Sym sym;
            if (!At(file, off, &sym)) break;
            int binding = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || sym.st_name == 0 ||
                (binding != STB_GLOBAL && binding != STB_WEAK && binding != STB_GNU_UNIQUE))
                continue;
            size_t at = strings.sh_offset + sym.st_name;
            if (at >= file.size()) continue;
            names.insert(std::string(file.data() + at, strnlen(file.data() + at, file.size() - at)));
        }
    }
    return names;
}

TEST(SetruneExports, ExactlyTheThirteenActions)
{
    EXPECT_EQ(DefinedDynamicSymbols(SETRUNE_LIBRARY), kActions);
}

TEST(SetruneExports, TheLoadedLibraryFindsEachAction)
{
    for (const auto& name : kActions) EXPECT_NE(FindAction(name.c_str()), nullptr) << name;
    EXPECT_EQ(FindAction("PackProductCode"), nullptr);
}

class EmptyInstallation : public ActionTest {};

TEST_F(EmptyInstallation, EveryActionLetsTheInstallationGoOn)
{
    // No properties, tables, keys or products: nothing to do, nothing
    // reported as a failure (ForceReboot alone asks for the reboot).
    for (const auto& name : kActions) {
        UINT expected = name == "ForceReboot" ? ERROR_INSTALL_SUSPEND : ERROR_SUCCESS;
        EXPECT_EQ(Run(name.c_str()), expected) << name;
    }
}

TEST_F(EmptyInstallation, DeferredActionsReturnAtOnce)
{
    session.SetMode(MSIRUNMODE_SCHEDULED, true);
    session.CreateDatabase();
    session.SetProperty("Version9X", "400");
    session.SetProperty("INSTALLMDAC.2D733AE4_F6A6_11D3_B2CC_0080ADC9AB90", "1");
    host.libraries["msi.dll"]["MsiEnumRelatedProductsA"] = reinterpret_cast<void*>(&MsiEnumRelatedProductsA);
    for (const char* name : {"InstallDCOM", "DetectMDAC", "InstallMDAC", "UpgradeCheck", "UpgradeCheckEx",
                             "OlvaneRegComPlus"}) {
        EXPECT_EQ(Run(name), ERROR_SUCCESS) << name;
    }
    EXPECT_EQ(session.Property("INSTALLMDAC.2D733AE4_F6A6_11D3_B2CC_0080ADC9AB90"), "1");
    EXPECT_EQ(host.librariesLoaded, 0);
    EXPECT_TRUE(host.runs.empty());
}

} // namespace
} // namespace setrunetest
