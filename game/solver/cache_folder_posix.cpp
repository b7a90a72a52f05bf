// The XDG cache folder.
#include "game/solver/cache_folder.h"

#include <cstdlib>

#include "common/platform.h"

namespace solver {

std::u16string LocalCacheFolder() {
    // A relative XDG_CACHE_HOME is to be ignored.
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    std::u16string dir;
    if (xdg && xdg[0] == '/') {
        dir = platform::FromUtf8(xdg);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') return {};
        dir = platform::FromUtf8(home);
        while (!dir.empty() && dir.back() == u'/') dir.pop_back();
        dir += u"/.cache";
    }
    while (dir.size() > 1 && dir.back() == u'/') dir.pop_back();
    return dir;
}

}  // namespace solver
