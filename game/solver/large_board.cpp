// Each step brings up to three tiles home at once with a best-first search in which only
// those tiles and the empty cell count: every other tile is as good as any other, so a state
// is just their cells. The tiles brought home before stay where they are.
#include "game/solver/large_board.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "game/solver/search4.h"

namespace solver {

namespace {

constexpr int MaxTracked = 8;

struct TBoardState {
    int n = 0;
    std::vector<std::uint8_t> cells;
    int blank = 0;
    std::vector<TZugArt> moves;

    void move(int m) {
        static constexpr int dr[4] = {1, -1, 0, 0}, dc[4] = {0, 0, 1, -1};
        const int from = blank + dr[m] * n + dc[m];
        cells[static_cast<std::size_t>(blank)] = cells[static_cast<std::size_t>(from)];
        cells[static_cast<std::size_t>(from)] = 0;
        blank = from;
        moves.push_back(static_cast<TZugArt>(m));
    }
};

// One step: the tiles whose home cells are goals[] go home, the empty cell moving only over
// the cells of open (a bit per cell).
class TGroupSearch {
public:
    TGroupSearch(const TBoardState& board, std::uint64_t open, const std::vector<int>& goals, int weight)
        : FN(board.n), FOpen(open), FCount(static_cast<int>(goals.size())), FWeight(weight) {
        for (int i = 0; i < FCount; ++i) {
            FGoal[i] = goals[static_cast<std::size_t>(i)];
            for (int c = 0; c < FN * FN; ++c)
                if (board.cells[static_cast<std::size_t>(c)] == FGoal[i] + 1) FStart[i] = c;
        }
        FStart[FCount] = board.blank;
    }

    // The moves, or nullopt when cancelled or after budget expansions without an answer.
    std::optional<std::vector<int>> run(const std::atomic<bool>& cancel, std::uint64_t& nodes, std::uint64_t budget) {
        const std::uint64_t start = pack(FStart);
        FSeen[start] = {start, 0, 255};
        push(start, 0);
        std::uint64_t expanded = 0;
        while (FBest < FBuckets.size()) {
            auto& bucket = FBuckets[FBest];
            if (bucket.empty()) {
                ++FBest;
                continue;
            }
            const auto [key, g] = bucket.back();
            bucket.pop_back();
            const TNode node = FSeen[key];
            if (node.g != g) continue;  // reached again more cheaply since
            if ((++expanded & 0xFFF) == 0 && cancel.load(std::memory_order_relaxed)) return std::nullopt;
            if (expanded > budget) {
                nodes += expanded;
                return std::nullopt;
            }
            int at[MaxTracked + 1];
            unpack(key, at);
            if (estimate(at) == 0) {
                nodes += expanded;
                return path(key);
            }
            const int blank = at[FCount];
            for (int m = 0; m < 4; ++m) {
                const int to = neighbour(blank, m);
                if (to < 0) continue;
                int next[MaxTracked + 1];
                std::copy(at, at + FCount + 1, next);
                for (int i = 0; i < FCount; ++i)
                    if (next[i] == to) next[i] = blank;
                next[FCount] = to;
                const std::uint64_t k = pack(next);
                const int ng = g + 1;
                const TNode* found = FSeen.find(k);
                if (found && found->g <= ng) continue;
                FSeen[k] = {key, ng, static_cast<std::uint8_t>(m)};
                push(k, ng, estimate(next));
            }
        }
        // No way home: cannot happen on an open area of 4 x 4 or more, whatever the tiles.
        throw std::logic_error("a step of the large-board search found no way");
    }

private:
    struct TNode {
        std::uint64_t parent;
        int g;
        std::uint8_t move;
    };

    int neighbour(int c, int m) const {
        const int r = c / FN, col = c % FN;
        int to = -1;
        switch (m) {
            case 0: to = r + 1 < FN ? c + FN : -1; break;
            case 1: to = r > 0 ? c - FN : -1; break;
            case 2: to = col + 1 < FN ? c + 1 : -1; break;
            default: to = col > 0 ? c - 1 : -1; break;
        }
        return to >= 0 && (FOpen >> to & 1) ? to : -1;
    }

    int distance(int a, int b) const {
        return std::abs(a / FN - b / FN) + std::abs(a % FN - b % FN);
    }

    // The tiles' Manhattan distances, plus the moves the empty cell needs to reach the
    // nearest tile not yet home: until then no tile gets closer.
    int estimate(const int* at) const {
        int sum = 0, nearest = 1000;
        for (int i = 0; i < FCount; ++i) {
            const int d = distance(at[i], FGoal[i]);
            sum += d;
            if (d > 0) nearest = std::min(nearest, distance(at[FCount], at[i]));
        }
        return sum == 0 ? 0 : sum + nearest - 1;
    }

    std::uint64_t pack(const int* at) const {
        std::uint64_t k = 0;
        for (int i = 0; i <= FCount; ++i) k = k << 6 | static_cast<std::uint64_t>(at[i]);
        return k;
    }
    void unpack(std::uint64_t k, int* at) const {
        for (int i = FCount; i >= 0; --i) {
            at[i] = static_cast<int>(k & 63);
            k >>= 6;
        }
    }

    void push(std::uint64_t key, int g, int h = -1) {
        if (h < 0) {
            int at[MaxTracked + 1];
            unpack(key, at);
            h = estimate(at);
        }
        const auto f = static_cast<std::size_t>(2 * g + FWeight * h);
        if (f >= FBuckets.size()) FBuckets.resize(f + 1);
        FBuckets[f].push_back({key, g});
        FBest = std::min(FBest, f);
    }

    std::vector<int> path(std::uint64_t key) {
        std::vector<int> moves;
        for (TNode node = FSeen[key]; node.move != 255; node = FSeen[node.parent]) moves.push_back(node.move);
        std::reverse(moves.begin(), moves.end());
        return moves;
    }

    int FN;
    std::uint64_t FOpen;
    int FCount;
    int FWeight;  // twice the weight of the estimate
    int FGoal[MaxTracked]{};
    int FStart[MaxTracked + 1]{};
    // The states met, by key: open addressing in a table of a power of two, half full at most.
    class TSeen {
    public:
        TNode* find(std::uint64_t key) {
            if (FKeys.empty()) return nullptr;
            for (std::size_t i = slot(key);; i = (i + 1) & (FKeys.size() - 1)) {
                if (FKeys[i] == key) return &FNodes[i];
                if (FKeys[i] == Empty) return nullptr;
            }
        }
        TNode& operator[](std::uint64_t key) {
            if (TNode* n = find(key)) return *n;
            if (2 * (FCount + 1) > FKeys.size()) grow();
            std::size_t i = slot(key);
            while (FKeys[i] != Empty) i = (i + 1) & (FKeys.size() - 1);
            FKeys[i] = key;
            ++FCount;
            return FNodes[i];
        }

    private:
        static constexpr std::uint64_t Empty = ~std::uint64_t{0};
        std::size_t slot(std::uint64_t key) const {
            return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (FKeys.size() - 1);
        }
        void grow() {
            std::vector<std::uint64_t> keys(FKeys.empty() ? 1 << 14 : FKeys.size() * 2, Empty);
            std::vector<TNode> nodes(keys.size());
            keys.swap(FKeys);
            nodes.swap(FNodes);
            FCount = 0;
            for (std::size_t i = 0; i < keys.size(); ++i)
                if (keys[i] != Empty) (*this)[keys[i]] = nodes[i];
        }
        std::vector<std::uint64_t> FKeys;
        std::vector<TNode> FNodes;
        std::size_t FCount = 0;
    };
    TSeen FSeen;
    // Open states by f; within one f the deepest comes first (taken from the back).
    std::vector<std::vector<std::pair<std::uint64_t, int>>> FBuckets;
    std::size_t FBest = 0;
};

// The home cells of one line in groups of at most three, never leaving one tile alone at the
// end: the last tile of a line cannot come home while its neighbour on the line stays put.
std::vector<std::vector<int>> groupsOf(const std::vector<int>& line, int most) {
    std::vector<std::vector<int>> groups;
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(most), line.size() - at);
        if (line.size() - at - take == 1) --take;
        groups.emplace_back(line.begin() + static_cast<std::ptrdiff_t>(at), line.begin() + static_cast<std::ptrdiff_t>(at + take));
        at += take;
    }
    return groups;
}

// One way through the stages: which line goes first when both are open, how many tiles a
// step takes at most, and the estimate's first weight (in halves).
struct TVariant {
    bool rowFirst;
    int groupSize;
    int weight;
};

constexpr TVariant Variants[] = {{true, 3, 3}, {false, 3, 3}, {true, 4, 3}, {false, 4, 3}, {true, 5, 4}, {false, 5, 4}};

// Expansions a step may take before it tries again with more weight on the estimate.
constexpr std::uint64_t StepBudget = 20000;

std::optional<std::vector<TZugArt>> solveVariant(int n, const std::vector<std::uint8_t>& cells, const TPatternTables& tables,
                                                 const std::atomic<bool>& cancel, std::uint64_t& nodes, const TVariant& v) {
    TBoardState board;
    board.n = n;
    board.cells = cells;
    for (int c = 0; c < n * n; ++c)
        if (board.cells[static_cast<std::size_t>(c)] == 0) board.blank = c;

    int top = 0, left = 0;
    while (n - top > 4 || n - left > 4) {
        std::uint64_t open = 0;
        for (int r = top; r < n; ++r)
            for (int c = left; c < n; ++c) open |= std::uint64_t{1} << (r * n + c);
        std::vector<int> line;
        const bool row = n - top > n - left || (n - top == n - left && v.rowFirst);
        if (row)
            for (int c = left; c < n; ++c) line.push_back(top * n + c);
        else
            for (int r = top; r < n; ++r) line.push_back(r * n + left);
        for (const auto& group : groupsOf(line, v.groupSize)) {
            std::optional<std::vector<int>> moves;
            // A step that takes long is tried again leaning more on its estimate, which finds
            // an answer sooner that may be longer; the last try has no limit.
            for (int w = v.weight; !moves; w = w * 3 / 2 + 1) {
                TGroupSearch search(board, open, group, w);
                moves = search.run(cancel, nodes, w > 40 ? ~std::uint64_t{0} : StepBudget);
                if (cancel.load(std::memory_order_relaxed)) return std::nullopt;
            }
            for (const int m : *moves) board.move(m);
            for (const int c : group) open &= ~(std::uint64_t{1} << c);
        }
        if (row)
            ++top;
        else
            ++left;
    }

    std::uint8_t rest[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const int value = board.cells[static_cast<std::size_t>((top + r) * n + left + c)];
            if (value == 0) {
                rest[r * 4 + c] = 0;
            } else {
                const int home = value - 1;
                rest[r * 4 + c] = static_cast<std::uint8_t>((home / n - top) * 4 + (home % n - left) + 1);
            }
        }
    std::uint64_t restNodes = 0;
    const auto last = SolveOptimal4(tables, rest, cancel, restNodes);
    nodes += restNodes;
    if (!last) return std::nullopt;
    board.moves.insert(board.moves.end(), last->begin(), last->end());
    return std::move(board.moves);
}

}  // namespace

std::optional<std::vector<TZugArt>> SolveLarge(int n, std::vector<std::uint8_t> cells, const TPatternTables& tables,
                                               const std::atomic<bool>& cancel, std::uint64_t& nodes) {
    // Several ways are tried while time allows, and the shortest answer wins: a new way
    // starts only when, at the pace of the ways before, it ends well within a second.
    using TClock = std::chrono::steady_clock;
    const auto start = TClock::now();
    std::optional<std::vector<TZugArt>> best;
    double slowest = 0;
    for (const TVariant& v : Variants) {
        const double before = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
        if (best && before + 2 * slowest > 500) break;
        auto moves = solveVariant(n, cells, tables, cancel, nodes, v);
        if (!moves) return std::nullopt;
        if (!best || moves->size() < best->size()) best = std::move(moves);
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(TClock::now() - start).count() - before);
    }
    return best;
}

}  // namespace solver
