// The real driver's control device, reached through kernel32.
#include <windows.h>
// After windows.h, which defines its types.
#include <dbt.h>

#include <cstring>

#include "os/DeviceFile.h"

namespace os {

namespace {

// A failing call whose last error is 0 must still not read as success to the caller.
uint32_t LastErrorOrFailure() {
    DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

}  // namespace

uint32_t OpenDevice(const char* path, DeviceHandle* handle) {
    *handle = nullptr;
    // Synchronous handle (no FILE_FLAG_OVERLAPPED): every request blocks until it completes.
    HANDLE file =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE || file == nullptr) return LastErrorOrFailure();
    *handle = file;
    return 0;
}

uint32_t ControlDevice(DeviceHandle handle, uint32_t code, const void* input, uint32_t inputSize,
                       void* output, uint32_t outputSize) {
    // The byte count is never reported: a successful request fills its whole output record.
    DWORD returned = 0;
    if (DeviceIoControl(static_cast<HANDLE>(handle), code, const_cast<void*>(input), inputSize,
                        output, outputSize, &returned, nullptr))
        return 0;
    return LastErrorOrFailure();
}

void CloseDevice(DeviceHandle handle) {
    if (handle) CloseHandle(static_cast<HANDLE>(handle));
}

void* RegisterDeviceInterfaceNotification(WindowHandle window, const uint8_t classGuid[16]) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter;
    std::memset(&filter, 0, sizeof(filter));
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(&filter.dbcc_classguid, classGuid, sizeof(GUID));
    return RegisterDeviceNotificationA(static_cast<HANDLE>(window), &filter,
                                       DEVICE_NOTIFY_WINDOW_HANDLE);
}

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32, "the filter is a 32-byte record");

}  // namespace os
