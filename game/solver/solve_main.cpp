// tess_solve: solves the positions on standard input, one a line, for scripts and benchmarks.
// Output per line: <length> <moves> <milliseconds> <optimal|found>. Option --cache=FILE keeps
// the tables in FILE instead of the user's cache folder; --cache= keeps them in memory only.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/platform.h"
#include "game/solver/solver.h"

namespace {

// The numbers of a line; false with a reason when a word is not a number of 0..255.
bool parseLine(const std::string& line, solver::TCells& cells, std::string& why) {
    cells.clear();
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
        if (at == line.size()) break;
        std::size_t end = at;
        unsigned value = 0;
        while (end < line.size() && line[end] >= '0' && line[end] <= '9') {
            value = value * 10 + static_cast<unsigned>(line[end] - '0');
            if (value > 255) break;
            ++end;
        }
        if (end == at || (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')) {
            const std::size_t stop = line.find_first_of(" \t\r", at);
            why.assign(1, '"');
            why.append(line, at, stop == std::string::npos ? std::string::npos : stop - at);
            why.append("\" is not a number of a tile");
            return false;
        }
        cells.push_back(static_cast<std::uint8_t>(value));
        at = end;
    }
    return true;
}

char letterOf(TZugArt z) {
    switch (z) {
        case TZugArt::auf: return 'U';
        case TZugArt::ab: return 'D';
        case TZugArt::links: return 'L';
        case TZugArt::rechts: return 'R';
        default: return '?';
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::u16string cache = solver::DefaultCacheFile();
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg.substr(0, 8) == "--cache=") {
            cache = platform::FromUtf8(arg.substr(8));
        } else {
            std::fprintf(stderr, "usage: %s [--cache=FILE] < positions\n", argv[0]);
            return 2;
        }
    }
    solver::TSolver solver(cache);
    const std::atomic<bool> never{false};
    bool tablesShown = false;
    bool anyInvalid = false;
    std::string line;
    long lineNumber = 0;
    for (int ch; (ch = std::getchar()) != EOF || !line.empty();) {
        if (ch != EOF && ch != '\n') {
            line.push_back(static_cast<char>(ch));
            continue;
        }
        ++lineNumber;
        solver::TCells cells;
        std::string why;
        if (parseLine(line, cells, why)) why = solver::PositionError(cells);
        line.clear();
        if (!why.empty()) {
            std::printf("-1 - 0 invalid\n");
            std::fflush(stdout);
            std::fprintf(stderr, "line %ld: not a board: %s\n", lineNumber, why.c_str());
            anyInvalid = true;
            if (ch == EOF) break;
            continue;
        }
        if (!tablesShown) {
            tablesShown = true;
            solver.PrepareTables(never);
            const solver::TTableInfo info = solver.TableInfo();
            if (!info.cacheProblem.empty()) std::fprintf(stderr, "table cache not used (%s)\n", info.cacheProblem.c_str());
            std::fprintf(stderr, "tables %s in %.1f ms (%zu bytes)\n", info.loaded ? "loaded" : "built", info.milliseconds, info.bytes);
        }
        const auto start = std::chrono::steady_clock::now();
        const solver::TSolution s = solver.Solve(cells, never);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::string moves;
        for (const TZugArt z : s.moves) moves.push_back(letterOf(z));
        if (moves.empty()) moves.assign(1, '-');
        std::printf("%zu %s %.3f %s\n", s.moves.size(), moves.c_str(), ms, s.optimal ? "optimal" : "found");
        std::fflush(stdout);
        if (ch == EOF) break;
    }
    return anyInvalid ? 1 : 0;
}
