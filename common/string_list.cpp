// TStrings and TStringList: item storage, locale comparison, sorted lists, text and bytes.
#include "common/string_list.h"

#include <algorithm>

#include "common/platform.h"

namespace {

// Below this size a scan is as fast as the lookup index and needs no memory.
constexpr int lookupThreshold = 32;

}  // namespace

// --- TStrings ------------------------------------------------------------------------------

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedInUpdate) {
        FChangedInUpdate = false;
        if (OnChange) OnChange(*this);
    }
}

void TStrings::Changed() {
    if (FUpdateCount > 0)
        FChangedInUpdate = true;
    else if (OnChange)
        OnChange(*this);
}

void TStrings::Assign(const TStrings& other) {
    if (&other == this) return;
    BeginUpdate();
    Clear();
    AddStrings(other);
    EndUpdate();
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    const int n = other.Count();
    for (int i = 0; i < n; ++i) Add(other.Strings(i));
    EndUpdate();
}

std::u16string TStrings::Text() const {
    std::size_t size = 0;
    const int n = Count();
    for (int i = 0; i < n; ++i) size += Strings(i).size() + 2;
    std::u16string text;
    text.reserve(size);
    for (int i = 0; i < n; ++i) {
        text += Strings(i);
        text += u"\r\n";
    }
    return text;
}

void TStrings::SetText(std::u16string_view text) {
    BeginUpdate();
    Clear();
    ForEachLine(text, [this](std::u16string_view line) { Add(std::u16string(line)); });
    EndUpdate();
}

TTextEncoding TStrings::LoadFromBytes(std::string_view bytes, std::optional<TTextEncoding> encoding) {
    const TTextEncoding e = encoding ? *encoding : EncodingFromPreamble(bytes).value_or(TTextEncoding::Ansi);
    SetText(DecodeText(SkipPreamble(bytes, e), e));
    return e;
}

std::string TStrings::SaveToBytes(TTextEncoding encoding) const {
    std::string bytes(Preamble(encoding));
    AppendEncoded(bytes, Text(), encoding);
    return bytes;
}

// --- TStringList ---------------------------------------------------------------------------

std::size_t TStringList::checked(int index) const {
    if (index < 0 || index >= Count()) throw EStringListError(u"List index out of bounds");
    return static_cast<std::size_t>(index);
}

int TStringList::CompareStrings(std::u16string_view a, std::u16string_view b) const {
    return platform::CompareText(a, b, FCaseSensitive);
}

const std::u16string& TStringList::Strings(int index) const { return FItems[checked(index)].text; }

void* TStringList::Objects(int index) const { return FItems[checked(index)].object.Get(); }

void TStringList::Put(int index, std::u16string s) {
    const std::size_t i = checked(index);
    if (FSorted) throw EStringListError(u"Operation not allowed on sorted list");
    FItems[i].text = std::move(s);
    invalidateLookup();
    Changed();
}

void TStringList::PutObject(int index, TAttachedObject obj) {
    // The old object is freed (when owned) as obj goes out of scope.
    FItems[checked(index)].object.swap(obj);
    Changed();
}

int TStringList::AddObject(std::u16string s, TAttachedObject obj) {
    if (FSorted) {
        int index;
        if (Find(s, index)) return index;
        insertItem(static_cast<std::size_t>(index), std::move(s), std::move(obj));
        return index;
    }
    const int index = Count();
    insertItem(FItems.size(), std::move(s), std::move(obj));
    return index;
}

void TStringList::InsertObject(int index, std::u16string s, TAttachedObject obj) {
    if (FSorted) throw EStringListError(u"Operation not allowed on sorted list");
    if (index < 0 || index > Count()) throw EStringListError(u"List index out of bounds");
    insertItem(static_cast<std::size_t>(index), std::move(s), std::move(obj));
}

void TStringList::insertItem(std::size_t pos, std::u16string s, TAttachedObject obj) {
    const bool atEnd = pos == FItems.size();
    FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(pos), TItem{std::move(s), std::move(obj)});
    if (atEnd)
        lookupAppended(static_cast<int>(pos));
    else
        invalidateLookup();
    Changed();
}

void TStringList::Delete(int index) {
    const std::size_t i = checked(index);
    lookupDeleted(index);
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
    Changed();
}

void TStringList::DeleteMarked(const std::vector<bool>& marked) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i < marked.size() && marked[i]) continue;
        if (out != i) FItems[out] = std::move(FItems[i]);
        ++out;
    }
    if (out == FItems.size()) return;
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(out), FItems.end());
    invalidateLookup();
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    // Objects freed by the items may not look back into a half-cleared list.
    std::vector<TItem> old;
    old.swap(FItems);
    FLookup = {};
    old.clear();
    Changed();
}

bool TStringList::Find(std::u16string_view s, int& index) const {
    std::size_t lo = 0, hi = FItems.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (CompareStrings(FItems[mid].text, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = static_cast<int>(lo);
    return lo < FItems.size() && CompareStrings(FItems[lo].text, s) == 0;
}

int TStringList::IndexOf(std::u16string_view s) const {
    if (FSorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    if (Count() < lookupThreshold) return linearIndexOf(s);
    return lookupIndexOf(s);
}

int TStringList::linearIndexOf(std::u16string_view s) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (CompareStrings(FItems[i].text, s) == 0) return static_cast<int>(i);
    return -1;
}

bool TStringList::plainKey(std::u16string_view s, std::u16string& key) const {
    // Within printable ASCII the locale's comparison ignores no character and folds only the
    // ASCII letters; hyphen and apostrophe are left out because word sorting weighs them apart.
    key.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c < 0x20 || c > 0x7E || c == u'-' || c == u'\'') return false;
        if (!FCaseSensitive && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        key[i] = c;
    }
    return true;
}

void TStringList::buildLookup() const {
    FLookup.first.clear();
    FLookup.others.clear();
    FLookup.first.reserve(FItems.size());
    std::u16string key;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (plainKey(FItems[i].text, key))
            FLookup.first.try_emplace(key, static_cast<int>(i));
        else
            FLookup.others.push_back(static_cast<int>(i));
    }
    FLookup.valid = true;
}

int TStringList::lookupIndexOf(std::u16string_view s) const {
    if (!FLookup.valid) buildLookup();
    std::u16string key;
    if (!plainKey(s, key)) return linearIndexOf(s);
    int found = -1;
    if (const auto it = FLookup.first.find(key); it != FLookup.first.end()) {
        found = it->second;
        // A locale may still tell apart what plain folding joins (Turkish dotless i).
        if (CompareStrings(FItems[static_cast<std::size_t>(found)].text, s) != 0) return linearIndexOf(s);
    }
    // A text outside plain ASCII can still equal s (ignorable characters, ligatures).
    for (const int i : FLookup.others) {
        if (found >= 0 && i > found) break;
        if (CompareStrings(FItems[static_cast<std::size_t>(i)].text, s) == 0) return i;
    }
    return found;
}

void TStringList::lookupAppended(int index) {
    if (!FLookup.valid) return;
    std::u16string key;
    if (plainKey(FItems[static_cast<std::size_t>(index)].text, key))
        FLookup.first.try_emplace(std::move(key), index);
    else
        FLookup.others.push_back(index);
}

void TStringList::lookupDeleted(int index) {
    if (!FLookup.valid) return;
    std::u16string key;
    if (plainKey(FItems[static_cast<std::size_t>(index)].text, key)) {
        const auto it = FLookup.first.find(key);
        if (it != FLookup.first.end() && it->second == index) {
            // The next item with the same key, if any, becomes the first one.
            std::u16string other;
            int next = -1;
            for (std::size_t j = static_cast<std::size_t>(index) + 1; j < FItems.size() && next < 0; ++j)
                if (plainKey(FItems[j].text, other) && other == key) next = static_cast<int>(j);
            if (next < 0)
                FLookup.first.erase(it);
            else
                it->second = next;
        }
    } else {
        std::erase(FLookup.others, index);
    }
    for (auto& entry : FLookup.first)
        if (entry.second > index) --entry.second;
    for (int& i : FLookup.others)
        if (i > index) --i;
}

void TStringList::Sort() {
    // A heap sort: unstable as allowed, and never leaves the range even if a locale's
    // comparison were not a strict ordering, which quicksort's unguarded loops rely on.
    const auto less = [this](const TItem& a, const TItem& b) { return CompareStrings(a.text, b.text) < 0; };
    std::make_heap(FItems.begin(), FItems.end(), less);
    std::sort_heap(FItems.begin(), FItems.end(), less);
    invalidateLookup();
    Changed();
}

void TStringList::Exchange(int a, int b) {
    const std::size_t i = checked(a), j = checked(b);
    if (FSorted) throw EStringListError(u"Operation not allowed on sorted list");
    std::swap(FItems[i], FItems[j]);
    invalidateLookup();
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (value == FSorted) return;
    if (value) Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive) return;
    FCaseSensitive = value;
    invalidateLookup();
    if (FSorted) Sort();
}
