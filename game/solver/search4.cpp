// The search keeps where each tile stands, so that after a move only the groups holding the
// moved tile are looked up again. A group's cells are carried onto its table's block by one
// of the board's eight symmetries: a group's fewest moves do not change when the whole board
// is turned or mirrored, since the table leaves the empty cell's place open.
#include "game/solver/search4.h"

#include <algorithm>

namespace solver {

namespace {

using TCellSet = std::array<std::uint8_t, 6>;

// Four partitions of the fifteen tiles into two blocks and three tiles; the second and the
// fourth are the first and the third mirrored at the main diagonal.
constexpr int PartitionCount = 8;
constexpr int GroupsPerPartition = 3;
struct TGroupCells {
    TCellSet cells;
    std::uint8_t size;
};
constexpr TGroupCells PartitionCells[PartitionCount][GroupsPerPartition] = {
    {{{0, 1, 4, 5, 8, 9}, 6}, {{2, 3, 6, 7, 10, 11}, 6}, {{12, 13, 14}, 3}},
    {{{0, 1, 2, 4, 5, 6}, 6}, {{8, 9, 10, 12, 13, 14}, 6}, {{3, 7, 11}, 3}},
    {{{1, 2, 3, 5, 6, 7}, 6}, {{8, 9, 10, 12, 13, 14}, 6}, {{0, 4, 11}, 3}},
    {{{2, 3, 6, 7, 10, 11}, 6}, {{4, 5, 8, 9, 12, 13}, 6}, {{0, 1, 14}, 3}},
    {{{0, 1, 2, 3, 6, 7}, 6}, {{4, 5, 8, 9, 12, 13}, 6}, {{10, 11, 14}, 3}},
    {{{0, 4, 8, 12, 9, 13}, 6}, {{1, 2, 3, 5, 6, 7}, 6}, {{10, 11, 14}, 3}},
    {{{0, 1, 2, 3, 4, 5}, 6}, {{8, 9, 10, 12, 13, 14}, 6}, {{6, 7, 11}, 3}},
    {{{0, 4, 8, 12, 1, 5}, 6}, {{2, 3, 6, 7, 10, 11}, 6}, {{9, 13, 14}, 3}},
};
constexpr int MaxGroups = PartitionCount * GroupsPerPartition;

// Symmetry s of the board applied to cell c: bit 0 mirrors the columns, bit 1 the rows,
// bit 2 swaps rows and columns.
constexpr std::uint8_t symmetric(int s, int c) {
    int r = c / 4, col = c % 4;
    if (s & 1) col = 3 - col;
    if (s & 2) r = 3 - r;
    if (s & 4) std::swap(r, col);
    return static_cast<std::uint8_t>(r * 4 + col);
}

// Where the empty cell goes for each move, in the order of TZugArt: a tile from below moves
// up, from above down, from the right left, from the left right.
constexpr int BlankStep[4] = {4, -4, 1, -1};

// A group of the search: its table, its tiles in the table's order, and the cell map onto
// the table's block.
struct TGroup {
    int table = 0;
    int size = 0;
    std::uint8_t tiles[6]{};
    std::uint8_t map[16]{};
    // Rows and columns swapped by the map: the board's horizontal moves are vertical on the
    // table's block.
    bool swapped = false;
    // What one step of tile i along a row of the block adds to the rank: no other tile of
    // the group stands between its two cells, so only its own digit changes, by one.
    std::uint32_t weight[6]{};
};

struct TLayout {
    TGroup groups[MaxGroups];
    int groupCount = 0;
    int partition[PartitionCount][GroupsPerPartition]{};
    // The groups that hold each tile.
    std::uint8_t groupsOf[16][PartitionCount]{};  // at most one a partition
    std::uint8_t groupsOfCount[16]{};
    // groupIn[t][q]: the group of partition q that holds tile t, at groupsOf[t][slotOf[t][q]].
    std::uint8_t groupIn[16][PartitionCount]{};
    std::uint8_t slotOf[16][PartitionCount]{};
    std::uint8_t indexOf[16][PartitionCount]{};  // tile t is tiles[indexOf[t][k]] of groupsOf[t][k]
    std::uint8_t distance[16][16]{};
    bool canMove[16][4]{};

    TLayout() {
        for (int q = 0; q < PartitionCount; ++q)
            for (int i = 0; i < GroupsPerPartition; ++i) partition[q][i] = groupFor(PartitionCells[q][i]);
        for (int g = 0; g < groupCount; ++g)
            for (int i = 0; i < groups[g].size; ++i) {
                const int t = groups[g].tiles[i];
                indexOf[t][groupsOfCount[t]] = static_cast<std::uint8_t>(i);
                groupsOf[t][groupsOfCount[t]++] = static_cast<std::uint8_t>(g);
            }
        for (int q = 0; q < PartitionCount; ++q)
            for (int i = 0; i < GroupsPerPartition; ++i) {
                const int g = partition[q][i];
                for (int j = 0; j < groups[g].size; ++j) {
                    const int t = groups[g].tiles[j];
                    groupIn[t][q] = static_cast<std::uint8_t>(g);
                    for (int k = 0; k < groupsOfCount[t]; ++k)
                        if (groupsOf[t][k] == g) slotOf[t][q] = static_cast<std::uint8_t>(k);
                }
            }
        for (int t = 1; t < 16; ++t)
            for (int c = 0; c < 16; ++c) distance[t][c] = static_cast<std::uint8_t>(TileDistance(t, c));
        for (int c = 0; c < 16; ++c) {
            canMove[c][0] = c < 12;
            canMove[c][1] = c >= 4;
            canMove[c][2] = c % 4 != 3;
            canMove[c][3] = c % 4 != 0;
        }
    }

    static unsigned maskOf(const std::uint8_t* cells, int size) {
        unsigned m = 0;
        for (int i = 0; i < size; ++i) m |= 1u << cells[i];
        return m;
    }

    // The group of these cells, made on first use: the table and symmetry that carry the
    // cells onto the table's block.
    int groupFor(const TGroupCells& gc) {
        const unsigned want = maskOf(gc.cells.data(), gc.size);
        for (int g = 0; g < groupCount; ++g)
            if (groups[g].size == gc.size) {
                std::uint8_t cells[6];
                for (int i = 0; i < gc.size; ++i) cells[i] = static_cast<std::uint8_t>(groups[g].tiles[i] - 1);
                if (maskOf(cells, gc.size) == want) return g;
            }
        for (int table = 0; table < TableCount; ++table) {
            const TTableDef& def = TableDefs[static_cast<std::size_t>(table)];
            if (def.size != gc.size) continue;
            for (int s = 0; s < 8; ++s) {
                std::uint8_t image[6];
                for (int i = 0; i < gc.size; ++i) image[i] = symmetric(s, gc.cells[static_cast<std::size_t>(i)]);
                if (maskOf(image, gc.size) != maskOf(def.cells.data(), def.size)) continue;
                TGroup& group = groups[groupCount];
                group.table = table;
                group.size = gc.size;
                for (int c = 0; c < 16; ++c) group.map[c] = symmetric(s, c);
                group.swapped = (s & 4) != 0;
                for (int i = 0; i < gc.size; ++i) {
                    group.weight[i] = 1;
                    for (int j = i + 1; j < gc.size; ++j) group.weight[i] *= static_cast<std::uint32_t>(16 - j);
                }
                // Table tile i is the one whose home the symmetry carries onto the table's cell i.
                for (int i = 0; i < def.size; ++i)
                    for (int j = 0; j < gc.size; ++j)
                        if (image[j] == def.cells[static_cast<std::size_t>(i)]) group.tiles[i] = static_cast<std::uint8_t>(gc.cells[static_cast<std::size_t>(j)] + 1);
                return groupCount++;
            }
        }
        return 0;  // unreachable with the partitions above
    }
};

const TLayout& layout() {
    static const TLayout l;
    return l;
}

class TSearch {
public:
    TSearch(const TPatternTables& tables, const std::uint8_t* cells, const std::atomic<bool>& cancel)
        : FTables(tables), FLayout(layout()), FCancel(cancel) {
        for (int c = 0; c < 16; ++c) {
            FCell[c] = cells[c];
            if (cells[c] == 0) {
                FBlank = c;
            } else {
                FWhere[cells[c]] = static_cast<std::uint8_t>(c);
                FDistance += FLayout.distance[cells[c]][c];
            }
        }
        for (int g = 0; g < FLayout.groupCount; ++g) {
            FRank[g] = rankOf(FLayout.groups[g]);
            FExcess[g] = static_cast<std::uint8_t>(FTables.Excess(FLayout.groups[g].table, FRank[g]));
        }
        for (int q = 0; q < PartitionCount; ++q)
            for (const int g : FLayout.partition[q]) FSum[q] += FExcess[g];
    }

    int bound() const { return FDistance + 2 * bestExcess(); }

    std::optional<std::vector<TZugArt>> run(std::uint64_t& nodes) {
        int limit = bound();
        for (;;) {
            FNextLimit = 1000;
            const int r = dfs(0, limit, -1);
            nodes = FNodes;
            if (r == Found) {
                std::vector<TZugArt> moves;
                for (int i = 0; i < FDepth; ++i) moves.push_back(static_cast<TZugArt>(FPath[i]));
                return moves;
            }
            if (r == Cancelled) return std::nullopt;
            limit = FNextLimit;
        }
    }

private:
    enum { Found = 1, Deeper = 0, Cancelled = -1 };

    std::uint32_t rankOf(const TGroup& group) const {
        std::uint8_t cells[6];
        for (int i = 0; i < group.size; ++i) cells[i] = group.map[FWhere[group.tiles[i]]];
        return PlacementRank(cells, group.size);
    }

    int bestExcess() const { return *std::max_element(FSum, FSum + PartitionCount); }

    // A move looked at: the new values of the groups of the moved tile.
    struct TChild {
        std::uint8_t move;
        std::uint8_t estimate;
        std::uint8_t excess[PartitionCount];
        std::uint32_t rank[PartitionCount];
        int distance;
    };

    int dfs(int depth, int limit, int back) {
        if ((++FNodes & 0x3FFF) == 0 && FCancel.load(std::memory_order_relaxed)) return Cancelled;
        if (FDistance == 0) {
            FDepth = depth;
            return Found;
        }
        TChild children[4];
        int count = 0;
        for (int m = 0; m < 4; ++m) {
            if (m == back || !FLayout.canMove[FBlank][m]) continue;
            const int from = FBlank + BlankStep[m];
            const int t = FCell[from];
            TChild& ch = children[count];
            ch.move = static_cast<std::uint8_t>(m);
            ch.distance = FDistance - FLayout.distance[t][from] + FLayout.distance[t][FBlank];
            const int room = limit - depth - 1 - ch.distance;
            if (room < 0) {
                FNextLimit = std::min(FNextLimit, depth + 1 + ch.distance);
                continue;
            }
            // Most moves looked at fail the limit; the partitions are tried one by one, the
            // one that failed a move last first, and the first that fails the move ends it.
            FWhere[t] = static_cast<std::uint8_t>(FBlank);
            unsigned known = 0;
            int best = 0;
            bool cut = false;
            for (int k = 0; k < PartitionCount; ++k) {
                const int q = (FFirstPartition + k) % PartitionCount;
                const int slot = FLayout.slotOf[t][q];
                const int g = FLayout.groupIn[t][q];
                if (!(known & (1u << slot))) {
                    const TGroup& group = FLayout.groups[g];
                    if ((m >= 2) != group.swapped) {
                        const int step = group.map[FBlank] - group.map[from];
                        ch.rank[slot] = static_cast<std::uint32_t>(static_cast<std::int64_t>(FRank[g]) + step * static_cast<std::int64_t>(group.weight[FLayout.indexOf[t][slot]]));
                    } else {
                        ch.rank[slot] = rankOf(group);
                    }
                    ch.excess[slot] = static_cast<std::uint8_t>(FTables.Excess(group.table, ch.rank[slot]));
                    known |= 1u << slot;
                }
                const int sum = FSum[q] - FExcess[g] + ch.excess[slot];
                best = std::max(best, sum);
                if (2 * sum > room) {
                    FFirstPartition = q;
                    cut = true;
                    break;
                }
            }
            FWhere[t] = static_cast<std::uint8_t>(from);
            if (cut) {
                FNextLimit = std::min(FNextLimit, depth + 1 + ch.distance + 2 * best);
                continue;
            }
            ch.estimate = static_cast<std::uint8_t>(ch.distance + 2 * best);
            ++count;
        }
        // The most promising move first: in the last round the search stops at the first
        // solution, so a good order saves most of that round.
        for (int i = 1; i < count; ++i)
            for (int j = i; j > 0 && children[j].estimate < children[j - 1].estimate; --j) std::swap(children[j], children[j - 1]);
        for (int c = 0; c < count; ++c) {
            const TChild& ch = children[c];
            const int m = ch.move;
            const int blank = FBlank;
            const int from = blank + BlankStep[m];
            const int t = FCell[from];
            const int own = FLayout.groupsOfCount[t];
            std::uint8_t saved[PartitionCount];
            std::uint32_t savedRank[PartitionCount];
            for (int i = 0; i < own; ++i) {
                saved[i] = FExcess[FLayout.groupsOf[t][i]];
                savedRank[i] = FRank[FLayout.groupsOf[t][i]];
            }
            for (int q = 0; q < PartitionCount; ++q) FSum[q] += ch.excess[FLayout.slotOf[t][q]] - saved[FLayout.slotOf[t][q]];
            for (int i = 0; i < own; ++i) {
                FExcess[FLayout.groupsOf[t][i]] = ch.excess[i];
                FRank[FLayout.groupsOf[t][i]] = ch.rank[i];
            }
            const int savedDistance = FDistance;
            FDistance = ch.distance;
            FCell[blank] = static_cast<std::uint8_t>(t);
            FCell[from] = 0;
            FBlank = from;
            FWhere[t] = static_cast<std::uint8_t>(blank);
            FPath[depth] = static_cast<std::uint8_t>(m);
            const int r = dfs(depth + 1, limit, m ^ 1);
            if (r != Deeper) return r;
            FWhere[t] = static_cast<std::uint8_t>(from);
            FBlank = blank;
            FCell[from] = static_cast<std::uint8_t>(t);
            FCell[blank] = 0;
            FDistance = savedDistance;
            for (int i = 0; i < own; ++i) {
                FExcess[FLayout.groupsOf[t][i]] = saved[i];
                FRank[FLayout.groupsOf[t][i]] = savedRank[i];
            }
            for (int q = 0; q < PartitionCount; ++q) FSum[q] -= ch.excess[FLayout.slotOf[t][q]] - saved[FLayout.slotOf[t][q]];
        }
        return Deeper;
    }

    const TPatternTables& FTables;
    const TLayout& FLayout;
    const std::atomic<bool>& FCancel;
    std::uint8_t FCell[16]{};
    std::uint8_t FWhere[16]{};  // cell of each tile
    std::uint8_t FExcess[MaxGroups]{};
    std::uint32_t FRank[MaxGroups]{};  // each group's placement, kept along with its entry
    int FSum[PartitionCount]{};  // the excess of each partition
    int FBlank = 15;
    int FFirstPartition = 0;
    int FDistance = 0;
    int FNextLimit = 0;
    int FDepth = 0;
    std::uint64_t FNodes = 0;
    std::uint8_t FPath[96]{};
};

}  // namespace

std::optional<std::vector<TZugArt>> SolveOptimal4(const TPatternTables& tables, const std::uint8_t* cells,
                                                  const std::atomic<bool>& cancel, std::uint64_t& nodes) {
    TSearch search(tables, cells, cancel);
    return search.run(nodes);
}

int LowerBound4(const TPatternTables& tables, const std::uint8_t* cells) {
    const std::atomic<bool> never{false};
    return TSearch(tables, cells, never).bound();
}

}  // namespace solver
