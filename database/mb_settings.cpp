// The settings object the kernel shares.
#include "database/mb_settings.h"

MB_System_Setting g_system_setting;
