// The window message by which a program that has written the driver's settings asks a running
// panel to read them again, as the driver's own domain-configuration event does. The message
// number comes from RegisterWindowMessage with this name; it is posted to every top-level
// window (HWND_BROADCAST) with both parameters 0.
#pragma once

constexpr const char kDriverSettingsChangedMessageName[] = "VESK_CPL.DriverSettingsChanged";
