// Exports 10,000 and 100,000 entries (a subtree) to LDIF through the export
// job, and in the same run writes the same entries with
// "ldapsearch -LLL -o ldif-wrap=no" into a file. Each export runs in a
// process of its own (this program started again with --export), so that
// its peak memory is its own.
//
//   bench_ldif_export [rounds]
//
// Goals: the export under 1.2 times ldapsearch; peak memory for 100,000
// entries within 10 MB of that for 10,000. The last line reads
// "ldif-export: ratio R memory-growth M MB".

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "dialogcore/CLdifExportThread.h"
#include "jobs/CLDAPThread.h"
#include "model/entries/CServerObject.h"
#include "model/nodes/CDataObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/nodes/TreeViewOperations.h"
#include "model/ports/LdifExport.h"
#include "platform/ResourceLibrary.h"
#include "schema/SchemaLoadThread.h"
#include "schema/SyntaxCatalogue.h"
#include "tests/support/ChildrenDirectory.h"
#include "tests/support/HeadlessControls.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/SlapdServer.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

long PeakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// The child: one export, then "milliseconds peak-kB" on stdout.
int ExportOnce(int port, const std::string& path)
{
    platform::ResourceLibrary::Current().LoadDefault();
    InitSchemaTables();
    CDataObject::InitCommandImages();
    platform::HeadlessUi ui;
    platform::HeadlessShell shell;
    CServerProfile profile;
    profile.SetProfileName(L"bench");
    profile.SetHostName(L"127.0.0.1");
    profile.SetPort(port);
    profile.SetBaseDN(arbldap::LDAPDN("o=bench"));
    profile.SetAnonymousBind(1);
    auto node = std::make_unique<CServerObject>(profile);
    CServerObject* server = node.get();
    if (!InsertObjectItem(*node, platform::kTreeRoot)) return 1;
    node.release();

    LdifExportRequest request;
    request.scope = 2;
    request.output = 1;
    request.firstOption = false;
    request.path = std::wstring(path.begin(), path.end());
    request.filter = "(objectclass=*)";
    const Clock::time_point start = Clock::now();
    StartLdifExport(*server, request, nullptr);
    while (GetRunningThreadCount() != 0 || server->IsBusy()) {
        ui.Dispatcher().Pump();
        ui.Dispatcher().WaitForWork(1);
    }
    ui.Dispatcher().Pump();
    const double ms = Millis(Clock::now() - start);
    std::printf("%.1f %ld\n", ms, PeakKilobytes());
    DeleteChildItems(platform::kTreeRoot);
    return 0;
}

size_t CountRecords(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    size_t records = 0;
    while (std::getline(in, line))
        if (line.rfind("dn:", 0) == 0) ++records;
    return records;
}

struct Figures {
    double exportMs;
    long peakKb;
    double searchMs;
};

Figures Measure(const char* self, int port, size_t entries, int rounds, const std::string& folder)
{
    const std::string exported = folder + "/export.ldif";
    const std::string searched = folder + "/ldapsearch.ldif";
    std::vector<double> exports, searches;
    long peak = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::string said = testsupport::Run(std::string("'") + self + "' --export " + std::to_string(port) +
                                                  " '" + exported + "'");
        double ms = 0;
        long kb = 0;
        if (std::sscanf(said.c_str(), "%lf %ld", &ms, &kb) != 2) {
            std::fprintf(stderr, "export run said: %s\n", said.c_str());
            std::exit(1);
        }
        exports.push_back(ms);
        peak = std::max(peak, kb);
        const Clock::time_point start = Clock::now();
        testsupport::Run("ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" + std::to_string(port) +
                         " -b o=bench -s sub '(objectclass=*)' > '" + searched + "'");
        searches.push_back(Millis(Clock::now() - start));
    }
    // The base and the parent besides the children.
    const size_t expected = entries + 2;
    if (CountRecords(exported) != expected || CountRecords(searched) != expected) {
        std::fprintf(stderr, "records: export %zu, ldapsearch %zu, expected %zu\n", CountRecords(exported),
                     CountRecords(searched), expected);
        std::exit(1);
    }
    return Figures{Median(exports), peak, Median(searches)};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--export")
        return ExportOnce(std::atoi(argv[2]), argv[3]);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string folder = slapd::MakeTempFolder("arbolite-ldif-bench-");

    std::vector<std::pair<size_t, Figures>> results;
    for (size_t entries : {size_t(10000), size_t(100000)}) {
        std::unique_ptr<testsupport::SlapdServer> server =
            testsupport::SlapdServer::Bench(testsupport::ChildrenLdif(entries));
        // One run of each first: the server's caches warm up.
        Measure(argv[0], server->Port(), entries, 1, folder);
        results.emplace_back(entries, Measure(argv[0], server->Port(), entries, rounds, folder));
    }
    testsupport::Run("rm -rf '" + folder + "'");

    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("rounds: %d, load average: %.2f\n", rounds, load[0]);
    for (const auto& [entries, f] : results)
        std::printf("%7zu entries: export %8.1f ms, ldapsearch %8.1f ms, ratio %.2f, export peak memory %.1f MB\n",
                    entries, f.exportMs, f.searchMs, f.exportMs / f.searchMs, f.peakKb / 1024.0);
    const Figures& big = results.back().second;
    const double growth = (big.peakKb - results.front().second.peakKb) / 1024.0;
    std::printf("ldif-export: ratio %.2f memory-growth %.1f MB\n", big.exportMs / big.searchMs, growth);
    return 0;
}
