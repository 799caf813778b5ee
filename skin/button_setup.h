#pragma once
// Setting a button up for the skin and taking it down again.
#include <windows.h>

// Gives the button four state images, owner-drawn style, a rounded region
// and ButtonWndProc. 0 when it was skinned already.
int SkinButton(HWND hWnd);
// Frees the images, stops the fade, restores style, region and procedure.
// 0 when it was not skinned.
int UnskinButton(HWND hWnd);

// Gives the four state images fresh bitmaps of the button's current size
// and renders them; used after a size change.
void ResizeStateImages(HWND hWnd);

// The button's rounded outline: corners cut by a 3 x 3 ellipse.
void SetRoundRegion(HWND hWnd, int width, int height);
