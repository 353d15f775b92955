// The frame's icon in the notification area of the task bar.
#pragma once

#include "framework/Win32.h"

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

    HWND GetWindow() const { return m_window; }
    UINT GetIconId() const { return m_iconId; }

    // Tests watch what goes to the shell; null restores the shell's own call.
    using ShellNotify = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);
    static void SetShellNotifyForTesting(ShellNotify notify);

  private:
    HWND m_window = nullptr;
    UINT m_iconId = 0;
};
