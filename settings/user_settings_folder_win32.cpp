// The roaming application-data folder on Windows: the shell's CSIDL_APPDATA.
#include "settings/user_settings_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "common/wtext.h"

namespace settings_detail {

std::u16string RoamingAppDataFolder() {
    wchar_t buf[MAX_PATH] = {};
    // SHGFP_TYPE_CURRENT: the folder as the user has it now, which may be redirected.
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf))) return {};
    return U(buf);
}

}  // namespace settings_detail
