#include "app/TrayIcon.h"

#include <cstddef>

#include "app/AppMessages.h"

static_assert(offsetof(NOTIFYICONDATAA, guidItem) == CTrayIcon::kRecordSize,
              "the record ends before the identifier field");

void CTrayIcon::Attach(HWND window, UINT iconId) {
    m_window = window;
    m_iconId = iconId;
}

BOOL CTrayIcon::Add(HICON icon, LPCSTR tip) {
    if (m_window == nullptr) return FALSE;
    NOTIFYICONDATAA data{};
    data.cbSize = kRecordSize;
    data.hWnd = m_window;
    data.uID = m_iconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon;
    if (tip != nullptr) ::lstrcpynA(data.szTip, tip, kMaxTipLength + 1);
    return TrayShellNotify(NIM_ADD, data);
}

BOOL CTrayIcon::Remove() {
    if (m_window == nullptr) return FALSE;
    NOTIFYICONDATAA data{};
    data.cbSize = kRecordSize;
    data.hWnd = m_window;
    data.uID = m_iconId;
    return TrayShellNotify(NIM_DELETE, data);
}
