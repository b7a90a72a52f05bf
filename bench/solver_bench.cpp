// Solver benchmark over the committed positions of bench/solver_positions.txt: the 4 x 4
// tables (compute, load, memory), optimal 3 x 3 and 4 x 4 solving beside an iterative
// deepening on Manhattan distance plus linear conflicts, and the larger boards' lengths
// against their Manhattan distance. Figures per position are wall-clock times.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game/solver/pattern_tables.h"
#include "game/solver/solver.h"
#include "game/solver/table_file.h"
#include "tests/support/manhattan.h"

#ifndef TESS_SOLVER_POSITIONS
#error "TESS_SOLVER_POSITIONS names the positions file"
#endif

namespace {

using solver::TCells;
using testsupport::ManhattanDistance;
using TClock = std::chrono::steady_clock;

const std::atomic<bool> Never{false};

double msSince(TClock::time_point t) { return std::chrono::duration<double, std::milli>(TClock::now() - t).count(); }

std::map<int, std::vector<TCells>> readPositions() {
    std::map<int, std::vector<TCells>> bySize;
    std::ifstream in(TESS_SOLVER_POSITIONS);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        TCells c;
        for (int v; words >> v;) c.push_back(static_cast<std::uint8_t>(v));
        if (const int n = solver::SideOf(c.size())) bySize[n].push_back(c);
    }
    return bySize;
}

const std::map<int, std::vector<TCells>>& positions() {
    static const auto p = readPositions();
    return p;
}


std::filesystem::path cachePath() { return std::filesystem::temp_directory_path() / "tess_solver_bench.tbl"; }
std::u16string cacheFile() { return cachePath().u16string(); }

// The solver every case shares, with tables read from the benchmark's own cache file.
solver::TSolver& sharedSolver() {
    static solver::TSolver s(cacheFile());
    s.PrepareTables(Never);
    return s;
}

struct TSummary {
    std::vector<double> ms;
    std::uint64_t nodes = 0;
};

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5))];
}

std::map<std::string, double> Figures;

// --- The baseline: iterative deepening on Manhattan distance plus linear conflicts --------

class TBaseline {
public:
    TBaseline(const TCells& c, std::uint64_t nodeCap) : FCap(nodeCap) {
        for (int i = 0; i < 16; ++i) {
            FCell[i] = c[static_cast<std::size_t>(i)];
            if (!FCell[i]) FBlank = i;
        }
        for (int i = 0; i < 16; ++i)
            if (FCell[i]) FDistance += std::abs((FCell[i] - 1) / 4 - i / 4) + std::abs((FCell[i] - 1) % 4 - i % 4);
        for (int k = 0; k < 4; ++k) {
            FRow[k] = conflicts(k, true);
            FColumn[k] = conflicts(k, false);
        }
    }
    // The optimal length, or -1 when the node cap was reached first.
    int solve() {
        for (int limit = estimate();; limit += 2) {
            const int r = dfs(0, limit, -1);
            if (r > 0) return limit;
            if (r < 0) return -1;
        }
    }
    std::uint64_t nodes() const { return FNodes; }

private:
    int estimate() const {
        int lc = 0;
        for (int k = 0; k < 4; ++k) lc += FRow[k] + FColumn[k];
        return FDistance + lc;
    }
    // Twice the tiles of a line that must leave it so that the rest stand in order.
    int conflicts(int k, bool row) const {
        int goals[4], count = 0;
        for (int j = 0; j < 4; ++j) {
            const int cell = row ? k * 4 + j : j * 4 + k;
            const int t = FCell[cell];
            if (t && (row ? (t - 1) / 4 == k : (t - 1) % 4 == k)) goals[count++] = row ? (t - 1) % 4 : (t - 1) / 4;
        }
        int longest[4], best = 0;
        for (int i = 0; i < count; ++i) {
            longest[i] = 1;
            for (int j = 0; j < i; ++j)
                if (goals[j] < goals[i]) longest[i] = std::max(longest[i], longest[j] + 1);
            best = std::max(best, longest[i]);
        }
        return 2 * (count - best);
    }
    int dfs(int g, int limit, int back) {
        if (++FNodes > FCap) return -1;
        const int h = estimate();
        if (h == 0) return 1;
        if (g + h > limit) return 0;
        static constexpr int step[4] = {4, -4, 1, -1};
        for (int m = 0; m < 4; ++m) {
            if (m == back) continue;
            if ((m == 0 && FBlank >= 12) || (m == 1 && FBlank < 4) || (m == 2 && FBlank % 4 == 3) || (m == 3 && FBlank % 4 == 0)) continue;
            const int from = FBlank + step[m], to = FBlank, t = FCell[from];
            const int before = std::abs((t - 1) / 4 - from / 4) + std::abs((t - 1) % 4 - from % 4);
            const int after = std::abs((t - 1) / 4 - to / 4) + std::abs((t - 1) % 4 - to % 4);
            const bool vertical = m < 2;
            const int a = vertical ? from / 4 : from % 4, b = vertical ? to / 4 : to % 4;
            int* lines = vertical ? FRow : FColumn;
            const int savedA = lines[a], savedB = lines[b];
            FCell[to] = static_cast<std::uint8_t>(t);
            FCell[from] = 0;
            FBlank = from;
            FDistance += after - before;
            lines[a] = conflicts(a, vertical);
            lines[b] = conflicts(b, vertical);
            const int r = dfs(g + 1, limit, m ^ 1);
            FDistance -= after - before;
            lines[a] = savedA;
            lines[b] = savedB;
            FBlank = to;
            FCell[from] = static_cast<std::uint8_t>(t);
            FCell[to] = 0;
            if (r != 0) return r;
        }
        return 0;
    }
    std::uint8_t FCell[16]{};
    int FBlank = 15, FDistance = 0;
    int FRow[4]{}, FColumn[4]{};
    std::uint64_t FNodes = 0, FCap;
};

// --- Cases -----------------------------------------------------------------------------

long peakResidentKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The tables are computed in a child process of their own: its peak resident set is the
// memory of computing them, and this process's peak stays that of reading and solving, as in
// a game that found its cache file.
void BM_TablesCompute(benchmark::State& state) {
    const unsigned threads = static_cast<unsigned>(state.range(0));
    const std::string key = "threads" + std::to_string(threads);
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            solver::TPatternTables t;
            const auto start = TClock::now();
            t.Compute(Never, threads);
            const double ms = msSince(start);
            solver::WriteTableFile(cacheFile(), t);
            const bool sent = write(channel[1], &ms, sizeof ms) == static_cast<ssize_t>(sizeof ms);
            _exit(sent ? 0 : 1);
        }
        close(channel[1]);
        double ms = -1;
        const bool got = child > 0 && read(channel[0], &ms, sizeof ms) == static_cast<ssize_t>(sizeof ms);
        close(channel[0]);
        int status = 0;
        rusage u{};
        if (child > 0) wait4(child, &status, 0, &u);
        if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("computing the tables failed");
            return;
        }
        Figures["compute_ms_" + key] = ms;
        Figures["compute_peak_rss_mb_" + key] = static_cast<double>(u.ru_maxrss) / 1024.0;
        state.counters["compute_ms"] = ms;
        state.counters["peak_RSS_MB"] = Figures["compute_peak_rss_mb_" + key];
    }
    state.counters["table_MB"] = static_cast<double>(solver::TPatternTables::ByteCount()) / 1e6;
}
BENCHMARK(BM_TablesCompute)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TablesLoad(benchmark::State& state) {
    const std::u16string file = cacheFile();
    std::vector<double> ms;
    for (auto _ : state) {
        solver::TSolver s(file);
        s.PrepareTables(Never);
        if (!s.TableInfo().loaded) state.SkipWithError("the cache file was not read");
        ms.push_back(s.TableInfo().milliseconds);
    }
    Figures["load_ms_median"] = percentile(ms, 0.5);
}
BENCHMARK(BM_TablesLoad)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

TSummary solveAll(int n, std::vector<int>* lengths = nullptr) {
    TSummary s;
    for (const TCells& c : positions().at(n)) {
        const auto start = TClock::now();
        const solver::TSolution r = sharedSolver().Solve(c, Never);
        s.ms.push_back(msSince(start));
        s.nodes += r.nodes;
        if (lengths) lengths->push_back(static_cast<int>(r.moves.size()));
    }
    return s;
}

void BM_Solve3x3(benchmark::State& state) {
    sharedSolver();
    TSummary s;
    for (auto _ : state) s = solveAll(3);
    Figures["3x3_median_ms"] = percentile(s.ms, 0.5);
    Figures["3x3_max_ms"] = percentile(s.ms, 1.0);
    state.counters["max_ms"] = Figures["3x3_max_ms"];
}
BENCHMARK(BM_Solve3x3)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Solve4x4(benchmark::State& state) {
    sharedSolver();
    TSummary s;
    std::vector<int> lengths;
    for (auto _ : state) {
        lengths.clear();
        s = solveAll(4, &lengths);
    }
    double total = 0;
    for (const double v : s.ms) total += v;
    Figures["4x4_median_ms"] = percentile(s.ms, 0.5);
    Figures["4x4_p95_ms"] = percentile(s.ms, 0.95);
    Figures["4x4_max_ms"] = percentile(s.ms, 1.0);
    Figures["4x4_mean_ms"] = total / static_cast<double>(s.ms.size());
    Figures["4x4_nodes_per_s"] = static_cast<double>(s.nodes) / (total / 1000.0);
    double len = 0;
    for (const int l : lengths) len += l;
    Figures["4x4_mean_length"] = len / static_cast<double>(lengths.size());
    state.counters["median_ms"] = Figures["4x4_median_ms"];
    state.counters["p95_ms"] = Figures["4x4_p95_ms"];
    state.counters["max_ms"] = Figures["4x4_max_ms"];
    state.counters["Mnodes_per_s"] = Figures["4x4_nodes_per_s"] / 1e6;
}
BENCHMARK(BM_Solve4x4)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline takes minutes on some positions: it runs on the first positions only, each
// stopped after this many nodes (the ratio then counts that position at the time it had
// used, so the baseline's true figure is larger still).
constexpr std::size_t BaselinePositions = 25;
constexpr std::uint64_t BaselineNodeCap = 150'000'000;

void BM_Baseline4x4(benchmark::State& state) {
    sharedSolver();
    double oursTotal = 0, baseTotal = 0;
    int capped = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (std::size_t i = 0; i < BaselinePositions && i < positions().at(4).size(); ++i) {
            const TCells& c = positions().at(4)[i];
            auto start = TClock::now();
            const solver::TSolution ours = sharedSolver().Solve(c, Never);
            const double oursMs = msSince(start);
            start = TClock::now();
            TBaseline base(c, BaselineNodeCap);
            const int length = base.solve();
            const double baseMs = msSince(start);
            if (length < 0)
                ++capped;
            else if (length != static_cast<int>(ours.moves.size()))
                state.SkipWithError("the baseline found another optimal length");
            oursTotal += oursMs;
            baseTotal += baseMs;
            ratios.push_back(baseMs / std::max(oursMs, 1e-3));
        }
    }
    Figures["baseline_positions"] = static_cast<double>(ratios.size());
    Figures["baseline_capped"] = capped;
    Figures["baseline_total_ratio"] = baseTotal / oursTotal;
    Figures["baseline_median_ratio"] = percentile(ratios, 0.5);
    state.counters["total_ratio"] = Figures["baseline_total_ratio"];
    state.counters["capped"] = capped;
}
BENCHMARK(BM_Baseline4x4)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SolveLarge(benchmark::State& state) {
    sharedSolver();
    const int n = static_cast<int>(state.range(0));
    TSummary s;
    std::vector<int> lengths;
    for (auto _ : state) {
        lengths.clear();
        s = solveAll(n, &lengths);
    }
    double ratio = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) ratio += lengths[i] / static_cast<double>(ManhattanDistance(positions().at(n)[i]));
    const std::string key = std::to_string(n) + "x" + std::to_string(n);
    Figures[key + "_max_ms"] = percentile(s.ms, 1.0);
    Figures[key + "_median_ms"] = percentile(s.ms, 0.5);
    Figures[key + "_length_per_manhattan"] = ratio / static_cast<double>(lengths.size());
    state.counters["max_ms"] = Figures[key + "_max_ms"];
    state.counters["length_per_MD"] = Figures[key + "_length_per_manhattan"];
}
BENCHMARK(BM_SolveLarge)->DenseRange(5, 8)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // This process never computes the tables: its peak is that of reading them and solving.
    Figures["solve_peak_rss_mb"] = static_cast<double>(peakResidentKb()) / 1024.0;
    std::printf("\nSolver figures (wall-clock, per position):\n");
    for (const auto& [k, v] : Figures) std::printf("  %-28s %12.3f\n", k.c_str(), v);
    std::filesystem::remove(cachePath());
    return 0;
}
