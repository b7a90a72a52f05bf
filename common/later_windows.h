// Functions that Windows versions after the oldest one the program runs on (Vista) added, reached at run time.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// Messages of later versions, which the Vista headers lack; an older Windows never sends them.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0  // Windows 8.1
#endif

// The address of a function exported by a module already loaded into the process, as a
// pointer of type Fn, or null when this Windows lacks it. The program is built for the
// oldest version it declares, so anything newer has to be looked up here, never imported.
template <class Fn>
Fn LaterFunction(const wchar_t* module, const char* name) {
    HMODULE const h = GetModuleHandleW(module);
    if (!h) return nullptr;
    const FARPROC proc = GetProcAddress(h, name);
    // The detour through the generic function type keeps the conversion well-defined.
    return proc ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc)) : nullptr;
}

// The current time in 100 ns ticks since 1601 (UTC): to the microsecond where the system can
// tell it (Windows 8 and later), otherwise at the resolution of the system clock.
// Inline, so that the start-up benchmark's minimal window program shares it without linking
// any of the program's libraries.
inline std::uint64_t SystemTimeTicks() {
    using GetSystemTimeFn = void(WINAPI*)(LPFILETIME);
    // Looked up at the first call; a second thread at that moment looks up the same address.
    static std::atomic<GetSystemTimeFn> function{nullptr};
    GetSystemTimeFn getTime = function.load(std::memory_order_relaxed);
    if (!getTime) {
        getTime = LaterFunction<GetSystemTimeFn>(L"kernel32", "GetSystemTimePreciseAsFileTime");
        if (!getTime) getTime = GetSystemTimeAsFileTime;
        function.store(getTime, std::memory_order_relaxed);
    }
    FILETIME ft{};
    getTime(&ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// The 1st of January 1970 in 100 ns ticks since 1601.
inline constexpr std::uint64_t UnixEpochTicks = 116444736000000000ULL;

// SystemTimeTicks as Unix time in nanoseconds.
inline std::int64_t UnixTimeNs() { return static_cast<std::int64_t>(SystemTimeTicks() - UnixEpochTicks) * 100; }
