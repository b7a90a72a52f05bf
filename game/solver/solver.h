// Shortest solutions of the sliding puzzle: exact on 3 x 3 and 4 x 4, short ones on larger
// boards. Free of window code; one object serves any number of threads at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "game/board.h"

namespace solver {

// A position: the n * n tiles in reading order, 0 for the empty cell (n = 3..8). A tile k
// belongs in cell k - 1, the empty cell bottom right.
using TCells = std::vector<std::uint8_t>;

// What keeps a list of numbers from being a position the solver can take.
struct TPositionFault {
    enum class TKind : std::uint8_t { none, count, range, repeated, parity } kind = TKind::none;
    int number = 0;  // the number out of range or repeated
};
TPositionFault PositionFault(std::span<const std::uint8_t> cells);

// The same as a message; empty for a valid position.
std::string PositionError(std::span<const std::uint8_t> cells);

// The side length of a position of this many cells, 0 when no board has that many.
int SideOf(std::size_t cellCount);

// Applies a move to a valid position (the move names the tile's direction, as the board's
// TZugArt does); false, and no change, when the move is not possible.
bool ApplyMove(TCells& cells, TZugArt move);

enum class TStatus : std::uint8_t { solved, cancelled, invalid };

struct TSolution {
    TStatus status = TStatus::invalid;
    std::vector<TZugArt> moves;  // the moves from the position to the solved board
    bool optimal = false;        // proven shortest; otherwise an upper bound
    std::uint64_t nodes = 0;     // positions the search looked at
};

// Figures of the 4 x 4 tables.
struct TTableInfo {
    bool ready = false;
    bool loaded = false;        // read from the cache file rather than computed
    double milliseconds = 0;    // to compute or to read them
    std::size_t bytes = 0;      // memory they take
    std::string cacheProblem;   // why a cache file present was not used (empty: none or used)
};

class TPatternTables;
class TPuzzle3Table;

class TSolver {
public:
    // cacheFile: where the 4 x 4 tables are kept between runs; empty keeps them in memory only.
    // threads: how many threads compute them (at least one).
    explicit TSolver(std::u16string cacheFile = {}, unsigned threads = 2);
    ~TSolver();
    TSolver(const TSolver&) = delete;
    TSolver& operator=(const TSolver&) = delete;

    // Makes every table ready: computes the small 3 x 3 one, reads or computes the 4 x 4
    // ones; false when cancel was raised first. Computed 4 x 4 tables are written to the
    // cache file (a failed write is no error).
    bool PrepareTables(const std::atomic<bool>& cancel);
    TTableInfo TableInfo() const;

    // Solves a position; prepares the tables first when it needs them. Gives cancelled as
    // soon as it sees cancel raised.
    TSolution Solve(std::span<const std::uint8_t> cells, const std::atomic<bool>& cancel);

private:
    std::shared_ptr<const TPatternTables> tables(const std::atomic<bool>& cancel);
    const TPuzzle3Table& puzzle3();

    std::u16string FCacheFile;
    unsigned FThreads;
    mutable std::mutex FLock;
    std::shared_ptr<const TPatternTables> FTables;
    std::unique_ptr<TPuzzle3Table> FPuzzle3;
    TTableInfo FInfo;
};

// The cache file of the game: "Kvor" in the user's local application-data folder (POSIX: the
// XDG cache folder). Empty when the platform names no such folder.
std::u16string DefaultCacheFile();

}  // namespace solver
