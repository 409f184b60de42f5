// Reads a subtree from a local slapd through the session layer's two paths
// (the result queue and LDAPSyncConnection::Search) and through two plain
// library loops (ldap_get_values_len per attribute, and one walk with
// ldap_get_attribute_ber), taking turns for several rounds. Prints the median
// and fastest wall times and the client's CPU times, their ratios to the
// fastest plain loop, and the peak memory of a larger read through each path,
// each in a process of its own. Every path holds what it read until the read
// is over: the layer's entries, or (for the memory figures only) the plain
// loops' messages.
//
//   bench_entry_read [rounds] [entries] [memory-entries]
//
// The server is built for the run (a generated LDIF loaded with slapadd) and
// removed at the end.

#include <ldap.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPResultQueue.h"
#include "ldap/LDAPSyncConnection.h"
#include "tests/support/SlapdServer.h"

using namespace arbldap;

namespace {

using Clock = std::chrono::steady_clock;

const char* const kHost = "127.0.0.1";
const char* const kTimedBase = "ou=timed,o=bench";
const char* const kMemoryBase = "ou=memory,o=bench";

// What a read saw; every path must see the same.
struct Tally {
    size_t entries = 0;
    size_t attributes = 0;
    size_t values = 0;
    size_t bytes = 0;  // of DNs, names and values

    bool operator==(const Tally& o) const
    {
        return entries == o.entries && attributes == o.attributes && values == o.values && bytes == o.bytes;
    }
};

// One person: eleven attributes, seventeen values, in the order they are
// stored.
std::string Person(size_t i, const char* ou)
{
    char n[16];
    std::snprintf(n, sizeof n, "%07zu", i);
    std::string id = n;
    std::string e;
    e.reserve(700);
    e += "dn: uid=u" + id + ",ou=" + ou + ",o=bench\n";
    e += "objectClass: top\nobjectClass: person\nobjectClass: organizationalPerson\nobjectClass: inetOrgPerson\n";
    e += "uid: u" + id + "\n";
    e += "cn: Bench User " + id + "\ncn: User " + id + "\n";
    e += "sn: User" + id + "\n";
    e += "givenName: Bench\n";
    e += "mail: u" + id + "@bench.example\nmail: user." + id + "@mail.bench.example\n";
    e += "telephoneNumber: +1 555 " + id.substr(1, 3) + " " + id.substr(3) + "\n";
    e += "telephoneNumber: +1 555 9" + id.substr(2, 2) + " " + id.substr(3) + "\n";
    e += "title: Engineer, grade " + std::to_string(i % 7) + "\n";
    e += "l: Springfield\n";
    e += "description: Generated entry " + id + " for the entry reader benchmark of the session layer\n";
    e += "employeeNumber: " + id + "\n\n";
    return e;
}

std::string Ldif(size_t timed, size_t memory)
{
    std::string ldif = "dn: o=bench\nobjectClass: organization\no: bench\n\n"
                       "dn: ou=timed,o=bench\nobjectClass: organizationalUnit\nou: timed\n\n"
                       "dn: ou=memory,o=bench\nobjectClass: organizationalUnit\nou: memory\n\n";
    ldif.reserve(ldif.size() + (timed + memory) * 650);
    for (size_t i = 0; i < timed; ++i) ldif += Person(i, "timed");
    for (size_t i = 0; i < memory; ++i) ldif += Person(i, "memory");
    return ldif;
}

// ---- the four paths; each reads the whole subtree under base -------------

struct Held {
    std::vector<std::unique_ptr<LDAPResponse>> responses;
    std::unique_ptr<LDAPSearchResults> results;
    std::vector<LDAPMessage*> messages;

    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        for (LDAPMessage* m : messages) ldap_msgfree(m);
    }
};

void Count(const LDAPEntry& entry, Tally& t)
{
    ++t.entries;
    t.bytes += entry.GetDN().size();
    for (const LDAPAttribute& a : entry.GetAttributes()) {
        ++t.attributes;
        t.bytes += a.GetName().size();
        t.values += a.GetValueCount();
    }
    t.bytes += entry.GetValuesSize();
}

// The queue path: every response as the result queue hands it out, kept.
void ReadQueue(LDAPConnection& c, const char* base, Held& held)
{
    std::unique_ptr<LDAPResultQueue> queue = c.Search(base, 2, "", StringList(), false);
    while (std::unique_ptr<LDAPResponse> response = queue->GetNextResponse()) {
        if (response->GetMessageType() == kLDAPSearchEntry) {
            held.responses.push_back(std::move(response));
        } else if (auto* result = dynamic_cast<LDAPResultResponse*>(response.get())) {
            if (result->GetResultCode() != LDAP_SUCCESS) throw LDAPException(result->GetResultCode());
        }
    }
}

Tally CountQueue(const Held& held)
{
    Tally t;
    for (const auto& r : held.responses) Count(static_cast<const LDAPEntryResponse&>(*r).GetEntry(), t);
    return t;
}

void ReadSync(LDAPSyncConnection& c, const char* base, Held& held)
{
    held.results = c.Search(base, 2, "", StringList(), false);
}

Tally CountSync(const Held& held)
{
    Tally t;
    for (const LDAPEntry& e : held.results->GetEntries()) Count(e, t);
    return t;
}

int SendSearch(LDAP* ld, const char* base)
{
    int msgid = -1;
    int rc = ldap_search_ext(ld, base, LDAP_SCOPE_SUBTREE, "(objectClass=*)", nullptr, 0, nullptr, nullptr,
                             nullptr, 0, &msgid);
    if (rc != LDAP_SUCCESS) throw LDAPException(rc);
    return msgid;
}

// Reads every message of the search, hands each entry to walk, then frees it
// or (with keep) holds it.
void PlainLoop(LDAP* ld, const char* base, const std::function<void(LDAPMessage*)>& walk,
               std::vector<LDAPMessage*>* keep)
{
    int msgid = SendSearch(ld, base);
    for (;;) {
        LDAPMessage* m = nullptr;
        if (ldap_result(ld, msgid, LDAP_MSG_ONE, nullptr, &m) <= 0 || !m) throw LDAPException(LDAP_SERVER_DOWN);
        int type = ldap_msgtype(m);
        if (type == LDAP_RES_SEARCH_ENTRY) {
            walk(m);
            if (keep) {
                keep->push_back(m);
                continue;
            }
        }
        ldap_msgfree(m);
        if (type == LDAP_RES_SEARCH_RESULT) return;
    }
}

// ldap_first_attribute / ldap_next_attribute with ldap_get_values_len.
void WalkValuesLen(LDAP* ld, LDAPMessage* m, Tally& t)
{
    ++t.entries;
    char* dn = ldap_get_dn(ld, m);
    t.bytes += std::strlen(dn);
    ldap_memfree(dn);
    BerElement* ber = nullptr;
    for (char* a = ldap_first_attribute(ld, m, &ber); a; a = ldap_next_attribute(ld, m, ber)) {
        ++t.attributes;
        t.bytes += std::strlen(a);
        berval** values = ldap_get_values_len(ld, m, a);
        for (berval** v = values; v && *v; ++v) {
            ++t.values;
            t.bytes += (*v)->bv_len;
        }
        ldap_value_free_len(values);
        ldap_memfree(a);
    }
    ber_free(ber, 0);
}

// One walk: ldap_get_dn_ber, then ldap_get_attribute_ber per attribute.
void WalkAttributeBer(LDAP* ld, LDAPMessage* m, Tally& t)
{
    ++t.entries;
    BerElement* ber = nullptr;
    berval dn{};
    if (ldap_get_dn_ber(ld, m, &ber, &dn) != LDAP_SUCCESS) throw LDAPException(LDAP_DECODING_ERROR);
    t.bytes += dn.bv_len;
    berval name{};
    berval* values = nullptr;
    while (ldap_get_attribute_ber(ld, m, ber, &name, &values) == LDAP_SUCCESS && name.bv_val) {
        ++t.attributes;
        t.bytes += name.bv_len;
        for (berval* v = values; v && v->bv_val; ++v) {
            ++t.values;
            t.bytes += v->bv_len;
        }
        ber_memfree(values);
        values = nullptr;
    }
    ber_free(ber, 0);
}

// ---- sessions ------------------------------------------------------------

struct PlainSession {
    LDAP* ld = nullptr;
    explicit PlainSession(int port)
    {
        std::string url = "ldap://" + std::string(kHost) + ":" + std::to_string(port) + "/";
        if (ldap_initialize(&ld, url.c_str()) != LDAP_SUCCESS) throw std::runtime_error("ldap_initialize failed");
        int version = LDAP_VERSION3;
        ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
        berval empty{};
        if (ldap_sasl_bind_s(ld, "", LDAP_SASL_SIMPLE, &empty, nullptr, nullptr, nullptr) != LDAP_SUCCESS)
            throw std::runtime_error("bind failed");
    }
    ~PlainSession() { ldap_unbind_ext_s(ld, nullptr, nullptr); }
    PlainSession(const PlainSession&) = delete;
    PlainSession& operator=(const PlainSession&) = delete;
};

enum Path { kQueue, kSync, kValuesLen, kAttributeBer, kPathCount };
const char* const kPathNames[] = {"queue (LDAPResultQueue)", "sync (LDAPSyncConnection::Search)",
                                  "plain ldap_get_values_len", "plain ldap_get_attribute_ber"};
const char* const kPathArgs[] = {"queue", "sync", "values-len", "attribute-ber"};

struct Sessions {
    RefPtr<LDAPSyncConnection> layer;
    std::unique_ptr<PlainSession> plain;
    explicit Sessions(int port) : layer(LDAPSyncConnection::Create(kHost, port)), plain(new PlainSession(port))
    {
        layer->SetProtocolVersion(3);
        layer->Bind("", "");
    }
};

// Reads base through the path into held; the returned tally is taken after
// the read (the plain loops count while they walk, as they must).
Tally Read(Path path, Sessions& s, const char* base, Held& held, bool keepMessages)
{
    Tally t;
    LDAP* ld = s.plain->ld;
    switch (path) {
    case kQueue: ReadQueue(*s.layer, base, held); break;
    case kSync: ReadSync(*s.layer, base, held); break;
    case kValuesLen:
        PlainLoop(ld, base, [&](LDAPMessage* m) { WalkValuesLen(ld, m, t); }, keepMessages ? &held.messages : nullptr);
        break;
    case kAttributeBer:
        PlainLoop(ld, base, [&](LDAPMessage* m) { WalkAttributeBer(ld, m, t); },
                  keepMessages ? &held.messages : nullptr);
        break;
    default: break;
    }
    return t;
}

Tally CountAfter(Path path, const Held& held, const Tally& walked)
{
    switch (path) {
    case kQueue: return CountQueue(held);
    case kSync: return CountSync(held);
    default: return walked;
    }
}

double CpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// The machine's load over the last minute: the times mean little when it
// is far above the number of cores.
std::string LoadAverage()
{
    double load = -1;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = -1;
        std::fclose(f);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f on %ld cores", load, sysconf(_SC_NPROCESSORS_ONLN));
    return text;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// ---- peak memory: one child process per path -----------------------------

// The process's peak resident set in kB. Not getrusage's max RSS: that keeps
// the pages a child had before exec, copied from a parent that may be large.
long PeakRssKb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    long kb = -1;
    char line[256];
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

// In the child: connect, read base through the path holding everything, and
// print its peak memory and the tally.
int MemoryChild(const char* pathArg, int port, const char* base)
{
    Sessions s(port);
    Held held;
    Tally t;
    for (int p = 0; p < kPathCount; ++p) {
        if (std::strcmp(pathArg, kPathArgs[p]) == 0) {
            t = CountAfter(Path(p), held, Read(Path(p), s, base, held, true));
            break;
        }
    }
    std::printf("%ld %zu %zu %zu %zu\n", PeakRssKb(), t.entries, t.attributes, t.values, t.bytes);
    return 0;
}

std::string SelfPath()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) throw std::runtime_error("cannot find the program's own path");
    return std::string(buf, static_cast<size_t>(n));
}

// Peak RSS in kB of a fresh process reading through the path ("none": only
// connects), and its tally.
long MemoryOf(const std::string& self, const char* pathArg, int port, Tally& t)
{
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    std::string portText = std::to_string(port);
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        execl(self.c_str(), self.c_str(), "--memory", pathArg, portText.c_str(), kMemoryBase,
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long kb = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(out.c_str(), "%ld %zu %zu %zu %zu", &kb, &t.entries, &t.attributes, &t.values, &t.bytes) != 5)
        throw std::runtime_error(std::string("memory child failed: ") + pathArg);
    return kb;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 5 && std::strcmp(argv[1], "--memory") == 0)
            return MemoryChild(argv[2], std::atoi(argv[3]), argv[4]);

        int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
        size_t timed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10000;
        size_t memory = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 100000;
        if (rounds < 1 || timed < 1) {
            std::fprintf(stderr, "usage: bench_entry_read [rounds] [entries] [memory-entries]\n");
            return 2;
        }

        std::printf("Building a slapd with %zu + %zu entries (11 attributes, 17 values each) ...\n", timed, memory);
        std::fflush(stdout);
        auto start = Clock::now();
        std::unique_ptr<testsupport::SlapdServer> server;
        {
            std::string ldif = Ldif(timed, memory);
            server = testsupport::SlapdServer::Bench(ldif);
        }
        std::printf("  ready in %.1f s\n\n", std::chrono::duration<double>(Clock::now() - start).count());
        const int port = server->Port();

        // ---- timing ----
        Sessions sessions(port);
        std::vector<double> wall[kPathCount], cpu[kPathCount];
        Tally seen[kPathCount];
        for (int round = -1; round < rounds; ++round) {  // round -1 warms the server up
            for (int k = 0; k < kPathCount; ++k) {
                Path path = Path((k + std::max(round, 0)) % kPathCount);  // a different path leads each round
                Held held;
                double c0 = CpuSeconds();
                auto t0 = Clock::now();
                Tally walked = Read(path, sessions, kTimedBase, held, false);
                double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
                double used = CpuSeconds() - c0;
                seen[path] = CountAfter(path, held, walked);
                if (round >= 0) {
                    wall[path].push_back(elapsed);
                    cpu[path].push_back(used);
                }
            }
        }
        for (int p = 1; p < kPathCount; ++p)
            if (!(seen[p] == seen[0])) throw std::runtime_error(std::string("paths disagree: ") + kPathNames[p]);

        double medWall[kPathCount], minWall[kPathCount], medCpu[kPathCount];
        for (int p = 0; p < kPathCount; ++p) {
            medWall[p] = Median(wall[p]);
            minWall[p] = *std::min_element(wall[p].begin(), wall[p].end());
            medCpu[p] = Median(cpu[p]);
        }
        double bestWall = std::min(medWall[kValuesLen], medWall[kAttributeBer]);
        double bestMin = std::min(minWall[kValuesLen], minWall[kAttributeBer]);
        double bestCpu = std::min(medCpu[kValuesLen], medCpu[kAttributeBer]);
        std::printf("Reading %zu entries (%zu attributes, %zu values), subtree of %s, %d rounds, load %s:\n",
                    seen[0].entries, seen[0].attributes, seen[0].values, kTimedBase, rounds, LoadAverage().c_str());
        std::printf("  %-34s %9s %6s   %9s %6s   %9s %6s\n", "path", "median ms", "ratio", "fastest", "ratio",
                    "CPU ms", "ratio");
        for (int p = 0; p < kPathCount; ++p)
            std::printf("  %-34s %9.2f %6.3f   %9.2f %6.3f   %9.2f %6.3f\n", kPathNames[p], medWall[p] * 1e3,
                        medWall[p] / bestWall, minWall[p] * 1e3, minWall[p] / bestMin, medCpu[p] * 1e3,
                        medCpu[p] / bestCpu);
        std::printf("  (wall time median and fastest round; CPU: the client's median; ratios to the fastest plain\n"
                    "   loop of each column; goal: both layer paths under 1.2)\n\n");
        std::fflush(stdout);

        // ---- peak memory ----
        std::string self = SelfPath();
        std::printf("Peak memory reading the %zu entries of %s, each path in a process of its own:\n", memory,
                    kMemoryBase);
        std::printf("  %-36s %10s\n", "path", "max RSS MB");
        Tally none;
        std::printf("  %-36s %10.1f\n", "connected, nothing read", MemoryOf(self, "none", port, none) / 1024.0);
        Tally first;
        for (int p = 0; p < kPathCount; ++p) {
            Tally t;
            long kb = MemoryOf(self, kPathArgs[p], port, t);
            std::printf("  %-36s %10.1f\n", kPathNames[p], kb / 1024.0);
            std::fflush(stdout);
            if (p == 0) first = t;
            else if (!(t == first)) throw std::runtime_error(std::string("paths disagree: ") + kPathNames[p]);
        }
        std::printf("  (%zu entries each; the plain loops hold the library's messages; goal: sync under 100 MB)\n",
                    first.entries);
        return 0;
    } catch (const LDAPException& e) {
        std::fprintf(stderr, "bench_entry_read: LDAP error %d\n", e.GetResultCode());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_entry_read: %s\n", e.what());
    }
    return 1;
}
