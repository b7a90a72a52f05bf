// TIni: reading a file with its encoding and the line-by-line fallback, and writing it back.
#include "settings/ini_file.h"

#include "common/exceptions.h"
#include "common/msgbox.h"
#include "common/platform.h"
#include "common/text_helpers.h"

namespace {

// One tenth of a minute, in days: how long changes may wait before a read writes them.
constexpr double pendingChangesMaxAge = 10.0 / 86400.0;

bool isUtf16(TTextEncoding e) { return e == TTextEncoding::Utf16LE || e == TTextEncoding::Utf16BE; }

// Restores a flag when the scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

}  // namespace

// --- Decoding ------------------------------------------------------------------------------

double FileTimeOf(const std::u16string& fn) {
    double t = 0;
    return !fn.empty() && platform::FileTime(fn, t) ? t : 0;
}

bool TryDecodeLine(std::string_view bytes, TTextEncoding e, std::u16string& text) {
    text.clear();
    if (bytes.empty()) return true;
    return TryDecodeText(bytes, e, text) && !text.empty();
}

std::int32_t DecodeLinewise(std::string_view bytes, TTextEncoding e, TStrings& lines) {
    const TStringsUpdate batch(lines);
    lines.Clear();
    bytes = SkipPreamble(bytes, e);
    const bool wide = isUtf16(e);
    const std::size_t unit = wide ? 2 : 1;
    const auto unitAt = [&](std::size_t i) -> char16_t {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (!wide) return b0;
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(e == TTextEncoding::Utf16BE ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    std::int32_t lineNr = 0, lastBad = -1;
    std::u16string text;
    const auto emit = [&](std::string_view line) {
        ++lineNr;
        if (!TryDecodeLine(line, e, text)) {
            // A UTF-16 line read as ANSI bytes would only be noise; keep what decodes.
            text = wide ? DecodeUtf16Lenient(line, e == TTextEncoding::Utf16BE) : platform::AnsiToText(line);
            lastBad = lineNr;
        }
        lines.Add(text);
    };
    std::size_t start = 0, i = 0;
    while (i + unit <= bytes.size()) {
        const char16_t c = unitAt(i);
        i += unit;
        if (c != u'\r' && c != u'\n') continue;
        emit(bytes.substr(start, i - unit - start));
        if (c == u'\r' && i + unit <= bytes.size() && unitAt(i) == u'\n') i += unit;
        start = i;
    }
    if (start < bytes.size()) emit(bytes.substr(start));
    return lastBad;
}

// --- TIni ----------------------------------------------------------------------------------

TIni::TIni(const std::u16string& fn) : TIni(fn, std::nullopt, nullptr, nullptr) {}

TIni::TIni(const std::u16string& fn, std::optional<TTextEncoding> aEncoding, TEncodingErrorHandler aEncodingErrorHandler,
           TVirtualizeFunction aVirtualizeFuntion)
    : FVirtualizeWriteprotectedFolders(static_cast<bool>(aVirtualizeFuntion)),
      FVirtualFolder(std::move(aVirtualizeFuntion)),
      FClock(platform::Now) {
    FEncoding = aEncoding;
    FOnEncodingError = aEncodingErrorHandler ? std::move(aEncodingErrorHandler) : &TIni::DefaultOnEncodingError;
    FFileName = fn;
    if (fn.empty()) return;
    switch (platform::ProbeFile(fn)) {
    case platform::FileState::Present:
        // A file gone between the look and the read is a fresh start, as one never there.
        if (readFile(fn) == TReadResult::Unreadable) FFileUnreadable = true;
        break;
    case platform::FileState::Unreachable:
        FFileUnreadable = true;
        break;
    case platform::FileState::Missing:
        if (FVirtualFolder) {
            const std::u16string standBy = FVirtualFolder(fn);
            if (!standBy.empty() && platform::FileExists(standBy)) {
                FFileName = standBy;
                if (readFile(standBy) == TReadResult::Unreadable) FFileUnreadable = true;
            }
        }
        break;
    }
}

TIni::~TIni() {
    if (FModified) {
        try {
            SaveToFile(FFileName, FEncoding);
        } catch (...) {
            // A destructor has nobody to report to; the changes are lost.
        }
    }
    Clear();
}

void TIni::SetClock(std::function<double()> clock) { FClock = clock ? std::move(clock) : platform::Now; }

void TIni::ChangeFileName(const std::u16string& newFileName) {
    if (newFileName != FFileName) {
        // What was known of the old file says nothing about the new one.
        FFileUnreadable = false;
        FSaveFailed = false;
    }
    FFileName = newFileName;
    SetModified();
}

void TIni::DefaultOnEncodingError(TIni& Sender, std::int32_t lineNr) {
    const std::u16string msg = u"Die Datei \r" + Sender.FileName() + u"\r enth\u00E4lt in Zeile " +
                               platform::FromUtf8(std::to_string(lineNr)) + u" ein nicht interpretierbares Zeichen.";
    if (MsgBox) MsgBox->Info(msg);
}

void TIni::IgnoreOnErrorEncoding(TIni&, std::int32_t) {}

void TIni::LoadFromFile(const std::u16string& fn) {
    if (fn.empty()) return;
    switch (readFile(fn)) {
    case TReadResult::Loaded:
        return;
    case TReadResult::Missing:
        throw EOSError(u"Die Datei " + fn + u" ist nicht vorhanden.", 0);
    case TReadResult::Unreadable:
        throw EOSError(u"Die Datei " + fn + u" kann nicht gelesen werden.", 0);
    }
}

TIni::TReadResult TIni::readFile(const std::u16string& fn) {
    // The bytes first: a file that cannot be read must leave the document as it was, or the
    // next save would write the emptied document over the player's file.
    const double fileTime = FileTimeOf(fn);
    std::string bytes;
    if (!platform::ReadFileBytes(fn, bytes))
        return platform::ProbeFile(fn) == platform::FileState::Missing ? TReadResult::Missing : TReadResult::Unreadable;
    FFileTime = fileTime;
    Clear();
    TTextEncoding e = TTextEncoding::Ansi;
    const auto marked = EncodingFromPreamble(bytes);
    if (marked && FEncoding != TTextEncoding::Ansi) {
        // A byte order mark says how the file was written (an editor may have saved it as
        // UTF-16); reading it in any other Unicode form would turn every line into garbage.
        // The document keeps the encoding it was given, so the next save converts the file.
        e = *marked;
        if (!FEncoding) FEncoding = e;  // also for UTF-16: the ANSI code page would lose characters
    } else if (FEncoding) {
        e = *FEncoding;
    }
    if (fn == FFileName) FFileUnreadable = false;  // this run knows the file's content now
    std::u16string text;
    if (TryDecodeText(SkipPreamble(bytes, e), e, text)) {
        TLineParser parser(*this, false);
        ForEachLine(text, [&parser](std::u16string_view line) { parser.Line(line); });
    } else {
        TStringList lines;
        const std::int32_t lastBad = DecodeLinewise(bytes, e, lines);
        LoadFromList(lines);
        // Reported once the lines are in: a box that raises must not leave the document empty.
        if (lastBad != -1 && FOnEncodingError) FOnEncodingError(*this, lastBad);
    }
    if (fn != FFileName) SetModified();
    return TReadResult::Loaded;
}

void TIni::ReadFromFile() {
    if (!FFileName.empty()) LoadFromFile(FFileName);
}

void TIni::ReadFromString(std::u16string_view source) {
    FFileTime = -1;
    Clear();
    TLineParser parser(*this, true);
    ForEachLine(source, [&parser](std::u16string_view line) { parser.Line(line); });
}

void TIni::Maintain() {
    if (FModified) {
        SaveToFile(FFileName, FEncoding);
        return;
    }
    const double t = FileTimeOf(FFileName);
    // A file that cannot be read now keeps the document as it is; the next call tries again.
    if (t != 0 && t != FFileTime) readFile(FFileName);
}

void TIni::ReadSectionLines(const std::u16string& section, TStrings& list, bool withCommentLines) {
    if (FAutoMaintain) Maintain();
    TIniStream::ReadSectionLines(section, list, withCommentLines);
}

std::u16string TIni::ReadString(const std::u16string& section, const std::u16string& key, const std::u16string& def) {
    if (FAutoMaintain) Maintain();
    // After a failed save the changes wait for the next save point (Save, Maintain, the
    // destructor): on a write-protected profile every read would otherwise try again.
    if (FModified && !FSaveFailed && FFileTime < FClock() - pendingChangesMaxAge) SaveToFile(FFileName, FEncoding);
    return TIniStream::ReadString(section, key, def);
}

void TIni::SaveFailed() { FTryAgain = FVirtualizeWriteprotectedFolders; }

void TIni::SaveToFile(const std::u16string& fn, std::optional<TTextEncoding> aEncoding) {
    if (fn.empty()) return;
    if (aEncoding) FEncoding = aEncoding;
    const bool own = fn == FFileName;
    // The file may hold everything the player set; this run read none of it.
    if (own && FFileUnreadable) return;
    const bool saved = writeDocument(fn);
    // A failed save stays silent but keeps the changes pending (and a saved document saved),
    // so that the next save point tries again instead of dropping them.
    if (saved) FModified = false;
    if (own) FSaveFailed = !saved;
    FFileTime = FileTimeOf(FFileName);
}

bool TIni::writeDocument(const std::u16string& fn) {
    if (isEmpty()) return platform::ProbeFile(fn) == platform::FileState::Missing || platform::RemoveFile(fn);
    return SaveListToFile(RenderText(), fn);
}

void TIni::Save() {
    if (FModified) SaveToFile(FFileName, FEncoding);
}

bool TIni::SaveListToFile(std::u16string_view lines, const std::u16string& fn) {
    bool written = false;
    try {
        const std::u16string folder = FolderOf(fn);
        if (!folder.empty()) platform::CreateFolders(folder);
        const TTextEncoding e = FEncoding.value_or(TTextEncoding::Ansi);
        std::string bytes(Preamble(e));
        AppendEncoded(bytes, lines, e);
        written = platform::WriteFileAtomic(fn, bytes);
    } catch (...) {
        written = false;
    }
    if (written)
        FTryAgain = false;
    else
        SaveFailed();
    // The stand-by copy gets one attempt; a failure there does not start another.
    if (FTryAgain && !FRetrying) written = SaveToVirtualFolder(fn);
    return written;
}

bool TIni::SaveToVirtualFolder(const std::u16string& fn) {
    const TFlagScope retrying(FRetrying);
    std::u16string standBy;
    try {
        standBy = FVirtualFolder(fn);
    } catch (...) {
        return false;
    }
    if (standBy.empty()) return false;
    const std::u16string folder = FolderOf(standBy);
    if (!folder.empty()) platform::CreateFolders(folder);
    return writeDocument(standBy);
}

std::int32_t TIni::AnsiReadInteger(std::string_view section, std::string_view key, std::int32_t def) {
    return ReadInteger(platform::AnsiToText(section), platform::AnsiToText(key), def);
}

std::string TIni::AnsiReadString(std::string_view section, std::string_view key, std::string_view def) {
    return platform::TextToAnsi(ReadString(platform::AnsiToText(section), platform::AnsiToText(key), platform::AnsiToText(def)));
}
