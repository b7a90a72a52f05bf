// The start-up trace: a line per step, timed from the creation of the process, into the file the environment names.
#include "common/startup_trace.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "common/later_windows.h"

namespace {

enum class TraceState { unknown, on, off };

TraceState State = TraceState::unknown;
wchar_t TracePath[MAX_PATH] = {};
std::uint64_t CreationTicks = 0;
// Enough for every step of a start-up; what does not fit is left out.
char Lines[16384];
std::size_t LinesLength = 0;

TraceState readState() {
    const DWORD n = GetEnvironmentVariableW(L"TESS_STARTUP_TRACE", TracePath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TraceState::off;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return TraceState::off;
    CreationTicks = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return TraceState::on;
}

void append(const char* text, std::size_t n) {
    n = std::min(n, sizeof Lines - LinesLength);
    std::copy_n(text, n, Lines + LinesLength);
    LinesLength += n;
}

// A GUI program has no console under Wine or Windows, hence a file; appended to, so that a
// script can collect several runs in one.
void writeTrace() noexcept {
    char head[64];
    const int n = std::snprintf(head, sizeof head, "process created %lld\r\n",
                                static_cast<long long>((CreationTicks - UnixEpochTicks) * 100));
    if (n <= 0) return;
    WriteStartupFile(TracePath, std::string_view(head, n), true);
    WriteStartupFile(TracePath, std::string_view(Lines, LinesLength), true);
}

}  // namespace

bool StartupTraceOn() {
    if (State == TraceState::unknown) State = readState();
    return State == TraceState::on;
}

void TraceStartup(const char* format, ...) {
    if (!StartupTraceOn()) return;
    const double ms = static_cast<double>(static_cast<std::int64_t>(SystemTimeTicks() - CreationTicks)) / 1e4;
    char line[160];
    const int head = std::snprintf(line, sizeof line, "%9.3f ms  ", ms);
    if (head <= 0) return;
    va_list args;
    va_start(args, format);
    const int step = std::vsnprintf(line + head, sizeof line - head, format, args);
    va_end(args);
    const std::size_t n = head + std::clamp<std::size_t>(step < 0 ? 0 : step, 0, sizeof line - head - 1);
    append(line, n);
    append("\r\n", 2);
}

bool WriteStartupFile(const wchar_t* path, std::string_view bytes, bool append) noexcept {
    struct File {
        HANDLE h;
        ~File() {
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    } const file{CreateFileW(path, append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void EndStartupTrace() noexcept {
    if (State == TraceState::on) writeTrace();
    State = TraceState::off;
    LinesLength = 0;
}
