// The local application-data folder: the shell's CSIDL_LOCAL_APPDATA, which stays on this computer.
#include "game/solver/cache_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "common/wtext.h"

namespace solver {

std::u16string LocalCacheFolder() {
    wchar_t buf[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf))) return {};
    return U(buf);
}

}  // namespace solver
