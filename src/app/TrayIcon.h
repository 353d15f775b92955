// The frame's icon in the notification area of the task bar.
#pragma once

#include "framework/Win32.h"

// Hands an icon's record to the shell (Shell_NotifyIconA). Chosen at link time: the programs
// link the shell's own call (app/exe/ShellNotify.cpp), the tests a recorder.
BOOL TrayShellNotify(DWORD message, NOTIFYICONDATAA& data);

// The id of the main frame's icon.
constexpr UINT TRAY_ICON_ID = 0x42424242;

class CTrayIcon {
  public:
    // The record size the shell gets: the form with the 128-character tip and the balloon
    // fields, without the trailing identifier and balloon-icon fields. The window and icon
    // handles make it larger on x64.
#if defined(_WIN64)
    static constexpr DWORD kRecordSize = 504;
#else
    static constexpr DWORD kRecordSize = 488;
#endif
    static constexpr int kMaxTipLength = 127;

    void Attach(HWND window, UINT iconId);
    // Adds the icon with `tip` (cut to 127 characters); 0 without a window.
    BOOL Add(HICON icon, LPCSTR tip);
    // Deletes the icon; 0 without a window.
    BOOL Remove();

  private:
    HWND m_window = nullptr;
    UINT m_iconId = 0;
};
