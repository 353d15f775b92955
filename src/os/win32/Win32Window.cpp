#include <windows.h>
// After windows.h, which defines its types.
#include <dbt.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "os/Window.h"

namespace os {

bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return PostMessageA(static_cast<HWND>(window), message, wParam, lParam) != 0;
}

void SendDeviceInterfaceChange(WindowHandle window, uint32_t event, const uint8_t classGuid[16],
                               const char* devicePath) {
    if (devicePath == nullptr) devicePath = "";
    // The record ends in the name, so it is allocated for the whole name and its zero.
    const size_t nameLength = std::strlen(devicePath);
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + nameLength + 1;
    std::vector<unsigned char> storage(size < sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)
                                           ? sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)
                                           : size);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(size);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_reserved = 0;
    if (classGuid) std::memcpy(&record->dbcc_classguid, classGuid, sizeof(GUID));
    std::memcpy(record->dbcc_name, devicePath, nameLength + 1);
    SendMessageA(static_cast<HWND>(window), WM_DEVICECHANGE, event,
                 reinterpret_cast<LPARAM>(record));
}

}  // namespace os
