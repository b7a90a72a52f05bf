// The few operating-system services the portable units need, with a Win32 and a POSIX side.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// --- Text in the user's locale -------------------------------------------------------------

// Locale-aware comparison (Windows: CompareStringW in the user locale): <0, 0 or >0.
// Case-insensitive unless caseSensitive; the empty text sorts first.
int CompareText(std::u16string_view a, std::u16string_view b, bool caseSensitive);

// Linguistic case mapping in the user locale (Windows: LCMapStringW with
// LCMAP_LINGUISTIC_CASING). Throws std::system_error when the mapping fails.
std::u16string MapCase(std::u16string_view s, bool upper);

// Upper-casing of a single character (Windows: CharUpperW).
char16_t CharUpper(char16_t c);
// The same function under the name <windows.h> turns CharUpper into, so that calls of
// platform::CharUpper work whichever of the two headers a file includes first.
char16_t CharUpperW(char16_t c);

// The system's ANSI code page (Windows: GetACP(); POSIX: 1252).
unsigned AnsiCodePage();

// Bytes in the ANSI code page to text and back; unmappable characters become '?'.
std::u16string AnsiToText(std::string_view bytes);
std::string TextToAnsi(std::u16string_view text);

// UTF-8 <-> UTF-16 for paths and diagnostics (lenient: bad input becomes U+FFFD).
std::u16string FromUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view text);

// --- Program and time ----------------------------------------------------------------------

// Full path of the running executable (POSIX: with '/' separators).
std::u16string ModulePath();

// The path separator of the platform: '\\' on Windows, '/' on POSIX.
char16_t PathSeparator();

// Current local time as a day count with the time of day as fraction
// (day 0 = 1899-12-30, as OLE automation dates).
double Now();

// A local calendar date and time as a day count (day 0 = 1899-12-30), the time of day as
// fraction; month 1..12, day 1..31.
double EncodeLocalDays(int year, int month, int day, int hour, int minute, int second, int millisecond);

// --- Files ---------------------------------------------------------------------------------

// What a look at a path found. Missing only when the system says that the file, or a folder
// on its way, does not exist. Every other failure (no access, a profile on a server that does
// not answer, a name the system refuses) is Unreachable: the file may well be there. A folder
// at the path is Unreachable too: there is something, and it is no file.
enum class FileState { Missing, Present, Unreachable };
FileState ProbeFile(std::u16string_view path);

// True when ProbeFile finds a file.
bool FileExists(std::u16string_view path);

// Last-write time of a file as a local day count; false when the file is missing.
bool FileTime(std::u16string_view path, double& localDays);

// Reads a whole file; false when it cannot be opened or read.
bool ReadFileBytes(std::u16string_view path, std::string& bytes);

// Reads at most maxBytes from the start of a file, opened for reading while other processes
// may read but not write it; false when it cannot be opened or read.
bool ReadFileHead(std::u16string_view path, std::size_t maxBytes, std::string& bytes);

// Writes a file so that it is never left half-written: a new file beside the old one (path
// plus ".tmp~") is written, flushed and moved over the old one in one step. A save cut short
// leaves that one file behind, which the next save reuses. False on any failure, also while
// another process is saving the same file; the old file is then untouched.
bool WriteFileAtomic(std::u16string_view path, std::string_view bytes);

// Creates or truncates a file and closes it again (used to probe folders).
bool CreateEmptyFile(std::u16string_view path);

bool RemoveFile(std::u16string_view path);

// Copies a file; fails when the target exists.
bool CopyFileNoOverwrite(std::u16string_view from, std::u16string_view to);

// Creates a folder with all its missing parents; true when it exists afterwards.
bool CreateFolders(std::u16string_view path);

// One entry of a directory search with all attributes allowed.
struct FoundEntry {
    std::u16string name;
    bool isDirectory = false;
};

// Entries matching a path that may end in a wildcard pattern ("*.*"); empty when none.
std::vector<FoundEntry> FindEntries(std::u16string_view pattern);

// The per-user folder for data a program can always compute again. Windows: the local (not
// roaming) application-data folder; POSIX: $XDG_CACHE_HOME, else ~/.cache. Empty when there is
// none.
std::u16string LocalCacheFolder();

// --- Test seam -----------------------------------------------------------------------------

// While a fault is set, ProbeFile, FileTime, ReadFileBytes and ReadFileHead fail for every path
// for which it returns a nonzero system error code (a Win32 error on Windows, an errno value on
// POSIX), as if the system had reported that error. An empty function ends it.
using FileFault = std::function<int(std::u16string_view path)>;
void SetFileFault(FileFault fault);
// The error the fault gives for path; 0 when there is none.
int InjectedFileError(std::u16string_view path);

}  // namespace platform
