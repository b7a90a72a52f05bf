// Facts about the machine recorded once at start: Windows version, folders, pen and touch.
#include "common/system_info.h"

#include <shlobj.h>

#include <vector>

#include "common/exceptions.h"
#include "common/msgbox.h"
#include "common/platform.h"
#include "common/program_path.h"
#include "common/registry.h"
#include "common/text_helpers.h"
#include "common/wtext.h"

namespace {

DWORD GWinVersion = 0;
std::u16string GWindowsDir;
std::u16string GSystemDir;
std::u16string GPersonalDir;
std::u16string GCommonDataDir;
std::u16string GCommonDocsDir;
std::u16string GTempDir;
std::u16string GServicePackText;
std::uint8_t GWindowsKind = 0;
bool GIsTabletPC = false;
std::uint8_t GTabletCaps = 0;

// Calls a "fill this buffer" function of the system that answers the length it wrote, or the
// size it needs when the buffer is too small, or 0 on failure.
template <class Call>
bool systemText(Call call, std::u16string& out) {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (int round = 0; round < 4; ++round) {
        const DWORD size = static_cast<DWORD>(buf.size());
        const DWORD n = call(buf.data(), size);
        if (n == 0) return false;
        if (n < size) {
            out = U(buf.data(), n);
            return true;
        }
        buf.resize(n + 1);
    }
    return false;
}

// The folder part of a path, up to and including its last '\' or ':'.
std::u16string extractFilePath(std::u16string_view path) {
    const auto pos = path.find_last_of(u"\\:");
    return pos == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, pos + 1));
}

std::u16string fileNameOf(std::u16string_view path) {
    const auto pos = path.find_last_of(u"\\:/");
    return std::u16string(pos == std::u16string_view::npos ? path : path.substr(pos + 1));
}

// The drive of the fallback folders. Without a Windows folder (its query failed) there is no
// drive to take it from, and a path like " :\MyFiles" would help nobody.
std::u16string fallbackFolder(const FolderSource& src, std::u16string_view name) {
    char16_t drive = FirstChar(src.windowsDir());
    if (drive >= u'a' && drive <= u'z') drive = static_cast<char16_t>(drive - u'a' + u'A');
    if (drive < u'A' || drive > u'Z') drive = u'C';
    std::u16string s(1, drive);
    s.append(u":\\").append(name);
    return s;
}

class SystemFolders final : public FolderSource {
public:
    std::u16string windowsDir() const override { return GWindowsDir; }

    bool shellFolder(int csidl, std::u16string& path) const override {
        wchar_t buf[MAX_PATH + 1] = {};
        SetLastError(0);
        if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK) return false;
        buf[MAX_PATH] = 0;
        path = U(buf);
        return true;
    }

    std::u16string tempPath() const override {
        std::u16string s;
        systemText([](wchar_t* b, DWORD n) { return GetTempPathW(n, b); }, s);
        return s;
    }

    std::u16string userValue(std::u16string_view key, std::u16string_view name) const override {
        std::u16string s;
        ReadRegValue(HKEY_CURRENT_USER, key, name, u"", s);
        return s;
    }

    bool folderExists(std::u16string_view path) const override { return FolderExists(path); }
    bool forceDirectories(std::u16string_view path) const override { return platform::CreateFolders(path); }
    bool isFolderWritable(std::u16string_view path) const override { return IsFolderWritable(path); }
};

bool contains(std::u16string_view s, std::u16string_view sub) { return s.find(sub) != std::u16string_view::npos; }

// A text value for the version classification; a value of another type counts as missing,
// since nothing but the classification depends on it.
std::u16string versionText(const RegKey& key, std::u16string_view name) {
    std::u16string s;
    try {
        key.readString(name, s);
    } catch (const Exception&) {
        s.clear();
    }
    return s;
}

WindowsFacts gatherWindowsFacts() {
    WindowsFacts f;
    OSVERSIONINFOW vi = {};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (!GetVersionExW(&vi)) return f;
    f.versionKnown = true;
    f.platform = vi.dwPlatformId;
    f.major = vi.dwMajorVersion;
    f.minor = vi.dwMinorVersion;
    f.windows64 = sizeof(void*) == 8 || IsWow64();
    RegKey key;
    if (f.platform == VER_PLATFORM_WIN32_WINDOWS) {
        f.keyOpened = key.open(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion");
    } else if (f.platform == VER_PLATFORM_WIN32_NT) {
        vi.szCSDVersion[127] = 0;
        GServicePackText = U(vi.szCSDVersion);
        f.keyOpened = key.open(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows NT\\CurrentVersion");
        f.displayVersion = versionText(key, u"DisplayVersion");
        f.currentBuild = versionText(key, u"CurrentBuild");
    }
    f.productName = versionText(key, u"ProductName");
    return f;
}

}  // namespace

// --- Values -------------------------------------------------------------------------------

DWORD WinVersion() { return GWinVersion; }
const std::u16string& WindowsDir() { return GWindowsDir; }
const std::u16string& SystemDir() { return GSystemDir; }
const std::u16string& PersonalDir() { return GPersonalDir; }
const std::u16string& CommonDataDir() { return GCommonDataDir; }
const std::u16string& CommonDocsDir() { return GCommonDocsDir; }
const std::u16string& TempDir() { return GTempDir; }
const std::u16string& ServicePackText() { return GServicePackText; }
std::uint8_t WindowsKind() { return GWindowsKind; }
bool IsTabletPC() { return GIsTabletPC; }
std::uint8_t TabletCaps() { return GTabletCaps; }

// --- Version ------------------------------------------------------------------------------

bool IsWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (!kernel) return false;
    const FARPROC proc = GetProcAddress(kernel, "IsWow64Process");
    if (!proc) return false;
    // The detour through the generic function type keeps the conversion well-defined.
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(proc));
    BOOL wow64 = FALSE;
    return isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::uint8_t ClassifyWindows(const WindowsFacts& facts) {
    if (!facts.versionKnown) return 1;
    const auto bits = [&facts](std::uint8_t code32, std::uint8_t code64) { return facts.windows64 ? code64 : code32; };
    std::u16string name = facts.productName;
    MakeUpper(name);
    if (facts.platform == VER_PLATFORM_WIN32_WINDOWS) {
        if (facts.minor < 10) return 3;
        return facts.keyOpened && contains(name, u"WINDOWS ME") ? 6 : 4;
    }
    if (facts.platform != VER_PLATFORM_WIN32_NT) return 1;
    if (!facts.keyOpened) return 7;
    if (contains(name, u"WINDOWS 2000")) return 8;
    if (contains(name, u"WINDOWS XP")) return bits(9, 14);
    if (contains(name, u"WINDOWS 8")) return bits(18, 19);
    if (contains(name, u"WINDOWS 10")) {
        // Windows 11 still calls itself Windows 10 in ProductName; the build tells them apart.
        std::u16string build = facts.currentBuild;
        return CutInt(build) < 22000 ? bits(20, 21) : bits(22, 23);
    }
    if (contains(name, u"WINDOWS 11")) return bits(22, 23);
    switch (facts.major) {
        case 5:
            return 10;
        case 6:
            if (facts.minor == 0) return contains(name, u"2008") ? bits(12, 16) : bits(11, 15);
            return bits(13, 17);
        case 10:
            return facts.displayVersion == u"21H1" ? bits(20, 21) : bits(22, 23);
        default:
            return 1;
    }
}

std::uint8_t GetWindowsKind() {
    if (GWindowsKind == 0) GWindowsKind = ClassifyWindows(gatherWindowsFacts());
    return GWindowsKind;
}

// --- Pen and touch ------------------------------------------------------------------------

std::uint8_t TabletCapsOf(bool isTablet, bool windows7OrLater, int digitizer) {
    if (!isTablet) return 0;
    if (!windows7OrLater) return 0x41;
    static constexpr struct {
        int digitizerBit;
        std::uint8_t flag;
    } map[] = {
        {NID_INTEGRATED_TOUCH, 0x02}, {NID_EXTERNAL_TOUCH, 0x04}, {NID_INTEGRATED_PEN, 0x08},
        {NID_EXTERNAL_PEN, 0x10},     {NID_MULTI_INPUT, 0x20},    {NID_READY, 0x40},
    };
    std::uint8_t caps = 0x01;
    for (const auto& m : map)
        if (digitizer & m.digitizerBit) caps = static_cast<std::uint8_t>(caps | m.flag);
    return caps;
}

// --- Folders ------------------------------------------------------------------------------

bool InitWindowsDir() {
    std::u16string reported;
    if (!systemText([](wchar_t* b, DWORD n) { return GetWindowsDirectoryW(b, n); }, reported)) return false;
    return InitWindowsDir(reported);
}

bool InitWindowsDir(std::u16string_view reported) {
    std::u16string dir(reported);
    if (LastChar(dir) == u'\\') {
        std::u16string shorter = dir;
        WithoutLastChar(dir, shorter);
        dir = std::move(shorter);
    }
    const bool valid = dir.size() >= 4 && dir[1] == u':' && dir[2] == u'\\';
    GWindowsDir = dir;
    if (valid) {
        GWindowsDir += u'\\';
    } else if (MsgBox) {
        MsgBox->ErrInfo(u"Windows-Pfad fehlerhaft oder unvollst\u00E4ndig");
    }
    return valid;
}

bool InitSystemDir() {
    std::u16string dir;
    if (!systemText([](wchar_t* b, DWORD n) { return GetSystemDirectoryW(b, n); }, dir)) return false;
    AddBackslash(dir);
    GSystemDir = std::move(dir);
    return true;
}

const FolderSource& systemFolders() {
    static const SystemFolders folders;
    return folders;
}

void GetPersonalDir(std::u16string& s, const FolderSource& src) {
    s.clear();
    if (!src.shellFolder(CSIDL_PERSONAL, s)) s.clear();
    if (s.empty()) {
        s = fallbackFolder(src, u"MyFiles");
        src.forceDirectories(s);
    }
    AddBackslash(s);
}

void GetCommonDataDir(std::u16string& s, const FolderSource& src) {
    s.clear();
    if (!src.shellFolder(CSIDL_COMMON_APPDATA, s)) s.clear();
    if (s.empty() || !src.folderExists(s)) {
        std::u16string docs;
        if (src.shellFolder(CSIDL_COMMON_DOCUMENTS, docs)) s = std::move(docs);
        // Without any folder "KvorCmn\" would name a folder relative to wherever we run.
        if (!s.empty()) {
            AddBackslash(s);
            s += u"KvorCmn\\";
        }
    }
    if (s.empty() || !src.folderExists(s)) {
        s = fallbackFolder(src, u"CommonFiles");
        src.forceDirectories(s);
    }
    AddBackslash(s);
}

void GetCommonDocsDir(std::u16string& s, const FolderSource& src) {
    s.clear();
    if (!src.shellFolder(CSIDL_COMMON_DOCUMENTS, s)) s.clear();
    if (s.empty() || !src.folderExists(s)) {
        s = fallbackFolder(src, u"CommonDocuments");
        src.forceDirectories(s);
    }
    AddBackslash(s);
}

void GetTempDir(std::u16string& s, const FolderSource& src) {
    static constexpr std::u16string_view userProfile = u"%userprofile%\\";
    s = src.tempPath();
    // A temporary folder inside a Windows folder is the system's, not the user's: take the
    // user's own setting instead.
    if (PosNoCase(u"Windows\\", s.c_str()) > 0) {
        s = src.userValue(u"Environment", u"TMP");
        const int i = s.empty() ? 0 : PosNoCase(std::u16string(userProfile).c_str(), s.c_str());
        if (i > 0) {
            // The profile folder is taken as the parent of the documents folder; documents at
            // a drive root stand for the profile itself.
            std::u16string p = src.userValue(u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                             u"Personal");
            if (!p.empty()) {
                if (LastChar(p) == u':') {
                    p += u'\\';
                } else if (!EndsWith(u":\\", p)) {
                    if (LastChar(p) == u'\\') DeleteLastChar(p);
                    p = extractFilePath(p);
                }
            }
            // Without a profile folder the rest would be a path relative to wherever we run.
            if (p.empty()) {
                s.clear();
            } else {
                s.replace(static_cast<std::size_t>(i - 1), userProfile.size(), p);
                if (!src.forceDirectories(s) || !src.isFolderWritable(s)) s.clear();
            }
        }
    }
    if (s.empty() || s.size() >= 255) {
        s.clear();
    } else {
        AddBackslash(s);
    }
}

// --- Start and end ------------------------------------------------------------------------

void StartSystemInfoUnit() {
    // Pen and touch first: they do not depend on anything below.
    const DWORD version = GetVersion();
    const unsigned major = LOBYTE(LOWORD(version));
    const unsigned minor = HIBYTE(LOWORD(version));
    const bool windows7OrLater = major > 6 || (major == 6 && minor >= 1);
    GIsTabletPC = GetSystemMetrics(SM_TABLETPC) != 0;
    GTabletCaps = TabletCapsOf(GIsTabletPC, windows7OrLater,
                               GIsTabletPC && windows7OrLater ? GetSystemMetrics(SM_DIGITIZER) : 0);

    GWinVersion = version;
    SetRegistryBase(u"Kvor\\" + fileNameOf(ProgramPath) + u"\\");
    InitWindowsDir();
    InitSystemDir();
    GetPersonalDir(GPersonalDir);
    GetCommonDataDir(GCommonDataDir);
    GetCommonDocsDir(GCommonDocsDir);
    GetTempDir(GTempDir);
    GetWindowsKind();
}

void EndSystemInfoUnit() {
    GWinVersion = 0;
    GWindowsDir.clear();
    GSystemDir.clear();
    GPersonalDir.clear();
    GCommonDataDir.clear();
    GCommonDocsDir.clear();
    GTempDir.clear();
    GServicePackText.clear();
    GWindowsKind = 0;
    GIsTabletPC = false;
    GTabletCaps = 0;
}
