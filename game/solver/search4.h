// Optimal 4 x 4 solutions: iterative deepening with the pattern tables as the bound.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "game/board.h"
#include "game/solver/pattern_tables.h"

namespace solver {

// The moves of a shortest solution of a valid 4 x 4 position (16 cells in reading order, 0
// empty); nullopt when cancel was raised first. nodes counts the positions looked at.
std::optional<std::vector<TZugArt>> SolveOptimal4(const TPatternTables& tables, const std::uint8_t* cells,
                                                  const std::atomic<bool>& cancel, std::uint64_t& nodes);

// The bound the tables give for a valid 4 x 4 position.
int LowerBound4(const TPatternTables& tables, const std::uint8_t* cells);

}  // namespace solver
