// The game kept between runs (section "Game") and the best results (section "Records") in the settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/best_results.h"
#include "game/position.h"

class TUserSettings;

inline constexpr char16_t GameSection[] = u"Game";
inline constexpr char16_t RecordsSection[] = u"Records";

// A game in progress: where the tiles are, where they were after the shuffle, the moves and
// seconds so far, and whether help was used (then it enters no best result).
struct TSavedGame {
    TPosition board;
    TPosition start;
    std::int32_t moves = 0;
    std::int32_t seconds = 0;
    bool assisted = false;
};

// The stored game, when it is one of an n x n board worth resuming: both positions valid and
// solvable, the tiles not already in order, moves and seconds counts in range. Anything else
// gives nothing, and the caller shuffles a new game.
std::optional<TSavedGame> ReadSavedGame(TUserSettings& settings, std::int32_t n);
// Keeps game in section "Game", or removes the section when there is none. A section that
// already holds exactly these lines is left alone, so that nothing needs saving.
void WriteSavedGame(TUserSettings& settings, const std::optional<TSavedGame>& game);

// The valid lines of section "Records"; the rest is ignored.
TBestResults ReadBestResults(TUserSettings& settings);
// Section "Records" with exactly the results, one line each; what else it held is gone.
void WriteBestResults(TUserSettings& settings, const TBestResults& results);

// Makes sect hold exactly these key and value lines, in this order, unless it does already.
void ReplaceSection(TUserSettings& settings, const std::u16string& sect,
                    const std::vector<std::pair<std::u16string, std::u16string>>& lines);
