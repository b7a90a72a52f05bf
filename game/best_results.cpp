// Best results: comparison, the stored form and the text the player reads.
#include "game/best_results.h"

#include "game/board.h"
#include "game/stored_text.h"

namespace {

// A count in exactly the form CountText writes: no leading zeros.
std::optional<std::int32_t> canonicalCount(std::u16string_view s) {
    if (s.size() > 1 && s.front() == u'0') return std::nullopt;
    return ParseStoredCount(s);
}

std::u16string twoDigits(std::int64_t v) { return (v < 10 ? u"0" : u"") + CountText(v); }

}  // namespace

bool Beats(const TBestResult& a, const TBestResult& b) {
    return a.moves < b.moves || (a.moves == b.moves && a.seconds < b.seconds);
}

std::u16string ResultKeyText(const TResultKey& key) {
    return CountText(key.size) + u"x" + CountText(key.size) + u"-" + CountText(key.shuffles);
}

std::u16string ResultValueText(const TBestResult& result) {
    return CountText(result.moves) + u"," + CountText(result.seconds);
}

std::optional<TResultKey> ParseResultKey(std::u16string_view text) {
    const std::size_t x = text.find(u'x');
    const std::size_t dash = text.find(u'-');
    if (x == std::u16string_view::npos || dash == std::u16string_view::npos || dash < x) return std::nullopt;
    const auto columns = canonicalCount(text.substr(0, x));
    const auto rows = canonicalCount(text.substr(x + 1, dash - x - 1));
    const auto shuffles = canonicalCount(text.substr(dash + 1));
    if (!columns || !rows || !shuffles || *columns != *rows) return std::nullopt;
    if (*columns < MinBoardSize || *columns > MaxBoardSize || *shuffles < 1) return std::nullopt;
    return TResultKey{*columns, *shuffles};
}

std::optional<TBestResult> ParseResultValue(std::u16string_view text) {
    const auto items = SplitAtCommas(text);
    if (items.size() != 2) return std::nullopt;
    const auto moves = canonicalCount(items[0]);
    const auto seconds = canonicalCount(items[1]);
    if (!moves || !seconds || *moves < 1) return std::nullopt;
    return TBestResult{*moves, *seconds};
}

void TBestResults::Load(const std::vector<std::u16string>& lines) {
    for (const std::u16string& line : lines) {
        const std::size_t eq = line.find(u'=');
        if (eq == std::u16string::npos) continue;
        const auto key = ParseResultKey(std::u16string_view(line).substr(0, eq));
        const auto value = ParseResultValue(std::u16string_view(line).substr(eq + 1));
        if (key && value) Enter(*key, *value);
    }
}

bool TBestResults::Enter(const TResultKey& key, const TBestResult& result) {
    const auto [it, added] = FResults.try_emplace(key, result);
    if (added) return true;
    if (!Beats(result, it->second)) return false;
    it->second = result;
    return true;
}

const TBestResult* TBestResults::Find(const TResultKey& key) const {
    const auto it = FResults.find(key);
    return it == FResults.end() ? nullptr : &it->second;
}

std::vector<std::pair<std::u16string, std::u16string>> TBestResults::Entries() const {
    std::vector<std::pair<std::u16string, std::u16string>> entries;
    for (const auto& [key, result] : FResults) entries.emplace_back(ResultKeyText(key), ResultValueText(result));
    return entries;
}

std::u16string PlayTimeText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const std::int64_t hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
    if (hours > 0) return CountText(hours) + u":" + twoDigits(minutes) + u":" + twoDigits(rest);
    return CountText(minutes) + u":" + twoDigits(rest);
}

std::u16string BestResultsText(const TBestResults& results) {
    if (results.Empty()) return u"Noch keine Bestwerte.";
    std::u16string text;
    for (const auto& [key, result] : results.All()) {
        if (!text.empty()) text += u'\n';
        text += CountText(key.size) + u"x" + CountText(key.size) + u", " + CountText(key.shuffles) +
                (key.shuffles == 1 ? u" Mischzug: " : u" Mischzüge: ") + CountText(result.moves) +
                (result.moves == 1 ? u" Zug in " : u" Züge in ") + PlayTimeText(result.seconds);
    }
    return text;
}
