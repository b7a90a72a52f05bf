// TIni: an INI document bound to a file - loading with encoding fallback, saving, reloading.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/string_list.h"
#include "common/text_encoding.h"
#include "settings/ini_stream.h"

// Maps a file path to the path of its writable stand-by copy, for files whose own folder the
// user may not write to.
using TVirtualizeFunction = std::function<std::u16string(const std::u16string& fn)>;

// The document of one file. The file is read at creation and whenever Maintain finds it changed
// on disk; pending changes are written by Save, Maintain, at destruction, and by any read
// (ReadString and everything built on it) once they have waited more than ten seconds. A
// document without any value deletes its file instead of writing it. Failures are not
// reported. A failed save keeps the changes pending for the next save point (Save, Maintain,
// the destructor); reads do not try again. A file that is there but cannot be read is never
// written over or deleted by the document that could not read it.
class TIni : public TIniStream {
public:
    // The document of fn, read when the file exists; undecodable bytes are reported to MsgBox.
    explicit TIni(const std::u16string& fn);
    // Without aEncodingErrorHandler undecodable bytes are reported to MsgBox; with a
    // virtualize function a failed write is retried once at the stand-by path, and a missing
    // file is read from there.
    TIni(const std::u16string& fn, std::optional<TTextEncoding> aEncoding, TEncodingErrorHandler aEncodingErrorHandler,
         TVirtualizeFunction aVirtualizeFuntion);
    // Writes pending changes first; errors are swallowed.
    ~TIni() override;

    // The content goes to newFileName at the next save; nothing is read.
    void ChangeFileName(const std::u16string& newFileName);
    // Hands "Die Datei <CR><file><CR> enthält in Zeile <n> ein nicht interpretierbares Zeichen."
    // to MsgBox->Info.
    static void DefaultOnEncodingError(TIni& Sender, std::int32_t lineNr);
    static void IgnoreOnErrorEncoding(TIni& Sender, std::int32_t lineNr);

    // Replaces the content with that of file fn. The encoding is Encoding when set, else the
    // file's byte order mark (UTF-8 or UTF-16, which Encoding then becomes), else the ANSI
    // code page. Undecodable lines are read in the ANSI code page and the last one is reported
    // to OnEncodingError before the lines are parsed. A file that is missing or cannot be read
    // raises EOSError and leaves the document as it was. Loading another file than FileName
    // sets Modified.
    void LoadFromFile(const std::u16string& fn);
    void ReadFromFile();
    // Replaces the content with source; here a header's name ends at its first "]" and ";$C"
    // is an ordinary comment.
    void ReadFromString(std::u16string_view source);
    // Writes pending changes, or reloads the file when another program changed it (a file
    // that cannot be read then leaves the document as it is).
    void Maintain();

    void ReadSectionLines(const std::u16string& section, TStrings& list, bool withCommentLines) override;
    std::u16string ReadString(const std::u16string& section, const std::u16string& key,
                              const std::u16string& def) override;

    // Called after a failed write.
    virtual void SaveFailed();
    // Writes the document to fn in aEncoding (which becomes Encoding when given), or deletes
    // fn when the document is empty. Clears Modified when that worked; nothing happens for an
    // empty fn, nor for FileName while FileUnreadable.
    virtual void SaveToFile(const std::u16string& fn, std::optional<TTextEncoding> aEncoding);
    // SaveToFile(FileName, Encoding) when Modified.
    virtual void Save();

    std::int32_t AnsiReadInteger(std::string_view section, std::string_view key, std::int32_t def);
    std::string AnsiReadString(std::string_view section, std::string_view key, std::string_view def);

    bool AutoMaintain() const noexcept { return FAutoMaintain; }
    void SetAutoMaintain(bool value) noexcept { FAutoMaintain = value; }
    const std::u16string& FileName() const noexcept { return FFileName; }
    // Last-write time of FileName at the last load or save (0: no file; -1: from a string).
    double FileTime() const noexcept { return FFileTime; }
    // The clock of the ten-second rule: local time in days (platform::Now by default).
    void SetClock(std::function<double()> clock);
    // FileName is there but could not be read: the document holds nothing of it and will
    // neither write it nor delete it, until a read of it works or the name changes.
    bool FileUnreadable() const noexcept { return FFileUnreadable; }
    // The last attempt to save FileName failed; the changes wait for the next save point.
    bool LastSaveFailed() const noexcept { return FSaveFailed; }

private:
    enum class TReadResult { Loaded, Missing, Unreadable };
    // Replaces the content with that of fn; a file that cannot be read leaves it as it was.
    TReadResult readFile(const std::u16string& fn);
    // Writes the document to fn, or deletes fn when the document is empty; true when it worked.
    bool writeDocument(const std::u16string& fn);
    // One write attempt of the rendered lines (each ended by CR LF), with the retry.
    // Both answer whether the text reached a file (the original or the stand-by copy).
    bool SaveListToFile(std::u16string_view lines, const std::u16string& fn);
    bool SaveToVirtualFolder(const std::u16string& fn);

    std::u16string FFileName;
    double FFileTime = 0;
    bool FAutoMaintain = false;
    bool FVirtualizeWriteprotectedFolders = false;
    bool FTryAgain = false;
    bool FRetrying = false;
    bool FFileUnreadable = false;
    bool FSaveFailed = false;
    TVirtualizeFunction FVirtualFolder;
    std::function<double()> FClock;
};

// Last-write time of fn in local days; 0 when the file does not exist.
double FileTimeOf(const std::u16string& fn);

// Decodes bytes strictly in encoding e; an empty line succeeds, any other must decode to a
// non-empty text.
bool TryDecodeLine(std::string_view bytes, TTextEncoding e, std::u16string& text);

// The line-by-line fallback for content that does not decode as a whole: a leading byte order
// mark of e is skipped, lines end at CR, LF or CR LF (in units of e), and each line that does
// not decode is read in the ANSI code page instead (UTF-16 lines: with U+FFFD for the bad
// units). Replaces the content of lines; the number (from 1) of the last bad line, or -1.
std::int32_t DecodeLinewise(std::string_view bytes, TTextEncoding e, TStrings& lines);
