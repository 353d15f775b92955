// The window messages of the program, all above WM_APP.
#pragma once

// Posted by a second instance started with "-asio": the main frame selects the Settings page.
constexpr unsigned int WM_SELECT_ASIO_PAGE = 0x8001;
// Posted by the driver-event thread to the view.
constexpr unsigned int WM_DRIVER_EVENT = 0x8002;
// The notification-area icon's callback: wParam the icon id, lParam the mouse message.
constexpr unsigned int WM_TRAY_NOTIFY = 0x8003;
