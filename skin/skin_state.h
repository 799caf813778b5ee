#pragma once
// The module's shared state: one template for every skinned button of the
// process, and the counts that decide when it can go.
#include <windows.h>

#include <cstdint>

// The template exists and the mouse-tracking probe has run.
extern bool SkinInitialized;
// Memory DC holding the template image; keeps its old value after release.
extern HDC SkinTemplateDC;
// The template image selected into SkinTemplateDC; deleted at release.
extern HBITMAP SkinTemplateBitmap;
// Whether User32 has TrackMouseEvent (else comctl32's _TrackMouseEvent).
extern bool HasUser32TrackMouseEvent;
extern std::int32_t SkinnedButtonCount;
extern std::int32_t HookedHostCount;
