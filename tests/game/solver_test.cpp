// The solver against references that are slow but plainly right: a breadth-first table of
// the whole 3 x 3 board and an iterative deepening on the Manhattan distance for 4 x 4.
#include "game/solver/solver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "game/solver/table_file.h"
#include "common/platform.h"
#include "tests/support/test_seed.h"
#include "tests/support/manhattan.h"

namespace {

using solver::TCells;
using testsupport::ManhattanDistance;
using solver::TSolution;
using solver::TStatus;

const std::atomic<bool> Never{false};

TCells solvedCells(int n) {
    TCells c(static_cast<std::size_t>(n * n));
    for (int i = 0; i + 1 < n * n; ++i) c[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
    return c;
}

// A position some random moves away from the solved one.
TCells walk(int n, int moves, std::mt19937& rng) {
    TCells c = solvedCells(n);
    for (int done = 0; done < moves;)
        if (solver::ApplyMove(c, static_cast<TZugArt>(rng() % 4))) ++done;
    return c;
}

// A uniformly random solvable position.
TCells randomCells(int n, std::mt19937& rng) {
    for (;;) {
        TCells c = solvedCells(n);
        std::shuffle(c.begin(), c.end(), rng);
        if (solver::PositionError(c).empty()) return c;
    }
}


// Plays the moves; true when every move was possible and the board ends solved.
bool replaySolves(TCells c, const std::vector<TZugArt>& moves) {
    for (const TZugArt z : moves)
        if (!solver::ApplyMove(c, z)) return false;
    return c == solvedCells(solver::SideOf(c.size()));
}

std::u16string tempFile(const char* name) {
    const auto p = std::filesystem::temp_directory_path() / ("tess_solver_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + name);
    return p.u16string();
}

// One solver with computed tables for the whole program, its cache file in the temp folder.
class SolverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CacheFile = new std::u16string(tempFile("_shared.tbl"));
        platform::RemoveFile(*CacheFile);
        Solver = new solver::TSolver(*CacheFile);
        ASSERT_TRUE(Solver->PrepareTables(Never));
    }
    static void TearDownTestSuite() {
        delete Solver;
        platform::RemoveFile(*CacheFile);
        delete CacheFile;
    }
    static solver::TSolver* Solver;
    static std::u16string* CacheFile;
};
solver::TSolver* SolverTest::Solver = nullptr;
std::u16string* SolverTest::CacheFile = nullptr;

TEST_F(SolverTest, Every3x3LengthMatchesABreadthFirstTable) {
    // The reference: distances of all reachable positions, keyed by the cells as text.
    std::map<TCells, int> distance;
    std::vector<TCells> level{solvedCells(3)};
    distance[level[0]] = 0;
    for (int d = 1; !level.empty(); ++d) {
        std::vector<TCells> next;
        for (const TCells& c : level)
            for (int m = 0; m < 4; ++m) {
                TCells after = c;
                if (solver::ApplyMove(after, static_cast<TZugArt>(m)) && distance.emplace(after, d).second) next.push_back(after);
            }
        level.swap(next);
    }
    ASSERT_EQ(distance.size(), 181440u);
    int checked = 0;
    for (const auto& [cells, d] : distance) {
        // Every 7th position, the farthest ones included, keeps the run short.
        if (checked++ % 7 != 0 && d < 30) continue;
        const TSolution s = Solver->Solve(cells, Never);
        ASSERT_EQ(s.status, TStatus::solved);
        ASSERT_EQ(static_cast<int>(s.moves.size()), d);
        ASSERT_TRUE(s.optimal);
        ASSERT_TRUE(replaySolves(cells, s.moves));
    }
}

// Iterative deepening on the Manhattan distance: slow, but every step of it is plain.
class TReference4 {
public:
    explicit TReference4(TCells c) : FCells(std::move(c)) {}
    int length() {
        for (int limit = ManhattanDistance(FCells);; limit += 2)
            if (dfs(0, limit, -1)) return limit;
    }

private:
    bool dfs(int g, int limit, int back) {
        const int h = ManhattanDistance(FCells);
        if (h == 0) return g == limit;
        if (g + h > limit) return false;
        for (int m = 0; m < 4; ++m) {
            if (m == back) continue;
            if (!solver::ApplyMove(FCells, static_cast<TZugArt>(m))) continue;
            const bool found = dfs(g + 1, limit, m ^ 1);
            solver::ApplyMove(FCells, static_cast<TZugArt>(m ^ 1));
            if (found) return true;
        }
        return false;
    }
    TCells FCells;
};

TEST_F(SolverTest, FourByFourLengthsAreThoseOfTheReference) {
    std::mt19937 rng(testsupport::testSeed());
    for (int i = 0; i < 6; ++i) {
        const TCells c = walk(4, 24 + 4 * i, rng);
        const TSolution s = Solver->Solve(c, Never);
        ASSERT_EQ(s.status, TStatus::solved);
        EXPECT_TRUE(s.optimal);
        EXPECT_EQ(static_cast<int>(s.moves.size()), TReference4(c).length()) << "walk " << i;
        EXPECT_TRUE(replaySolves(c, s.moves));
    }
    // Random positions, far beyond the reference's reach: still valid, never below the bound.
    for (int i = 0; i < 5; ++i) {
        const TCells c = randomCells(4, rng);
        const TSolution s = Solver->Solve(c, Never);
        ASSERT_EQ(s.status, TStatus::solved);
        EXPECT_GE(static_cast<int>(s.moves.size()), ManhattanDistance(c));
        EXPECT_EQ(s.moves.size() % 2, static_cast<std::size_t>(ManhattanDistance(c) % 2));
        EXPECT_TRUE(replaySolves(c, s.moves));
    }
}

TEST_F(SolverTest, LargeBoardsGetValidSolutionsMarkedAsBounds) {
    std::mt19937 rng(testsupport::testSeed());
    for (int n = 5; n <= 8; ++n) {
        const TCells c = randomCells(n, rng);
        const TSolution s = Solver->Solve(c, Never);
        ASSERT_EQ(s.status, TStatus::solved) << n;
        EXPECT_FALSE(s.optimal);
        EXPECT_GE(static_cast<int>(s.moves.size()), ManhattanDistance(c));
        EXPECT_TRUE(replaySolves(c, s.moves)) << n;
        // A board one move from solved gets that one move.
        TCells near = solvedCells(n);
        solver::ApplyMove(near, TZugArt::ab);
        EXPECT_EQ(Solver->Solve(near, Never).moves, std::vector<TZugArt>{TZugArt::auf});
    }
}

TEST_F(SolverTest, SolvedBoardsNeedNoMove) {
    for (int n = 3; n <= 8; ++n) {
        const TSolution s = Solver->Solve(solvedCells(n), Never);
        EXPECT_EQ(s.status, TStatus::solved);
        EXPECT_TRUE(s.moves.empty());
    }
}

TEST(SolverInput, WhatIsNotABoardIsRefused) {
    struct TCase {
        TCells cells;
        const char* says;
    };
    const TCase cases[] = {
        {{}, "0 numbers"},
        {{1, 2, 3, 4, 5, 6, 7, 0}, "8 numbers"},
        {TCells(81, 0), "81 numbers"},
        {{1, 2, 3, 4, 5, 6, 7, 7, 0}, "7 appears more than once"},
        {{1, 2, 3, 4, 5, 6, 7, 9, 0}, "9 is out of range"},
        {{1, 2, 3, 4, 5, 6, 8, 7, 0}, "cannot be solved"},
        {{2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}, "cannot be solved"},
        {{1, 2, 3, 4, 5, 6, 7, 0, 8}, ""},
    };
    solver::TSolver s;
    for (const TCase& c : cases) {
        const TSolution r = s.Solve(c.cells, Never);
        const std::string error = solver::PositionError(c.cells);
        if (*c.says == 0) {
            EXPECT_EQ(r.status, TStatus::solved);
            EXPECT_EQ(error, "");
        } else {
            EXPECT_EQ(r.status, TStatus::invalid);
            EXPECT_NE(error.find(c.says), std::string::npos) << error;
        }
    }
}

TEST_F(SolverTest, ACancelledSearchEndsAtOnceAndTheNextOneWorks) {
    std::mt19937 rng(testsupport::testSeed());
    const TCells hard = randomCells(8, rng);
    const std::atomic<bool> raised{true};
    EXPECT_EQ(Solver->Solve(hard, raised).status, TStatus::cancelled);

    // Raised from another thread while the search runs.
    std::atomic<bool> cancel{false};
    TSolution late;
    std::thread worker([&] { late = Solver->Solve(hard, cancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto raisedAt = std::chrono::steady_clock::now();
    cancel = true;
    worker.join();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - raisedAt).count();
    std::printf("a search ended %.2f ms after its cancel\n", ms);
    EXPECT_TRUE(late.status == TStatus::cancelled || replaySolves(hard, late.moves));

    // Two searches at once on one solver agree with one alone.
    const TCells c = randomCells(4, rng);
    TSolution a, b;
    std::thread first([&] { a = Solver->Solve(c, Never); });
    std::thread second([&] { b = Solver->Solve(c, Never); });
    first.join();
    second.join();
    EXPECT_EQ(a.moves, b.moves);
    EXPECT_EQ(a.moves.size(), Solver->Solve(c, Never).moves.size());
}

TEST_F(SolverTest, TheCacheIsUsedOnlyWhenWhole) {
    std::string good;
    ASSERT_TRUE(platform::ReadFileBytes(*CacheFile, good));
    solver::TPatternTables tables;
    EXPECT_EQ(solver::ReadTableFile(*CacheFile, tables), "");

    const std::u16string bad = tempFile("_bad.tbl");
    struct TCase {
        std::string bytes;
        const char* problem;
    };
    std::string flipped = good;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x10);
    std::string otherLength = good;
    otherLength[16] = static_cast<char>(otherLength[16] + 1);
    const TCase cases[] = {
        {good.substr(0, good.size() - 1), "wrong length"},
        {good.substr(0, 20), "not a table file"},
        {"", "not a table file"},
        {flipped, "checksum mismatch"},
        {otherLength, "wrong length"},
        {"ZIBTAB01" + good.substr(8, 8) + std::string(16, '\0'), "wrong length"},
        {"ZIBTAB01" + std::string(24, '\1') + good.substr(32), "another layout"},
    };
    for (const TCase& c : cases) {
        ASSERT_TRUE(platform::WriteFileAtomic(bad, c.bytes));
        EXPECT_NE(solver::ReadTableFile(bad, tables).find(c.problem), std::string::npos) << c.problem;
    }
    platform::RemoveFile(bad);
    EXPECT_EQ(solver::ReadTableFile(bad, tables), "missing");

    // A solver that meets a corrupt file computes the tables and writes a good file.
    ASSERT_TRUE(platform::WriteFileAtomic(bad, flipped));
    {
        solver::TSolver rebuilt(bad);
        ASSERT_TRUE(rebuilt.PrepareTables(Never));
        EXPECT_FALSE(rebuilt.TableInfo().loaded);
        EXPECT_EQ(rebuilt.TableInfo().cacheProblem, "checksum mismatch");
    }
    std::string rewritten;
    ASSERT_TRUE(platform::ReadFileBytes(bad, rewritten));
    EXPECT_TRUE(rewritten == good);
    // And the next one reads it.
    solver::TSolver reader(bad);
    ASSERT_TRUE(reader.PrepareTables(Never));
    EXPECT_TRUE(reader.TableInfo().loaded);
    EXPECT_EQ(reader.TableInfo().bytes, solver::TPatternTables::ByteCount());
    platform::RemoveFile(bad);
}

TEST(SolverCache, TheDefaultFileLivesInTheLocalCacheFolder) {
    const std::u16string f = solver::DefaultCacheFile();
    ASSERT_FALSE(f.empty());
    const char16_t sep = platform::PathSeparator();
    EXPECT_NE(f.find(std::u16string(1, sep) + u"Kvor" + sep), std::u16string::npos);
#ifdef _WIN32
    EXPECT_EQ(f.find(u"\\Roaming\\"), std::u16string::npos);
#endif
}

}  // namespace
