// The messages of PositionError; kept apart so that a program that only solves valid
// positions, such as the game, carries none of their text.
#include <string>

#include "game/solver/solver.h"

namespace solver {

std::string PositionError(std::span<const std::uint8_t> cells) {
    const TPositionFault f = PositionFault(cells);
    switch (f.kind) {
        case TPositionFault::TKind::none: return {};
        case TPositionFault::TKind::count:
            return std::to_string(cells.size()) + " numbers: a board has 9, 16, 25, 36, 49 or 64";
        case TPositionFault::TKind::range:
            return "number " + std::to_string(f.number) + " is out of range 0.." + std::to_string(cells.size() - 1);
        case TPositionFault::TKind::repeated: return "number " + std::to_string(f.number) + " appears more than once";
        case TPositionFault::TKind::parity: break;
    }
    return "the position cannot be solved (two tiles swapped)";
}

}  // namespace solver
