#include <windows.h>

#include "user_language.h"

bool UserReadsChinese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE; }
