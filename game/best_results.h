// The best result of each board size and shuffle count: fewest moves, then the shortest time.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Which results compete: the same board size and the same number of shuffle moves.
struct TResultKey {
    std::int32_t size = 0;
    std::int32_t shuffles = 0;

    auto operator<=>(const TResultKey&) const = default;
};

struct TBestResult {
    std::int32_t moves = 0;
    std::int32_t seconds = 0;

    bool operator==(const TBestResult&) const = default;
};

// True when a beats b: fewer moves, or as many in less time.
bool Beats(const TBestResult& a, const TBestResult& b);

// "<n>x<n>-<shuffles>", e.g. "4x4-200", and "<moves>,<seconds>", e.g. "57,192".
std::u16string ResultKeyText(const TResultKey& key);
std::u16string ResultValueText(const TBestResult& result);
// The key and the result of one stored line, when both are in their exact written form with a
// board size of 3 to 8, a shuffle count and a move count of at least 1 and no number beyond
// MaxStoredCount. Leading zeros, signs, blanks and other sizes on the two sides give nothing.
std::optional<TResultKey> ParseResultKey(std::u16string_view text);
std::optional<TBestResult> ParseResultValue(std::u16string_view text);

class TBestResults {
public:
    // Takes every valid "key=value" line; the better result wins where a key comes twice.
    void Load(const std::vector<std::u16string>& lines);
    // Keeps the result when it is the first for its key or beats the one kept; says whether it did.
    bool Enter(const TResultKey& key, const TBestResult& result);
    const TBestResult* Find(const TResultKey& key) const;
    bool Empty() const { return FResults.empty(); }
    // Key and value texts by board size, then shuffle count.
    std::vector<std::pair<std::u16string, std::u16string>> Entries() const;
    const std::map<TResultKey, TBestResult>& All() const { return FResults; }

private:
    std::map<TResultKey, TBestResult> FResults;
};

// Playing time as "m:ss", from one hour on "h:mm:ss".
std::u16string PlayTimeText(std::int64_t seconds);
// The text of the best-results box: one line per size and shuffle count played, e.g.
// "4x4, 200 Mischzüge: 57 Züge in 3:12".
std::u16string BestResultsText(const TBestResults& results);
