// The window messages of the program, all above WM_APP, and the notification-area icon's id.
#pragma once

#include <cstdint>

// Posted by a second instance started with "-asio": the main frame selects the Settings page.
constexpr unsigned int WM_SELECT_ASIO_PAGE = 0x8001;
// Posted by the driver-event thread to the view.
constexpr unsigned int WM_DRIVER_EVENT = 0x8002;
// The notification-area icon's callback: wParam the icon id, lParam the mouse message.
constexpr unsigned int WM_TRAY_NOTIFY = 0x8003;
constexpr uint32_t TRAY_ICON_ID = 0x42424242;

// The single-instance mutex (local object namespace).
constexpr const char SINGLE_INSTANCE_MUTEX_NAME[] = "b15657be-162e-4b7b-9ff7-31a4a39cc091";
