// The per-user folder for data a program can always compute again, with a Win32 and a POSIX side.
#pragma once

#include <string>

namespace solver {

// Windows: the local (not roaming) application-data folder; POSIX: $XDG_CACHE_HOME, else
// ~/.cache. Empty when there is none.
std::u16string LocalCacheFolder();

}  // namespace solver
