// The process-wide settings object; the program's main block opens it and the unit's end frees it.
#include "settings/user_settings.h"

std::unique_ptr<TUserSettings> UserSettings;
