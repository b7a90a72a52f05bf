// Numbered settings documents for the crash tests, and the in-place writer they compare with.
#include "tests/settings/save_generations.h"

#include <cstdio>
#include <string_view>

#include "common/exceptions.h"
#include "common/platform.h"
#include "common/string_list.h"
#include "settings/user_settings_file.h"

#ifdef _WIN32
#include <windows.h>

#include "common/wtext.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace savegen {

namespace {

constexpr int DataLines = 800;
constexpr std::size_t InPlaceChunk = 4096;

// Writes bytes over the file in place: truncate, then piece by piece.
bool writeInPlace(const std::u16string& path, std::string_view bytes) {
#ifdef _WIN32
    const std::u16string p = path;
    HANDLE h = CreateFileW(W(p), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes.size(); at += InPlaceChunk) {
        const DWORD n = static_cast<DWORD>(std::min(InPlaceChunk, bytes.size() - at));
        DWORD done = 0;
        ok = WriteFile(h, bytes.data() + at, n, &done, nullptr) && done == n;
    }
    return CloseHandle(h) && ok;
#else
    const int fd = ::open(platform::ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t at = 0; ok && at < bytes.size(); at += InPlaceChunk) {
        const std::size_t n = std::min(InPlaceChunk, bytes.size() - at);
        ok = ::write(fd, bytes.data() + at, n) == static_cast<ssize_t>(n);
    }
    return ::close(fd) == 0 && ok;
#endif
}

}  // namespace

void WriteGeneration(TUserSettings& s, int n) {
    // Gen goes first: a typed write may save pending changes, and it must not save a document
    // that is half the old and half the new generation.
    s.writeInteger(u"", u"Gen", n);
    TStringList lines;
    char buf[96];
    for (int i = 0; i < DataLines; ++i) {
        std::snprintf(buf, sizeof buf, "L%04d=generation %d, line %d: %08x %08x", i, n, i,
                      static_cast<unsigned>(n * 2654435761u + static_cast<unsigned>(i)),
                      static_cast<unsigned>(i * 40503u ^ static_cast<unsigned>(n)));
        lines.Add(platform::FromUtf8(buf));
    }
    s.writeList(u"Data", lines);
}

int StoredGeneration(const std::u16string& path) {
    try {
        TUserSettingsFile s(path);
        return s.readInteger(u"", u"Gen", -1);
    } catch (const Exception&) {
        // Undecodable bytes: the message box turned the report into an error.
        return -1;
    }
}

int SaveNext(const std::u16string& path, Mode mode) {
    TUserSettingsFile s(path);
    const int g = s.readInteger(u"", u"Gen", -1);
    if (g < 0) return -1;
    WriteGeneration(s, g + 1);
    if (mode == Mode::Atomic) {
        s.Save();
    } else {
        TStringList rendered;
        s.Ini().SaveToList(rendered);
        if (!writeInPlace(path, rendered.SaveToBytes(TTextEncoding::Utf8))) return -1;
        // Only a save clears the pending changes, and the destructor must not write the
        // settings file again: put them into a file of their own.
        s.Ini().SaveToFile(path + u".render", TTextEncoding::Utf8);
    }
    return g + 1;
}

std::string ExpectedBytes(int n, const std::u16string& scratchPath) {
    platform::RemoveFile(scratchPath);
    {
        TUserSettingsFile s(scratchPath);
        WriteGeneration(s, n);
        s.Save();
    }
    std::string bytes;
    platform::ReadFileBytes(scratchPath, bytes);
    return bytes;
}

}  // namespace savegen
