// TIniStream: an INI document in memory - sections, typed values, text form and change state.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/string_list.h"
#include "common/text_encoding.h"
#include "settings/ini_section.h"

class TIni;

// Raised to the document's owner when a file held undecodable bytes: the number of the last
// line that could not be decoded.
using TEncodingErrorHandler = std::function<void(TIni& Sender, std::int32_t lineNr)>;

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// The document. Text form: a line "[name]" starts a section (the unnamed section holds the
// lines before the first header), ";$C" makes section names case-sensitive, empty lines are
// dropped, every other line goes to the current section. Sections are kept sorted by name and
// written in that order, the unnamed one first and without a header. Keys are always
// case-insensitive.
class TIniStream {
public:
    TIniStream();
    virtual ~TIniStream();
    TIniStream(const TIniStream&) = delete;
    TIniStream& operator=(const TIniStream&) = delete;

    // Called when a header names a section that already exists.
    virtual void SectionReopened(const std::u16string& name);
    // Clears list and fills it with the section's lines (TIniSection::GetSectionLines).
    virtual void ReadSectionLines(const std::u16string& section, TStrings& list, bool withCommentLines);
    // The stored value; def when the section or key is missing or the value is empty.
    virtual std::u16string ReadString(const std::u16string& section, const std::u16string& key,
                                      const std::u16string& def);

    // Removes all sections; CaseSensitive, Encoding and Modified stay.
    void Clear();
    void ClearSection(const std::u16string& sectionName);
    // Takes aSection into the document under nm (a section without lines first gets "?=?").
    // Returns aSection when a section nm already exists and nothing was taken, else nullptr.
    std::unique_ptr<TIniSection> AddSection(const std::u16string& nm, std::unique_ptr<TIniSection> aSection);
    // True when no section holds a non-empty value.
    bool isEmpty() const;

    // Parses lines into the document without clearing it first.
    void LoadFromList(const TStrings& li);
    // Clears the document and parses bytes: the encoding is taken from a byte order mark
    // (which is skipped), else the ANSI code page, and remembered in Encoding. Raises
    // EEncodingError when the bytes are not valid in it; the document is then empty.
    void LoadFromStream(std::string_view bytes);
    // Appends the written form of the document to li.
    void SaveToList(TStrings& li) const;
    // Appends the written form as bytes in aEncoding (without one, the ANSI code page): the
    // byte order mark, then every line followed by CR LF.
    void SaveToStream(std::string& st, std::optional<TTextEncoding> aEncoding) const;

    bool ReadBool(const std::u16string& section, const std::u16string& key, bool def);
    // Whole decimal or hexadecimal ("$", "x", "0x"; at most eight digits) numbers only; invalid
    // text reads as 0.
    std::int32_t ReadInteger(const std::u16string& section, const std::u16string& key, std::int32_t def);
    // The same syntax in 64 bits (sixteen hexadecimal digits); invalid text reads as def.
    std::int64_t ReadInt64(const std::u16string& section, const std::u16string& key, std::int32_t def);
    // A decimal number ("." or "," before the fraction); def when it is not one.
    double ReadFloat(const std::u16string& Section, const std::u16string& Name, double Default);
    // The 16 hexadecimal digits of the value's bit pattern.
    double ReadDouble(const std::u16string& section, const std::u16string& key, double def);
    // "X,Y"; def (in the same form) when missing.
    TPoint ReadPoint(const std::u16string& section, const std::u16string& key, const std::u16string& def);
    // The keys of the section in line order.
    void ReadSectionLineNames(const std::u16string& section, TStrings& list);
    // Clears list, then adds each section name with its section attached (not owned by list).
    void ReadSectionNames(TStrings& list) const;
    // Gives the section at index a new name and moves it to its sorted place; refused (false)
    // when another section already has that name.
    bool RenameSection(int index, const std::u16string& newName);
    void SortKeywords();
    void DelDupLines();

    // Sets, replaces or (with the empty text) deletes a value; Modified when that changed it.
    void WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value);
    void WriteBool(const std::u16string& section, const std::u16string& key, bool value);
    void WriteInteger(const std::u16string& section, const std::u16string& key, std::int32_t value);
    void WriteDouble(const std::u16string& section, const std::u16string& key, double value);
    // Replaces the section's lines by the items of list, stored unparsed; always Modified.
    void WriteSectionLines(const std::u16string& section, const TStrings& list, bool withCommentLines);

    TIniSection* getsections(int index) const { return FSections.getSections(index); }
    TIniSection* Sections(int index) const { return getsections(index); }
    TIniSection* getSectionByName(std::u16string_view name) const;
    TIniSection* SectionByName(std::u16string_view name) const { return getSectionByName(name); }
    const std::u16string& getSectionNames(int index) const { return FSections.Strings(index); }
    const std::u16string& SectionNames(int index) const { return getSectionNames(index); }
    int Count() const { return FSections.Count(); }
    bool CaseSensitive() const { return FSections.CaseSensitive(); }
    void SetCaseSensitive(bool value) {
        FSections.SetCaseSensitive(value);
        FLastSection = -1;
    }
    std::optional<TTextEncoding> Encoding() const { return FEncoding; }
    void SetEncoding(std::optional<TTextEncoding> value) { FEncoding = value; }
    bool Modified() const { return FModified; }
    const TIniSectionList& SectionList() const { return FSections; }
    const TEncodingErrorHandler& OnEncodingError() const { return FOnEncodingError; }
    void SetOnEncodingError(TEncodingErrorHandler handler) { FOnEncodingError = std::move(handler); }

protected:
    // The written form as text, every line followed by CR LF (SaveToList without the list).
    std::u16string RenderText() const;
    void SetModified() { FModified = true; }
    TIniSection& GetOrAddSection(const std::u16string& name);
    // The document parser: every entry point that reads text feeds its lines through here.
    class TLineParser;

    TIniSectionList FSections;
    std::optional<TTextEncoding> FEncoding;
    TEncodingErrorHandler FOnEncodingError;
    bool FModified = false;

private:
    // Readers ask for the same section many times in a row, and the sorted search compares
    // names in the user's locale, which is slow. Only a name equal code unit for code unit
    // is answered from here; every change of the section list resets it or moves it to the
    // section just inserted.
    mutable int FLastSection = -1;

    int IndexOfSection(std::u16string_view name) const;
    // The position of the section found last when its name is exactly name, else -1.
    int LastSectionIf(std::u16string_view name) const;
    // Calls emit(a, b, c) with the pieces of each written line, in order.
    template <class Emit>
    void ForEachWrittenLine(Emit&& emit) const;
};

// Parses lines into a document the way LoadFromList does (or, with headersToFirstBracket, the
// way TIni::ReadFromString does: the name ends at the first "]" and ";$C" is a comment).
class TIniStream::TLineParser {
public:
    TLineParser(TIniStream& doc, bool headersToFirstBracket) : FDoc(doc), FHeadersToFirstBracket(headersToFirstBracket) {}
    void Line(std::u16string_view line);

private:
    TIniStream& FDoc;
    TIniSection* FCurrent = nullptr;
    bool FHeadersToFirstBracket;
};
