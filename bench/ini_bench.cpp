// Times the INI library against libinih and SimpleIni on the same generated documents.
#include <benchmark/benchmark.h>

#include <ini.h>
// Debian's SimpleIni header lacks the generic converter; the narrow class needs none: it keeps
// UTF-8 as bytes (and so validates nothing, where our library decodes strictly to UTF-16).
// Debian's header keeps the template bodies behind SI_IMPLEMENTATION.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/platform.h"
#include "settings/ini_stream.h"

namespace {

// Our library on the same work: the document from bytes (decoded to UTF-16), reads by name.
namespace ours {

struct Names {
    std::vector<std::u16string> sections, keys;
};

Names Prepare(const std::vector<std::string>& sections, const std::vector<std::string>& keys) {
    Names n;
    for (const auto& s : sections) n.sections.push_back(platform::FromUtf8(s));
    for (const auto& k : keys) n.keys.push_back(platform::FromUtf8(k));
    return n;
}

std::size_t LoadAndReadAll(const std::string& bytes, const Names& n) {
    TIniStream doc;
    doc.LoadFromStream(bytes);
    std::size_t total = 0;
    for (const auto& s : n.sections)
        for (const auto& k : n.keys) total += doc.ReadString(s, k, u"").size();
    return total;
}

std::size_t WriteAndReadAll(const Names& n) {
    TIniStream doc;
    const std::u16string& section = n.sections.front();
    for (const auto& k : n.keys) doc.WriteString(section, k, k);
    std::size_t total = 0;
    for (const auto& k : n.keys) total += doc.ReadString(section, k, u"").size();
    return total;
}

}  // namespace ours

// 200 sections of 100 keys with values of about 40 bytes: a document of about 1 MB.
constexpr int LoadSections = 200;
constexpr int LoadKeys = 100;

std::string sectionName(int s) { return "Section" + std::to_string(s); }
std::string keyName(int k) { return "Key" + std::to_string(k); }
std::string valueText(int s, int k) {
    return "value " + std::to_string(s) + "." + std::to_string(k) + " of the generated document";
}

const std::string& loadDocument() {
    static const std::string doc = [] {
        std::string d = "\xEF\xBB\xBF";
        for (int s = 0; s < LoadSections; ++s) {
            d += '[';
            d += sectionName(s);
            d += "]\r\n";
            for (int k = 0; k < LoadKeys; ++k) d += keyName(k) + "=" + valueText(s, k) + "\r\n";
            d += "\r\n";
        }
        return d;
    }();
    return doc;
}

struct Names {
    std::vector<std::string> sections, keys;
};

const Names& loadNames() {
    static const Names n = [] {
        Names r;
        for (int s = 0; s < LoadSections; ++s) r.sections.push_back(sectionName(s));
        for (int k = 0; k < LoadKeys; ++k) r.keys.push_back(keyName(k));
        return r;
    }();
    return n;
}

// --- Load a document and read every key back ----------------------------------------------

void loadReadOurs(benchmark::State& state) {
    const Names& n = loadNames();
    const auto names = ours::Prepare(n.sections, n.keys);
    for (auto _ : state) {
        const std::size_t total = ours::LoadAndReadAll(loadDocument(), names);
        if (total == 0) state.SkipWithError("nothing read");
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * loadDocument().size()));
}

// inih only parses; keeping the values is the caller's business, as with INIReader.
int inihStore(void* user, const char* section, const char* name, const char* value) {
    auto& m = *static_cast<std::unordered_map<std::string, std::string>*>(user);
    std::string k = section;
    k += '\0';
    k += name;
    m.insert_or_assign(std::move(k), value);
    return 1;
}

void loadReadInih(benchmark::State& state) {
    const Names& n = loadNames();
    for (auto _ : state) {
        std::unordered_map<std::string, std::string> m;
        if (ini_parse_string(loadDocument().c_str(), inihStore, &m) != 0) state.SkipWithError("parse failed");
        std::size_t total = 0;
        std::string k;
        for (const auto& s : n.sections)
            for (const auto& key : n.keys) {
                k = s;
                k += '\0';
                k += key;
                total += m.at(k).size();
            }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * loadDocument().size()));
}

void loadReadSimpleIni(benchmark::State& state) {
    const Names& n = loadNames();
    for (auto _ : state) {
        CSimpleIniA ini(true);
        if (ini.LoadData(loadDocument()) < 0) state.SkipWithError("load failed");
        std::size_t total = 0;
        for (const auto& s : n.sections)
            for (const auto& key : n.keys) total += std::char_traits<char>::length(ini.GetValue(s.c_str(), key.c_str(), ""));
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * loadDocument().size()));
}

// --- Write many new keys into one section, then read each back -----------------------------
// inih cannot write, so only SimpleIni stands beside us here.

std::vector<std::string> manyKeys(int count) {
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) keys.push_back("Entry" + std::to_string(i));
    return keys;
}

void writeReadOurs(benchmark::State& state) {
    const auto keys = manyKeys(static_cast<int>(state.range(0)));
    const auto prepared = ours::Prepare({"Bulk"}, keys);
    for (auto _ : state) {
        const std::size_t total = ours::WriteAndReadAll(prepared);
        if (total == 0) state.SkipWithError("nothing read");
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}

void writeReadSimpleIni(benchmark::State& state) {
    const auto keys = manyKeys(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CSimpleIniA ini(true);
        for (const auto& k : keys) ini.SetValue("Bulk", k.c_str(), k.c_str());
        std::size_t total = 0;
        for (const auto& k : keys) total += std::char_traits<char>::length(ini.GetValue("Bulk", k.c_str(), ""));
        if (total == 0) state.SkipWithError("nothing read");
        benchmark::DoNotOptimize(total);
    }
    state.SetComplexityN(state.range(0));
}

// Keeps every run's CPU time so that the ratios can be printed after the usual table. CPU time,
// not real time: the machines that run this are shared, and waiting for a core is not ours.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void printRatio(const RecordingReporter& rep, const std::string& ours, const std::string& other) {
    const auto a = rep.times.find(ours), b = rep.times.find(other);
    if (a == rep.times.end() || b == rep.times.end()) return;
    std::printf("  %-34s %-34s %8.2f\n", ours.c_str(), other.c_str(), a->second / b->second);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("load_read_1MB/ours", loadReadOurs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("load_read_1MB/inih", loadReadInih)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("load_read_1MB/simpleini", loadReadSimpleIni)->Unit(benchmark::kMillisecond);
    for (const int n : {1000, 5000, 10000, 40000}) {
        benchmark::RegisterBenchmark("write_read_keys/ours", writeReadOurs)->Arg(n)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("write_read_keys/simpleini", writeReadSimpleIni)->Arg(n)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    benchmark::Shutdown();

    std::printf("\nRatios of CPU time, ours / theirs (below 1: ours is faster)\n");
    printRatio(rep, "load_read_1MB/ours", "load_read_1MB/simpleini");
    printRatio(rep, "load_read_1MB/ours", "load_read_1MB/inih");
    for (const char* n : {"1000", "5000", "10000", "40000"})
        printRatio(rep, std::string("write_read_keys/ours/") + n, std::string("write_read_keys/simpleini/") + n);
    // Linear growth keeps the time per key flat; quadratic growth makes it grow with n.
    std::printf("\nCPU time per key written and read back, in ns\n  %-10s", "keys");
    for (const char* n : {"1000", "5000", "10000", "40000"}) std::printf(" %9s", n);
    for (const char* lib : {"ours", "simpleini"}) {
        std::printf("\n  %-10s", lib);
        for (const int n : {1000, 5000, 10000, 40000}) {
            const auto t = rep.times.find(std::string("write_read_keys/") + lib + "/" + std::to_string(n));
            if (t != rep.times.end()) std::printf(" %9.0f", t->second * 1e6 / n);  // the unit is ms
        }
    }
    std::printf("\n");
    return 0;
}
