// Placeholder until the skinning module is in: attaching does nothing.
#include "skin_attach.h"

int SkinWindow(HWND) { return 0; }
int UnskinWindow(HWND) { return 0; }
