// The line grammar of INI sections, their saved and listed forms, and duplicate removal.
#include "settings/ini_section.h"

#include <vector>

#include "common/string_object.h"
#include "common/text_helpers.h"

namespace {

const std::u16string emptyText;

}  // namespace

std::unique_ptr<TIniSection> TIniSection::Clone() const {
    auto copy = std::make_unique<TIniSection>();
    for (int i = 0; i < Count(); ++i) copy->AddLine(Strings(i), getValues(i));
    return copy;
}

void TIniSection::AddLine(std::u16string key, std::u16string value) {
    AddObject(std::move(key), std::make_unique<TStringObject>(std::move(value)));
}

const std::u16string& TIniSection::getValues(int index) const {
    const TStringObject* value = ObjectAs<TStringObject>(index);
    return value ? value->SString() : emptyText;
}

const std::u16string& TIniSection::getValue(std::u16string_view key) const {
    const int i = IndexOf(key);
    return i < 0 ? emptyText : getValues(i);
}

bool TIniSection::isEmpty() const {
    for (int i = 0; i < Count(); ++i)
        if (!getValues(i).empty()) return false;
    return true;
}

void TIniSection::AddKWLine(std::u16string_view line) {
    if (FirstChar(line) == u';') {
        AddLine({}, std::u16string(line));
        return;
    }
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) {
        AddLine({}, std::u16string(line));
        return;
    }
    // "key=" cannot carry an empty value: such a line is dropped.
    if (eq + 1 == line.size()) return;
    std::u16string_view value = line.substr(eq + 1);
    if (value.size() >= 2 && value.front() == u'\'' && value.back() == u'\'') value = value.substr(1, value.size() - 2);
    std::u16string key(line.substr(0, eq));
    TrimSpaces(key);
    AddLine(std::move(key), std::u16string(value));
}

bool TIniSection::putValue(std::u16string_view key, const std::u16string& value) {
    const int i = IndexOf(key);
    if (i < 0) {
        if (value.empty()) return false;
        AddLine(std::u16string(key), value);
        return true;
    }
    if (getValues(i) == value) return false;
    if (value.empty())
        Delete(i);
    else
        PutObject(i, std::make_unique<TStringObject>(value));
    return true;
}

void TIniSection::WriteLines(TStrings& list) const {
    ForEachSavedLine([&list](std::u16string_view key, std::u16string_view value) {
        std::u16string line(key);
        if (!key.empty()) line += u'=';
        line += value;
        list.Add(std::move(line));
    });
}

std::u16string_view TIniSection::SavedKey(std::u16string_view key, std::u16string& scratch) {
    // Read back, such a line would be a comment or a section header; with a space in front it
    // is a keyed line again, as the parser trims the key.
    if (key.empty() || (key.front() != u';' && key.front() != u'[')) return key;
    scratch.assign(1, u' ').append(key);
    return scratch;
}

std::u16string_view TIniSection::SavedValue(std::u16string_view value, std::u16string& scratch) {
    // The parser takes one pair of enclosing quotes off, so a value that has them itself is
    // written inside another pair.
    if (value.size() < 2 || value.front() != u'\'' || value.back() != u'\'') return value;
    scratch.assign(1, u'\'').append(value).push_back(u'\'');
    return scratch;
}

void TIniSection::GetSectionLines(TStrings& list, bool withCommentLines) const {
    for (int i = 0; i < Count(); ++i) {
        const std::u16string& key = Strings(i);
        const std::u16string& value = getValues(i);
        if (!key.empty())
            list.Add(key + u'=' + value);
        else if (withCommentLines || FirstChar(value) != u';')
            list.Add(value);
    }
}

void TIniSection::SetSectionLines(const TStrings& list, bool withCommentLines) {
    BeginUpdate();
    Clear();
    for (int i = 0; i < list.Count(); ++i) {
        const std::u16string& line = list.Strings(i);
        if (withCommentLines || FirstChar(line) != u';') AddLine({}, line);
    }
    EndUpdate();
}

void TIniSection::SetKWSectionLines(const TStrings& list) {
    BeginUpdate();
    Clear();
    for (int i = 0; i < list.Count(); ++i) AddKWLine(list.Strings(i));
    EndUpdate();
}

std::u16string TIniSection::GetSectionText() const {
    std::u16string text;
    for (int i = 0; i < Count(); ++i) {
        const std::u16string& key = Strings(i);
        const std::u16string& value = getValues(i);
        if (!text.empty()) text += u'\r';
        if (!key.empty()) {
            text += key;
            text += u'=';
        }
        text += value;
    }
    return text;
}

void TIniSection::DelDupLines() {
    Sort();
    // Deleting from the end compares every line with its original predecessor, so one pass
    // that marks the repeats does the same without shifting the list for each deletion.
    std::vector<bool> repeated(static_cast<std::size_t>(Count()), false);
    for (int i = Count() - 1; i >= 1; --i)
        repeated[static_cast<std::size_t>(i)] = Strings(i) == Strings(i - 1) && getValues(i) == getValues(i - 1);
    DeleteMarked(repeated);
}
