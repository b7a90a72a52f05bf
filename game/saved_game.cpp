// The kept game and the best results in the settings file.
#include "game/saved_game.h"

#include "common/string_list.h"
#include "game/stored_text.h"
#include "settings/user_settings.h"

namespace {

std::vector<std::u16string> sectionLines(TUserSettings& settings, const std::u16string& sect) {
    TStringList list;
    settings.readList(sect, list);
    std::vector<std::u16string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
    return lines;
}

std::optional<TPosition> readPosition(TUserSettings& settings, const std::u16string& key, std::int32_t n) {
    const auto p = ParsePosition(settings.readString(GameSection, key, u""), n);
    if (!p || !IsSolvable(*p)) return std::nullopt;
    return p;
}

}  // namespace

std::optional<TSavedGame> ReadSavedGame(TUserSettings& settings, std::int32_t n) {
    const std::u16string sect = GameSection;
    TSavedGame game;
    const auto board = readPosition(settings, u"Board", n);
    const auto start = readPosition(settings, u"Start", n);
    const auto moves = ParseStoredCount(settings.readString(sect, u"Moves", u""));
    const auto seconds = ParseStoredCount(settings.readString(sect, u"Seconds", u""));
    if (!board || !start || !moves || !seconds || IsSolvedPosition(*board)) return std::nullopt;
    // Anything but a plain "no" keeps a game from the best results: a damaged flag must not
    // turn a helped game into a record.
    const std::u16string assisted = settings.readString(sect, u"Assisted", u"");
    return TSavedGame{*board, *start, *moves, *seconds, !assisted.empty() && assisted != u"0"};
}

void WriteSavedGame(TUserSettings& settings, const std::optional<TSavedGame>& game) {
    std::vector<std::pair<std::u16string, std::u16string>> lines;
    if (game) {
        lines = {{u"Board", PositionText(game->board)},
                 {u"Start", PositionText(game->start)},
                 {u"Moves", CountText(game->moves)},
                 {u"Seconds", CountText(game->seconds)}};
        if (game->assisted) lines.emplace_back(u"Assisted", u"1");
    }
    ReplaceSection(settings, GameSection, lines);
}

TBestResults ReadBestResults(TUserSettings& settings) {
    TBestResults results;
    results.Load(sectionLines(settings, RecordsSection));
    return results;
}

void WriteBestResults(TUserSettings& settings, const TBestResults& results) {
    ReplaceSection(settings, RecordsSection, results.Entries());
}

void ReplaceSection(TUserSettings& settings, const std::u16string& sect,
                    const std::vector<std::pair<std::u16string, std::u16string>>& lines) {
    std::vector<std::u16string> wanted;
    for (const auto& [key, value] : lines) wanted.push_back(key + u"=" + value);
    if (sectionLines(settings, sect) == wanted) return;
    settings.ClearSection(sect);
    for (const auto& [key, value] : lines) settings.writeString(sect, key, value);
}
