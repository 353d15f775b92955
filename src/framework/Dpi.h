// Lengths in pixels at the DPI a window is shown at. The program's pixel constants are given
// for 96 DPI (100%); dialog templates scale by themselves.
#pragma once

#include "framework/Win32.h"

constexpr UINT kBaseDpi = 96;

// The DPI of the monitor the window is on as the window sees it (the system DPI where the
// system cannot tell per window).
UINT DpiOfWindow(HWND window);

// A length given for 96 DPI, at `dpi`.
inline int ScaleFromBaseDpi(int length, UINT dpi) {
    return ::MulDiv(length, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

// A length given for 96 DPI, at the window's DPI.
inline int ScaleForWindow(HWND window, int length) {
    return ScaleFromBaseDpi(length, DpiOfWindow(window));
}
