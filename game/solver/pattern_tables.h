// The 4 x 4 pattern tables: for groups of tiles, the fewest moves of the group's own tiles
// that bring them home from any placement, the other tiles ignored. Groups of one partition
// add up to a lower bound of the whole position.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace solver {

// A table's group: the home cells of its tiles (the tile of home cell c is c + 1), at most six.
struct TTableDef {
    std::array<std::uint8_t, 6> cells;
    std::uint8_t size;
};

// Two tables of six tiles: a block of three by two in a corner, and the top row with the two
// right cells below it. Turned and mirrored, each serves every copy of its shape on the board
// that leaves the empty cell's corner out. The small tables take the three tiles left over.
inline constexpr int TableCount = 9;
inline constexpr std::array<TTableDef, TableCount> TableDefs{{
    {{0, 1, 4, 5, 8, 9}, 6},
    {{0, 1, 2, 3, 6, 7}, 6},
    {{12, 13, 14, 0, 0, 0}, 3},
    {{3, 7, 11, 0, 0, 0}, 3},
    {{0, 4, 11, 0, 0, 0}, 3},
    {{0, 1, 14, 0, 0, 0}, 3},
    {{10, 11, 14, 0, 0, 0}, 3},
    {{6, 7, 11, 0, 0, 0}, 3},
    {{9, 13, 14, 0, 0, 0}, 3},
}};

// Entries of a group of k tiles: the placements of k distinct tiles on 16 cells.
constexpr std::uint32_t PlacementCount(int k) {
    std::uint32_t n = 1;
    for (int i = 0; i < k; ++i) n *= static_cast<std::uint32_t>(16 - i);
    return n;
}

// The number of a placement of k tiles on the cells cells[0..k-1], dense in
// 0..PlacementCount(k)-1: each cell counts among the cells not taken by the tiles before it.
// Comparisons rather than a population count: the targets' baseline instruction set has none.
inline std::uint32_t PlacementRank(const std::uint8_t* cells, int k) {
    std::uint32_t rank = 0;
    for (int i = 0; i < k; ++i) {
        unsigned below = 0;
        for (int j = 0; j < i; ++j) below += cells[j] < cells[i];
        rank = rank * static_cast<std::uint32_t>(16 - i) + cells[i] - below;
    }
    return rank;
}

// Manhattan distance of tile t (1..15) standing on cell c.
inline int TileDistance(int t, int c) {
    const int g = t - 1;
    const int dr = g / 4 - c / 4, dc = g % 4 - c % 4;
    return (dr < 0 ? -dr : dr) + (dc < 0 ? -dc : dc);
}

// An entry holds, in four bits, half of what the group's moves exceed its tiles' Manhattan
// distances by: the two always differ by an even number, and halving keeps every excess
// of these groups within four bits (a larger one would be stored as 15, still a bound).
class TPatternTables {
public:
    // Computes every table with up to threads threads; false when cancel was raised.
    bool Compute(const std::atomic<bool>& cancel, unsigned threads);

    // The tables as bytes and back; FromBytes is false for bytes of the wrong length.
    std::string_view Bytes() const {
        return {reinterpret_cast<const char*>(FData.data()), FData.size()};
    }
    bool FromBytes(std::string_view bytes);
    static std::size_t ByteCount();

    // The excess entry of table p for the placement of the given rank.
    unsigned Excess(int p, std::uint32_t rank) const {
        const std::uint8_t b = FData[FOffset[static_cast<std::size_t>(p)] + (rank >> 1)];
        return (rank & 1) ? b >> 4 : b & 15u;
    }

private:
    void allocate();
    std::vector<std::uint8_t> FData;
    std::array<std::size_t, TableCount> FOffset{};
};

}  // namespace solver
