// The pointer and keys as a user works them, for tests of windows: moves and
// clicks at screen points and key presses go through the system's input
// queue, so the windows get the same messages a real click or key gives.
#pragma once

#include <windows.h>

namespace kl::winetest {

// Moves the pointer to `at` (screen coordinates) and clicks the left button.
void ClickAt(POINT at);
// Two clicks at `at` within the double-click time.
void DoubleClickAt(POINT at);
// Right button click at `at`.
void RightClickAt(POINT at);
// Presses and releases virtual key `vk`.
void PressKey(WORD vk);

// Brings `window` to the front and makes it the active one; true when it is.
bool BringToFront(HWND window);

// The screen point at the centre of `rect` given in `window`'s client coordinates.
POINT ClientCentre(HWND window, const RECT& rect);

}  // namespace kl::winetest
