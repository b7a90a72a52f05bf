// Where the platform keeps the current user's roaming application data.
#pragma once

#include <string>

namespace settings_detail {

// The roaming application-data folder of the current user, without a trailing separator;
// empty when the platform gives none.
std::u16string RoamingAppDataFolder();

}  // namespace settings_detail
