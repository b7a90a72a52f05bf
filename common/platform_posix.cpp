// The platform seam on POSIX: used by the native build and its tests.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "common/platform.h"

namespace platform {

namespace {

// Simple one-to-one case mapping of the scripts the program shows (Latin, Greek, Cyrillic).
// A fixed table keeps comparisons independent of the process's C locale.
char16_t toUpperUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c < 0xB5) return c;
    if (c == 0xB5) return 0x39C;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 32);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x137 && (c & 1)) return static_cast<char16_t>(c - 1);
    if (c >= 0x139 && c <= 0x148 && !(c & 1)) return static_cast<char16_t>(c - 1);
    if (c >= 0x14A && c <= 0x177 && (c & 1)) return static_cast<char16_t>(c - 1);
    if (c == 0x17A || c == 0x17C || c == 0x17E) return static_cast<char16_t>(c - 1);
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 32);
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);
    if (c >= 0x460 && c <= 0x481 && (c & 1)) return static_cast<char16_t>(c - 1);
    if (c >= 0x48A && c <= 0x4BF && (c & 1)) return static_cast<char16_t>(c - 1);
    return c;
}

char16_t toLowerUnit(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c < 0xC0) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x137 && !(c & 1)) return static_cast<char16_t>(c + 1);
    if (c >= 0x139 && c <= 0x148 && (c & 1)) return static_cast<char16_t>(c + 1);
    if (c >= 0x14A && c <= 0x177 && !(c & 1)) return static_cast<char16_t>(c + 1);
    if (c == 0x179 || c == 0x17B || c == 0x17D) return static_cast<char16_t>(c + 1);
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    if (c >= 0x460 && c <= 0x481 && !(c & 1)) return static_cast<char16_t>(c + 1);
    if (c >= 0x48A && c <= 0x4BF && !(c & 1)) return static_cast<char16_t>(c + 1);
    return c;
}

// Code page 1252: 0x80-0x9F hold typographic characters; the five unassigned bytes map to
// the C1 control of the same value, as Windows does.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string native(std::u16string_view path) { return ToUtf8(path); }

// A file descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd) : FFd(fd) {}
    ~Fd() {
        if (FFd >= 0) ::close(FFd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return FFd; }
    bool valid() const { return FFd >= 0; }
    // Closes now and reports whether the close succeeded (it can report a failed write).
    bool close() {
        const int fd = FFd;
        FFd = -1;
        return ::close(fd) == 0;
    }

private:
    int FFd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool readUpTo(int fd, std::size_t maxBytes, std::string& out) {
    out.clear();
    char buf[65536];
    while (out.size() < maxBytes) {
        const std::size_t want = std::min(sizeof buf, maxBytes - out.size());
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    return true;
}

double toLocalDays(const timespec& ts) {
    std::tm tm{};
    const std::time_t t = ts.tv_sec;
    if (!localtime_r(&t, &tm)) return 0.0;
    return EncodeLocalDays(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                           static_cast<int>(ts.tv_nsec / 1000000));
}

// Windows wildcard matching: '*' any run, '?' one character, letters without regard to case.
bool wildcardMatch(std::u16string_view pattern, std::u16string_view name) {
    if (pattern == u"*.*") pattern = u"*";
    std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || toUpperUnit(pattern[p]) == toUpperUnit(name[n]))) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

int CompareText(std::u16string_view a, std::u16string_view b, bool caseSensitive) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t ua = toUpperUnit(a[i]), ub = toUpperUnit(b[i]);
        if (ua != ub) return ua < ub ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (caseSensitive) {
        // Equal but for case: as in the user locale of Windows, lower case sorts first.
        for (std::size_t i = 0; i < n; ++i)
            if (a[i] != b[i]) return toUpperUnit(a[i]) == a[i] ? 1 : -1;
    }
    return 0;
}

std::u16string MapCase(std::u16string_view s, bool upper) {
    std::u16string r(s);
    for (char16_t& c : r) c = upper ? toUpperUnit(c) : toLowerUnit(c);
    return r;
}

char16_t CharUpper(char16_t c) { return toUpperUnit(c); }

char16_t CharUpperW(char16_t c) { return toUpperUnit(c); }

unsigned AnsiCodePage() { return 1252; }

std::u16string AnsiToText(std::string_view bytes) {
    std::u16string r;
    r.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        r += (b >= 0x80 && b <= 0x9F) ? cp1252High[b - 0x80] : static_cast<char16_t>(b);
    }
    return r;
}

std::string TextToAnsi(std::u16string_view text) {
    std::string r;
    r.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            r += static_cast<char>(c);
            continue;
        }
        char out = '?';
        for (int k = 0; k < 32; ++k)
            if (cp1252High[k] == c) out = static_cast<char>(0x80 + k);
        // A surrogate pair is one character and becomes one '?'.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
        r += out;
    }
    return r;
}

std::u16string ModulePath() {
    std::string buf(4096, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buf.size()) {
            buf.resize(static_cast<std::size_t>(n));
            return FromUtf8(buf);
        }
        buf.resize(buf.size() * 2);
    }
}

char16_t PathSeparator() { return u'/'; }

double Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return toLocalDays(ts);
}

FileState ProbeFile(std::u16string_view path) {
    struct stat st {};
    int error = InjectedFileError(path);
    if (error == 0 && ::stat(native(path).c_str(), &st) != 0) error = errno;
    if (error == 0) return S_ISDIR(st.st_mode) ? FileState::Unreachable : FileState::Present;
    // ENOTDIR: a file stands where a folder of the path should be, so the file cannot exist.
    return error == ENOENT || error == ENOTDIR ? FileState::Missing : FileState::Unreachable;
}

bool FileExists(std::u16string_view path) { return ProbeFile(path) == FileState::Present; }

bool FileTime(std::u16string_view path, double& localDays) {
    if (InjectedFileError(path) != 0) return false;
    struct stat st {};
    if (::stat(native(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    localDays = toLocalDays(st.st_mtim);
    return true;
}

bool ReadFileBytes(std::u16string_view path, std::string& bytes) {
    if (InjectedFileError(path) != 0) return false;
    Fd fd(::open(native(path).c_str(), O_RDONLY | O_CLOEXEC));
    return fd.valid() && readUpTo(fd.get(), static_cast<std::size_t>(-1), bytes);
}

bool ReadFileHead(std::u16string_view path, std::size_t maxBytes, std::string& bytes) {
    // POSIX has no share modes; the reader simply reads.
    if (InjectedFileError(path) != 0) return false;
    Fd fd(::open(native(path).c_str(), O_RDONLY | O_CLOEXEC));
    return fd.valid() && readUpTo(fd.get(), maxBytes, bytes);
}

bool WriteFileAtomic(std::u16string_view path, std::string_view bytes) {
    const std::string target = native(path);
    // One temporary name per target: a save cut short by a killed process leaves this one
    // file behind, and the next save truncates and reuses it instead of adding another.
    const std::string temp = target + ".tmp~";
    // Not truncated on opening: another process may be saving the same file through it.
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.valid()) return false;
    // The lock keeps a second save out, as the share mode does on Windows; it is held until
    // after the rename. The file must still be the one under the temporary name: the lock may
    // have been won on a file that another save has just renamed into place.
    struct stat held {}, named {};
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fd.get(), &held) != 0 ||
        ::lstat(temp.c_str(), &named) != 0 || held.st_dev != named.st_dev || held.st_ino != named.st_ino)
        return false;
    const bool written = ::ftruncate(fd.get(), 0) == 0 && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The data is on disk already; closing only gives the lock up.
    fd.close();
    // Make the rename itself durable.
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.valid()) ::fsync(dirFd.get());
    return true;
}

bool CreateEmptyFile(std::u16string_view path) {
    Fd fd(::open(native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return fd.valid() && fd.close();
}

bool RemoveFile(std::u16string_view path) { return ::unlink(native(path).c_str()) == 0; }

bool CopyFileNoOverwrite(std::u16string_view from, std::u16string_view to) {
    const std::string target = native(to);
    Fd src(::open(native(from).c_str(), O_RDONLY | O_CLOEXEC));
    if (!src.valid()) return false;
    struct stat st {};
    if (::fstat(src.get(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    Fd dst(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777));
    if (!dst.valid()) return false;
    std::string bytes;
    if (!readUpTo(src.get(), static_cast<std::size_t>(-1), bytes) || !writeAll(dst.get(), bytes) || !dst.close()) {
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

bool CreateFolders(std::u16string_view path) {
    const std::string p = native(path);
    for (std::size_t i = 1; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == '/') ::mkdir(p.substr(0, i).c_str(), 0777);
    }
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<FoundEntry> FindEntries(std::u16string_view pattern) {
    std::vector<FoundEntry> found;
    const std::size_t slash = pattern.rfind(u'/');
    const std::u16string_view last = slash == std::u16string_view::npos ? pattern : pattern.substr(slash + 1);
    if (last.find_first_of(u"*?") == std::u16string_view::npos) {
        struct stat st {};
        if (!pattern.empty() && ::stat(native(pattern).c_str(), &st) == 0)
            found.push_back({std::u16string(last), S_ISDIR(st.st_mode)});
        return found;
    }
    const std::string dir = slash == std::u16string_view::npos ? "." : slash == 0 ? "/" : native(pattern.substr(0, slash));
    const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return found;
    while (const dirent* e = ::readdir(d.get())) {
        const std::u16string name = FromUtf8(e->d_name);
        if (!wildcardMatch(last, name)) continue;
        struct stat st {};
        const bool isDir = ::stat((dir + "/" + e->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        found.push_back({name, isDir});
    }
    return found;
}

std::u16string LocalCacheFolder() {
    // A relative XDG_CACHE_HOME is to be ignored.
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    std::u16string dir;
    if (xdg && xdg[0] == '/') {
        dir = FromUtf8(xdg);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') return {};
        dir = FromUtf8(home);
        while (!dir.empty() && dir.back() == u'/') dir.pop_back();
        dir += u"/.cache";
    }
    while (dir.size() > 1 && dir.back() == u'/') dir.pop_back();
    return dir;
}

}  // namespace platform
