// The programs hand the notification-area icon's records to the shell itself.
#include "app/TrayIcon.h"

BOOL TrayShellNotify(DWORD message, NOTIFYICONDATAA& data) {
    return ::Shell_NotifyIconA(message, &data);
}
