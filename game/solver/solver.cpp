// What every size of board shares: checks of the input, the tables made ready once, and the
// choice of the method by the board's size.
#include "game/solver/solver.h"

#include <chrono>

#include "common/platform.h"
#include "game/solver/large_board.h"
#include "game/solver/puzzle3.h"
#include "game/solver/search4.h"
#include "game/solver/table_file.h"

namespace solver {

namespace {

int blankOf(std::span<const std::uint8_t> cells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i] == 0) return static_cast<int>(i);
    return -1;
}

bool isSolved(std::span<const std::uint8_t> cells) {
    for (std::size_t i = 0; i + 1 < cells.size(); ++i)
        if (cells[i] != i + 1) return false;
    return true;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int SideOf(std::size_t cellCount) {
    for (int n = MinBoardSize; n <= MaxBoardSize; ++n)
        if (static_cast<std::size_t>(n * n) == cellCount) return n;
    return 0;
}

TPositionFault PositionFault(std::span<const std::uint8_t> cells) {
    const int n = SideOf(cells.size());
    if (n == 0) return {TPositionFault::TKind::count, 0};
    std::uint64_t seen = 0;
    for (const std::uint8_t v : cells) {
        if (v >= cells.size()) return {TPositionFault::TKind::range, v};
        if (seen >> v & 1) return {TPositionFault::TKind::repeated, v};
        seen |= std::uint64_t{1} << v;
    }
    // Every move changes both the order of the tiles (the empty cell counted as the largest)
    // and the empty cell's distance from its home by one step of parity.
    int inversions = 0;
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t j = i + 1; j < cells.size(); ++j) {
            const std::size_t a = cells[i] ? cells[i] : cells.size(), b = cells[j] ? cells[j] : cells.size();
            inversions += a > b;
        }
    const int blank = blankOf(cells);
    const int away = (n - 1 - blank / n) + (n - 1 - blank % n);
    if ((inversions + away) % 2 != 0) return {TPositionFault::TKind::parity, 0};
    return {};
}

bool ApplyMove(TCells& cells, TZugArt move) {
    const int n = SideOf(cells.size());
    const int blank = blankOf(cells);
    if (n == 0 || blank < 0) return false;
    const int r = blank / n, c = blank % n;
    int from = -1;
    switch (move) {
        case TZugArt::auf: from = r + 1 < n ? blank + n : -1; break;
        case TZugArt::ab: from = r > 0 ? blank - n : -1; break;
        case TZugArt::links: from = c + 1 < n ? blank + 1 : -1; break;
        case TZugArt::rechts: from = c > 0 ? blank - 1 : -1; break;
        case TZugArt::none: break;
    }
    if (from < 0) return false;
    cells[static_cast<std::size_t>(blank)] = cells[static_cast<std::size_t>(from)];
    cells[static_cast<std::size_t>(from)] = 0;
    return true;
}

TSolver::TSolver(std::u16string cacheFile, unsigned threads)
    : FCacheFile(std::move(cacheFile)), FThreads(threads ? threads : 1) {}

TSolver::~TSolver() = default;

bool TSolver::PrepareTables(const std::atomic<bool>& cancel) {
    puzzle3();
    return tables(cancel) != nullptr;
}

TTableInfo TSolver::TableInfo() const {
    const std::lock_guard<std::mutex> hold(FLock);
    return FInfo;
}

std::shared_ptr<const TPatternTables> TSolver::tables(const std::atomic<bool>& cancel) {
    const std::lock_guard<std::mutex> hold(FLock);
    if (FTables) return FTables;
    auto made = std::make_shared<TPatternTables>();
    TTableInfo info;
    const auto start = std::chrono::steady_clock::now();
    const std::string problem = ReadTableFile(FCacheFile, *made);
    if (problem.empty()) {
        info.loaded = true;
    } else {
        if (problem != "missing") info.cacheProblem = problem;
        if (!made->Compute(cancel, FThreads)) return nullptr;
        // A cache that cannot be written costs the next start the computing time, no more.
        WriteTableFile(FCacheFile, *made);
    }
    info.ready = true;
    info.milliseconds = millisecondsSince(start);
    info.bytes = TPatternTables::ByteCount();
    FInfo = info;
    FTables = std::move(made);
    return FTables;
}

const TPuzzle3Table& TSolver::puzzle3() {
    const std::lock_guard<std::mutex> hold(FLock);
    if (!FPuzzle3) FPuzzle3 = std::make_unique<TPuzzle3Table>();
    return *FPuzzle3;
}

TSolution TSolver::Solve(std::span<const std::uint8_t> cells, const std::atomic<bool>& cancel) {
    TSolution result;
    if (PositionFault(cells).kind != TPositionFault::TKind::none) return result;
    const int n = SideOf(cells.size());
    result.status = TStatus::solved;
    result.optimal = n <= 4;
    if (isSolved(cells)) return result;
    if (n == 3) {
        result.moves = puzzle3().Solve(cells.data());
        return result;
    }
    const auto t = tables(cancel);
    std::optional<std::vector<TZugArt>> moves;
    if (t)
        moves = n == 4 ? SolveOptimal4(*t, cells.data(), cancel, result.nodes)
                       : SolveLarge(n, TCells(cells.begin(), cells.end()), *t, cancel, result.nodes);
    if (!moves) {
        result.status = TStatus::cancelled;
        return result;
    }
    result.moves = std::move(*moves);
    return result;
}

std::u16string DefaultCacheFile() {
    const std::u16string folder = platform::LocalCacheFolder();
    if (folder.empty()) return {};
    const char16_t sep = platform::PathSeparator();
    return folder + sep + u"Kvor" + sep + u"ZibSolver.tbl";
}

}  // namespace solver
