// The platform seam on Windows: the user's locale, the ANSI code page and the file services.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <system_error>

#include "common/platform.h"
#include "common/wtext.h"

namespace platform {

namespace {

// A file or search handle that closes itself.
class Handle {
public:
    explicit Handle(HANDLE h) : FHandle(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return FHandle; }
    bool valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
    bool close() {
        if (!valid()) return false;
        const HANDLE h = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != FALSE;
    }

private:
    HANDLE FHandle;
};

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : FHandle(h) {}
    ~FindHandle() {
        if (FHandle != INVALID_HANDLE_VALUE) FindClose(FHandle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return FHandle; }
    bool valid() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle;
};

std::u16string str(std::u16string_view s) { return std::u16string(s); }

int clampLength(std::size_t n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n); }

double systemTimeToDays(const SYSTEMTIME& t) {
    return EncodeLocalDays(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

bool readUpTo(HANDLE h, std::size_t maxBytes, std::string& out) {
    out.clear();
    char buf[65536];
    while (out.size() < maxBytes) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buf, maxBytes - out.size()));
        DWORD got = 0;
        if (!ReadFile(h, buf, want, &got, nullptr)) return false;
        if (got == 0) break;
        out.append(buf, got);
    }
    return true;
}

bool writeAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A file that another program has open for a moment (a second instance reading it, a sync
// tool, a virus scanner looking at the new file) cannot be replaced until it lets go. The
// system then reports a sharing or lock violation, or denies access to the open target; a
// denied access to a read-only file or a folder of that name lasts, and is not waited for.
bool heldElsewhere(DWORD error, const std::u16string& to) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
    if (error != ERROR_ACCESS_DENIED) return false;
    const DWORD attr = GetFileAttributesW(W(to));
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

// Moves from over to; while the files are held elsewhere, tries again for about a second.
bool moveWhenFree(const std::u16string& from, const std::u16string& to) {
    constexpr int attempts = 20;
    constexpr DWORD pauseMs = 50;
    for (int i = 1;; ++i) {
        if (MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        if (i == attempts || !heldElsewhere(GetLastError(), to)) return false;
        Sleep(pauseMs);
    }
}

}  // namespace

int CompareText(std::u16string_view a, std::u16string_view b, bool caseSensitive) {
    const std::u16string sa = str(a), sb = str(b);
    const int r = CompareStringW(LOCALE_USER_DEFAULT, caseSensitive ? 0 : NORM_IGNORECASE, W(sa),
                                 clampLength(sa.size()), W(sb), clampLength(sb.size()));
    if (r == 0) return sa.compare(sb) < 0 ? -1 : sa == sb ? 0 : 1;  // the locale failed: stay ordered
    return r - CSTR_EQUAL;
}

std::u16string MapCase(std::u16string_view s, bool upper) {
    if (s.empty()) return {};
    const std::u16string src = str(s);
    const DWORD flags = (upper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE) | LCMAP_LINGUISTIC_CASING;
    const int n = LCMapStringW(LOCALE_USER_DEFAULT, flags, W(src), clampLength(src.size()), nullptr, 0);
    if (n <= 0) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "LCMapStringW");
    std::u16string r(static_cast<std::size_t>(n), u'\0');
    const int m = LCMapStringW(LOCALE_USER_DEFAULT, flags, W(src), clampLength(src.size()), W(r.data()), n);
    if (m <= 0) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "LCMapStringW");
    r.resize(static_cast<std::size_t>(m));
    return r;
}

char16_t CharUpperW(char16_t c) {
    // With a zero high word CharUpperW converts the character itself and returns it.
    const auto r = reinterpret_cast<ULONG_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))));
    return static_cast<char16_t>(r & 0xFFFF);
}

#undef CharUpper
char16_t CharUpper(char16_t c) { return CharUpperW(c); }

unsigned AnsiCodePage() { return GetACP(); }

std::u16string AnsiToText(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int len = clampLength(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, nullptr, 0);
    if (n <= 0) return {};
    std::u16string r(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, W(r.data()), n);
    return r;
}

std::string TextToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    const std::u16string src = str(text);
    const int len = clampLength(src.size());
    // UTF-8 as the ANSI code page maps everything and refuses a default character.
    const char* defaultChar = GetACP() == CP_UTF8 ? nullptr : "?";
    const int n = WideCharToMultiByte(CP_ACP, 0, W(src), len, nullptr, 0, defaultChar, nullptr);
    if (n <= 0) return {};
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, W(src), len, r.data(), n, defaultChar, nullptr);
    return r;
}

std::u16string ModulePath() {
    std::u16string buf(MAX_PATH, u'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, W(buf.data()), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);  // truncated: the path is longer than the buffer
    }
}

char16_t PathSeparator() { return u'\\'; }

double Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return systemTimeToDays(t);
}

FileState ProbeFile(std::u16string_view path) {
    DWORD attr = INVALID_FILE_ATTRIBUTES;
    DWORD error = static_cast<DWORD>(InjectedFileError(path));
    if (error == 0) {
        attr = GetFileAttributesW(W(str(path)));
        if (attr == INVALID_FILE_ATTRIBUTES) error = GetLastError();
    }
    if (attr != INVALID_FILE_ATTRIBUTES) return attr & FILE_ATTRIBUTE_DIRECTORY ? FileState::Unreachable : FileState::Present;
    // Only these two say that nothing is there; a share that does not answer, a denied
    // access or a locked volume say nothing about the file.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileState::Missing : FileState::Unreachable;
}

bool FileExists(std::u16string_view path) { return ProbeFile(path) == FileState::Present; }

bool FileTime(std::u16string_view path, double& localDays) {
    if (InjectedFileError(path) != 0) return false;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(W(str(path)), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    SYSTEMTIME utc{}, local{};
    // Through the time-zone rules of that date, so summer time is right all year.
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc)) return false;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
    localDays = systemTimeToDays(local);
    return true;
}

bool ReadFileBytes(std::u16string_view path, std::string& bytes) {
    if (InjectedFileError(path) != 0) return false;
    // Shared with everyone: a reader that kept others from deleting or replacing the file
    // would make their save fail, a second instance's for one.
    Handle h(CreateFileW(W(str(path)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid() && readUpTo(h.get(), static_cast<std::size_t>(-1), bytes);
}

bool ReadFileHead(std::u16string_view path, std::size_t maxBytes, std::string& bytes) {
    if (InjectedFileError(path) != 0) return false;
    // Writers are kept out while the head is read; deleting or replacing the file is not.
    Handle h(CreateFileW(W(str(path)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid() && readUpTo(h.get(), maxBytes, bytes);
}

bool WriteFileAtomic(std::u16string_view path, std::string_view bytes) {
    const std::u16string target = str(path);
    // One temporary name per target: a save cut short by a killed process leaves this one
    // file behind, and the next save truncates and reuses it instead of adding another.
    const std::u16string temp = target + u".tmp~";
    // Not shared: a second save of the same file in another process fails here rather than
    // write into this one's temporary file, and cannot truncate it before the move either.
    Handle h(CreateFileW(W(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return false;
    const bool written = writeAll(h.get(), bytes) && FlushFileBuffers(h.get());
    const bool closed = h.close();
    if (!written || !closed || !moveWhenFree(temp, target)) {
        DeleteFileW(W(temp));
        return false;
    }
    return true;
}

bool CreateEmptyFile(std::u16string_view path) {
    Handle h(CreateFileW(W(str(path)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return h.valid() && h.close();
}

bool RemoveFile(std::u16string_view path) { return DeleteFileW(W(str(path))) != FALSE; }

bool CopyFileNoOverwrite(std::u16string_view from, std::u16string_view to) {
    return CopyFileW(W(str(from)), W(str(to)), TRUE) != FALSE;
}

bool CreateFolders(std::u16string_view path) {
    const std::u16string p = str(path);
    // Create every prefix that ends before a separator; the drive and share prefixes
    // fail harmlessly.
    for (std::size_t i = 1; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == u'\\' || p[i] == u'/') {
            const std::u16string prefix = p.substr(0, i);
            CreateDirectoryW(W(prefix), nullptr);
        }
    }
    const DWORD attr = GetFileAttributesW(W(p));
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FoundEntry> FindEntries(std::u16string_view pattern) {
    std::vector<FoundEntry> found;
    WIN32_FIND_DATAW data{};
    FindHandle h(FindFirstFileW(W(str(pattern)), &data));
    if (!h.valid()) return found;
    do {
        found.push_back({U(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(h.get(), &data));
    return found;
}

std::u16string LocalCacheFolder() {
    wchar_t buf[MAX_PATH] = {};
    // CSIDL_LOCAL_APPDATA stays on this computer: a cache has no business in a roaming profile.
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf))) return {};
    return U(buf);
}

}  // namespace platform
