// TIniSection and TIniSectionList: the lines of one INI section, and the sections by name.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/string_list.h"

class TIniStream;

// The lines of one section in file order. Each item's text is the line's key (empty for a
// keyless line: a comment, a line without "=", or a line stored unparsed), its owned
// TStringObject the value (for a keyless line the whole line). Keys compare case-insensitively
// in the user's locale; several lines may share a key, and every read finds the first of them.
class TIniSection : public TStringList {
public:
    TIniSection() = default;

    // A new section with the same keys and copies of the values, in the same order.
    std::unique_ptr<TIniSection> Clone() const;

    // The value of the line at index (empty when the line has no value object).
    const std::u16string& getValues(int index) const;
    const std::u16string& Values(int index) const { return getValues(index); }
    // The value of the first line with that key; empty when there is none.
    const std::u16string& getValue(std::u16string_view key) const;
    const std::u16string& Value(std::u16string_view key) const { return getValue(key); }
    const std::u16string& getString(std::u16string_view key) const { return getValue(key); }

    // True when no line has a non-empty value; a comment line is not empty.
    bool isEmpty() const;

    // Appends the lines to list: keyed lines as key=value, keyless ones as their value;
    // keyless lines beginning with ";" only withCommentLines.
    void GetSectionLines(TStrings& list, bool withCommentLines) const;
    // Replaces the lines with the items of list, each stored unparsed as a keyless line;
    // items beginning with ";" are skipped unless withCommentLines.
    void SetSectionLines(const TStrings& list, bool withCommentLines);
    // Replaces the lines with the items of list, each parsed as a keyword line.
    void SetKWSectionLines(const TStrings& list);
    // The lines joined by single carriage returns.
    std::u16string GetSectionText() const;
    // Sorts by key and removes each line equal in key and value to the line before it.
    void DelDupLines();

protected:
    friend class TIniStream;

    // Parses one line and appends it. A line beginning with ";" and a line without "=" are
    // keyless; a line whose first "=" ends it is dropped. Otherwise the key is the text before
    // the first "=" without surrounding spaces (tabs stay) and the value the text after it,
    // verbatim, unless it is enclosed in single quotes, which are removed.
    void AddKWLine(std::u16string_view line);
    // Sets, replaces or (with an empty value) deletes the value of the first line with key;
    // true when the section changed.
    bool putValue(std::u16string_view key, const std::u16string& value);
    // Appends the saved form: the lines with a non-empty value, then one empty item. A keyed
    // line is written so that parsing gives its key and value back: a key beginning with ";"
    // or "[" gets a space in front, and a value enclosed in single quotes one more pair.
    void WriteLines(TStrings& list) const;
    // Calls emit(key, value) for each line of the saved form, in the form written: key is
    // empty for keyless lines and for the closing blank line, which comes last with an empty
    // value too.
    template <class Emit>
    void ForEachSavedLine(Emit&& emit) const;
    // The written form of a keyed line's key and of its value; scratch holds the text when it
    // differs from the stored one.
    static std::u16string_view SavedKey(std::u16string_view key, std::u16string& scratch);
    static std::u16string_view SavedValue(std::u16string_view value, std::u16string& scratch);
    // Appends a line with its value.
    void AddLine(std::u16string key, std::u16string value);
};

template <class Emit>
void TIniSection::ForEachSavedLine(Emit&& emit) const {
    std::u16string keyScratch, valueScratch;
    for (int i = 0; i < Count(); ++i) {
        const std::u16string& value = getValues(i);
        if (value.empty()) continue;
        const std::u16string& key = Strings(i);
        if (key.empty())
            emit(std::u16string_view(), std::u16string_view(value));
        else
            emit(SavedKey(key, keyScratch), SavedValue(value, valueScratch));
    }
    emit(std::u16string_view(), std::u16string_view());
}

// The sections of a document: item text the section name, item object the owned section.
class TIniSectionList : public TStringList {
public:
    // The section at index; nullptr when the item carries no section.
    TIniSection* getSections(int index) const { return ObjectAs<TIniSection>(index); }
    TIniSection* Sections(int index) const { return getSections(index); }
};
