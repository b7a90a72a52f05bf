// Makes the platform's file services fail for chosen paths while a scope lasts.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

#include "common/platform.h"

namespace testsupport {

// System errors of a file that is there but cannot be reached, in the platform's own numbers.
#ifdef _WIN32
inline constexpr int AccessDeniedError = ERROR_ACCESS_DENIED;
inline constexpr int NetworkGoneError = ERROR_BAD_NETPATH;
#else
inline constexpr int AccessDeniedError = EACCES;
inline constexpr int NetworkGoneError = EIO;
#endif

// While it lives, the probes and reads of path fail with the system error `error` (a Win32
// error on Windows, an errno value on POSIX); other paths are as they are. Ends by itself, also
// when an assertion leaves the test early.
class FileFaultScope {
public:
    FileFaultScope(std::u16string path, int error) : FPath(std::move(path)), FError(error) {
        platform::SetFileFault([this](std::u16string_view p) { return p == FPath ? FError : 0; });
    }
    ~FileFaultScope() { End(); }
    FileFaultScope(const FileFaultScope&) = delete;
    FileFaultScope& operator=(const FileFaultScope&) = delete;
    void End() { platform::SetFileFault(nullptr); }

private:
    std::u16string FPath;
    int FError;
};

}  // namespace testsupport
