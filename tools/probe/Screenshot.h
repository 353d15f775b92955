// A picture of a window as it is on the screen, frame included, written as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace probe {

// Copies the screen's pixels under the window's rectangle (so the window should be on top);
// false if the window is not there or the file cannot be written.
bool SaveWindowPicture(HWND window, const std::string& bmpPath);

}  // namespace probe
