// Computing the pattern tables: a breadth-first search over the placements of a group's tiles
// together with the region the empty cell can roam without moving one of them.
#include "game/solver/pattern_tables.h"

#include <algorithm>
#include <bit>
#include <new>
#include <thread>

#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
#include <xmmintrin.h>
#endif

namespace solver {

namespace {

void prefetch(const void* p) {
#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
    _mm_prefetch(static_cast<const char*>(p), _MM_HINT_T0);
#else
    (void)p;
#endif
}

constexpr unsigned NotColumn0 = 0xEEEE;
constexpr unsigned NotColumn3 = 0x7777;

// The cells of free reachable from seed through free cells (seed is one of them).
unsigned floodRegion(unsigned seed, unsigned free) {
    unsigned region = seed, before = 0;
    do {
        before = region;
        region |= ((region << 1) & NotColumn0) | ((region >> 1) & NotColumn3) | (region << 4) | (region >> 4);
        region &= free;
    } while (region != before);
    return region;
}

unsigned neighbourCells(unsigned c) {
    unsigned m = 0;
    if (c >= 4) m |= 1u << (c - 4);
    if (c < 12) m |= 1u << (c + 4);
    if (c % 4 != 0) m |= 1u << (c - 1);
    if (c % 4 != 3) m |= 1u << (c + 1);
    return m;
}

// A state of the search: the empty cell in the low four bits, the k tile cells above it.
std::uint32_t pack(const std::uint8_t* cells, int k, unsigned blank) {
    std::uint32_t s = 0;
    for (int i = k - 1; i >= 0; --i) s = s << 4 | cells[i];
    return s << 4 | blank;
}

// The group moves its tiles one step at a time (each step costs one move); the empty cell
// moving among the other cells costs nothing here. Every placement is first met at its
// least number of group moves, and all empty cells of one region are the same state.
bool computeGroup(const TTableDef& def, std::uint8_t* out, const std::atomic<bool>& cancel) {
    const int k = def.size;
    const std::uint32_t count = PlacementCount(k);
    std::vector<std::uint16_t> seen(count, 0);  // per placement: empty cells already reached
    std::array<std::uint8_t, 6> cells{};
    for (int i = 0; i < k; ++i) cells[i] = def.cells[i];

    auto store = [&](std::uint32_t rank, int moves) {
        int distance = 0;
        for (int i = 0; i < k; ++i) distance += TileDistance(def.cells[i] + 1, cells[i]);
        const int half = (moves - distance) / 2;
        const unsigned e = half > 15 ? 15u : static_cast<unsigned>(half);
        out[rank >> 1] |= static_cast<std::uint8_t>((rank & 1) ? e << 4 : e);
    };

    std::vector<std::uint32_t> level, next;
    {
        unsigned taken = 0;
        for (int i = 0; i < k; ++i) taken |= 1u << cells[i];
        const std::uint32_t rank = PlacementRank(cells.data(), k);
        seen[rank] = static_cast<std::uint16_t>(floodRegion(1u << 15, ~taken & 0xFFFF));
        store(rank, 0);
        level.push_back(pack(cells.data(), k, 15));
    }
    // The states of a level are taken in batches: first every move of a batch is worked out
    // and its entry fetched ahead, then the entries are tested. The tests, scattered over
    // megabytes, would otherwise wait on memory one after another.
    struct TCandidate {
        std::uint32_t rank;
        std::uint32_t state;
    };
    std::vector<TCandidate> batch;
    constexpr std::size_t BatchStates = 512;
    for (int moves = 1; !level.empty(); ++moves) {
        next.clear();
        for (std::size_t first = 0; first < level.size(); first += BatchStates) {
            if (cancel.load(std::memory_order_relaxed)) return false;
            batch.clear();
            const std::size_t last = std::min(level.size(), first + BatchStates);
            for (std::size_t at = first; at < last; ++at) {
                const std::uint32_t s = level[at];
                const unsigned blank = s & 15;
                unsigned taken = 0;
                for (int i = 0; i < k; ++i) {
                    cells[i] = static_cast<std::uint8_t>(s >> (4 + 4 * i) & 15);
                    taken |= 1u << cells[i];
                }
                const unsigned region = floodRegion(1u << blank, ~taken & 0xFFFF);
                for (int i = 0; i < k; ++i) {
                    const unsigned from = cells[i];
                    unsigned targets = neighbourCells(from) & region;
                    while (targets) {
                        const unsigned to = static_cast<unsigned>(std::countr_zero(targets));
                        targets &= targets - 1;
                        cells[i] = static_cast<std::uint8_t>(to);
                        const std::uint32_t rank = PlacementRank(cells.data(), k);
                        prefetch(&seen[rank]);
                        batch.push_back({rank, pack(cells.data(), k, from)});
                        cells[i] = static_cast<std::uint8_t>(from);
                    }
                }
            }
            for (const TCandidate& c : batch) {
                const unsigned from = c.state & 15;
                if (seen[c.rank] & (1u << from)) continue;
                unsigned taken = 0;
                for (int i = 0; i < k; ++i) {
                    cells[i] = static_cast<std::uint8_t>(c.state >> (4 + 4 * i) & 15);
                    taken |= 1u << cells[i];
                }
                if (seen[c.rank] == 0) store(c.rank, moves);
                seen[c.rank] |= static_cast<std::uint16_t>(floodRegion(1u << from, ~taken & 0xFFFF));
                next.push_back(c.state);
            }
        }
        level.swap(next);
    }
    return true;
}

}  // namespace

std::size_t TPatternTables::ByteCount() {
    std::size_t total = 0;
    for (const auto& def : TableDefs) total += (PlacementCount(def.size) + 1) / 2;
    return total;
}

void TPatternTables::allocate() {
    std::size_t offset = 0;
    for (std::size_t p = 0; p < TableDefs.size(); ++p) {
        FOffset[p] = offset;
        offset += (PlacementCount(TableDefs[p].size) + 1) / 2;
    }
    FData.assign(offset, 0);
}

bool TPatternTables::Compute(const std::atomic<bool>& cancel, unsigned threads) {
    allocate();
    std::atomic<int> nextGroup{0};
    std::atomic<bool> failed{false};
    std::atomic<bool> outOfMemory{false};
    auto work = [&] {
        // Each thread takes the next table not yet taken; nothing may leave a thread's
        // function, and all a table's work can raise is a failed allocation.
        try {
            for (int p; (p = nextGroup.fetch_add(1)) < TableCount && !failed.load();) {
                const auto at = static_cast<std::size_t>(p);
                if (!computeGroup(TableDefs[at], FData.data() + FOffset[at], cancel)) failed.store(true);
            }
        } catch (...) {
            failed.store(true);
            outOfMemory.store(true);
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned i = 1; i < threads; ++i) helpers.emplace_back(work);
    } catch (...) {
        // Without more threads the calling one does all the work.
    }
    work();
    for (auto& t : helpers) t.join();
    if (outOfMemory.load()) throw std::bad_alloc();
    return !failed.load();
}

bool TPatternTables::FromBytes(std::string_view bytes) {
    if (bytes.size() != ByteCount()) return false;
    allocate();
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(FData.data()));
    return true;
}

}  // namespace solver
