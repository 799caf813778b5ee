#include "skin_state.h"

bool SkinInitialized = false;
HDC SkinTemplateDC = nullptr;
HBITMAP SkinTemplateBitmap = nullptr;
bool HasUser32TrackMouseEvent = false;
std::int32_t SkinnedButtonCount = 0;
std::int32_t HookedHostCount = 0;
