// Facts about the machine recorded once at start: Windows version, folders, pen and touch.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// --- Start and end of the unit -------------------------------------------------------------

// Records, in this order: the pen and touch values (IsTabletPC, TabletCaps); WinVersion; the
// registry base "Kvor\" + the file name of ProgramPath + "\" (SetRegistryBase); WindowsDir;
// SystemDir; PersonalDir, CommonDataDir, CommonDocsDir, TempDir; WindowsKind.
// Needs StartCommonUnit (MsgBox, ProgramPath) and StartRegistryUnit first. A malformed Windows
// folder goes to MsgBox->ErrInfo, which with the plain TMsgBox raises Exception.
void StartSystemInfoUnit();
// Clears every value of this unit.
void EndSystemInfoUnit();

// --- Values (empty or 0 until StartSystemInfoUnit) -----------------------------------------

// GetVersion().
DWORD WinVersion();
// The Windows folder, with a trailing backslash when it has the form "X:\...".
const std::u16string& WindowsDir();
// The system folder with a trailing backslash.
const std::u16string& SystemDir();
// The user's documents folder with a trailing backslash.
const std::u16string& PersonalDir();
// A folder for data shared by all users, with a trailing backslash.
const std::u16string& CommonDataDir();
// The documents folder shared by all users, with a trailing backslash.
const std::u16string& CommonDocsDir();
// A usable temporary folder with a trailing backslash, or empty: callers must test it.
const std::u16string& TempDir();
// The service-pack text of GetVersionExW (NT family only).
const std::u16string& ServicePackText();
// The version classification of GetWindowsKind; 0 until it was computed.
std::uint8_t WindowsKind();
// GetSystemMetrics(SM_TABLETPC) is nonzero.
bool IsTabletPC();
// Pen and touch flags, see TabletCapsOf.
std::uint8_t TabletCaps();

// --- Version ------------------------------------------------------------------------------

// True when this process runs under WOW64 (IsWow64Process, looked up at run time).
bool IsWow64();

// What the version classification looks at.
struct WindowsFacts {
    bool versionKnown = false;  // GetVersionExW succeeded
    DWORD platform = 0;         // dwPlatformId: 1 Windows 9x, 2 NT
    DWORD major = 0;
    DWORD minor = 0;
    bool keyOpened = false;        // the CurrentVersion key of the platform could be opened
    std::u16string productName;    // ProductName as stored (compared upper-cased)
    std::u16string displayVersion; // DisplayVersion (NT)
    std::u16string currentBuild;   // CurrentBuild (NT)
    bool windows64 = false;        // the system is 64-bit Windows
};

// The classification code of facts:
//   1 unknown; 3 Windows 95; 4 Windows 98; 6 Windows ME; 7 NT without version key;
//   8 Windows 2000; 9/14 XP; 10 other 5.x; 11/15 Vista; 12/16 Server 2008; 13/17 Windows 7;
//   18/19 Windows 8 and 8.1; 20/21 Windows 10; 22/23 Windows 11 (build 22000 or later).
// Where two codes are given the second is for 64-bit Windows.
std::uint8_t ClassifyWindows(const WindowsFacts& facts);

// The classification of this machine, computed on the first call and kept in WindowsKind.
// Also sets ServicePackText.
std::uint8_t GetWindowsKind();

// --- Pen and touch ------------------------------------------------------------------------

// Windows 7's digitizer query and its answer bits, under their Win32 names: the program is
// built with the headers of Vista, which lack them, and asks the query on Windows 7 or later only.
#ifndef SM_DIGITIZER
#define SM_DIGITIZER 94
#define NID_INTEGRATED_TOUCH 0x01
#define NID_EXTERNAL_TOUCH 0x02
#define NID_INTEGRATED_PEN 0x04
#define NID_EXTERNAL_PEN 0x08
#define NID_MULTI_INPUT 0x40
#define NID_READY 0x80
#endif

// The TabletCaps flags for a machine: 0 unless isTablet; else 0x01, plus from the
// SM_DIGITIZER value: integrated touch 0x02, external touch 0x04, integrated pen 0x08,
// external pen 0x10, multi-input 0x20, ready 0x40. Before Windows 7 digitizer is not asked
// and the flags are 0x41.
std::uint8_t TabletCapsOf(bool isTablet, bool windows7OrLater, int digitizer);

// --- Folders ------------------------------------------------------------------------------

// Sets WindowsDir from what GetWindowsDirectoryW reports (false and empty when it fails).
bool InitWindowsDir();
// Sets WindowsDir from a reported folder: a final backslash is removed; a folder with at least
// four characters, ':' second and '\' third, is valid and gets a trailing backslash (the
// result). An invalid one is reported to MsgBox->ErrInfo and kept without the backslash.
bool InitWindowsDir(std::u16string_view reported);
// SystemDir := GetSystemDirectoryW plus a trailing backslash; false, unchanged, on failure.
bool InitSystemDir();

// Where the folder rules get their facts from; the system's answers by default, other
// answers in tests.
class FolderSource {
public:
    virtual ~FolderSource() = default;
    // The Windows folder, whose first character is the drive of the fallback folders.
    virtual std::u16string windowsDir() const = 0;
    // SHGetFolderPathW(csidl); false when it does not answer S_OK.
    virtual bool shellFolder(int csidl, std::u16string& path) const = 0;
    // GetTempPathW, the full path; empty when the call fails.
    virtual std::u16string tempPath() const = 0;
    // A text value below HKEY_CURRENT_USER; empty when missing.
    virtual std::u16string userValue(std::u16string_view key, std::u16string_view name) const = 0;
    virtual bool folderExists(std::u16string_view path) const = 0;
    // Creates a folder with its missing parents; true when it exists afterwards.
    virtual bool forceDirectories(std::u16string_view path) const = 0;
    virtual bool isFolderWritable(std::u16string_view path) const = 0;
};

// The system's answers (WindowsDir() as the Windows folder).
const FolderSource& systemFolders();

// The folder rules. Each result ends with a backslash; s is replaced.
//   Personal: the documents folder, else <drive>:\MyFiles (created).
//   CommonData: the common application-data folder when it exists; else the common documents
//     folder + "KvorCmn\" when that exists (never created); else <drive>:\CommonFiles (created).
//   CommonDocs: the common documents folder when it exists, else <drive>:\CommonDocuments
//     (created).
//   Temp: the system's temporary folder; when it lies in a "Windows\" folder, the user's own
//     TMP setting instead, with "%USERPROFILE%\" replaced by the parent of the documents folder
//     (created and tested for writing). Empty when nothing usable is found or the path has 255
//     characters or more.
void GetPersonalDir(std::u16string& s, const FolderSource& src = systemFolders());
void GetCommonDataDir(std::u16string& s, const FolderSource& src = systemFolders());
void GetCommonDocsDir(std::u16string& s, const FolderSource& src = systemFolders());
void GetTempDir(std::u16string& s, const FolderSource& src = systemFolders());
