// The per-user application-data folder on POSIX systems: the XDG data home.
#include "settings/user_settings_folder.h"

#include <cstdlib>
#include <string_view>

#include "common/platform.h"

namespace settings_detail {

namespace {

std::u16string fromEnv(const char* name) {
    const char* v = std::getenv(name);
    return v ? platform::FromUtf8(v) : std::u16string();
}

void dropTrailingSlashes(std::u16string& s) {
    while (s.size() > 1 && s.back() == u'/') s.pop_back();
}

}  // namespace

std::u16string RoamingAppDataFolder() {
    // The XDG rules ignore a relative XDG_DATA_HOME, so do we.
    std::u16string dir = fromEnv("XDG_DATA_HOME");
    if (dir.empty() || dir.front() != u'/') {
        dir = fromEnv("HOME");
        if (dir.empty() || dir.front() != u'/') return {};
        dropTrailingSlashes(dir);
        if (dir == u"/") dir.clear();
        dir += u"/.local/share";
    }
    dropTrailingSlashes(dir);
    return dir;
}

}  // namespace settings_detail
