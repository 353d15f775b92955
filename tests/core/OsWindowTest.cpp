// Posting and device-interface notices into real windows; natively the same calls only reach
// test hooks, which the notificator tests use.
#if defined(_WIN32)
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which defines its types.
#include <dbt.h>

#include <cstring>
#include <string>

#include "driver/Vesk1394Driver.h"
#include "os/Window.h"

namespace {

const char kPath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

struct Received {
    UINT message = 0;
    WPARAM wParam = 0;
    std::string record;  // the whole broadcast record, as sent
};
Received g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE) {
        g_received.message = message;
        g_received.wParam = wParam;
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        g_received.record.assign(reinterpret_cast<const char*>(lParam), header->dbch_size);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateRecordingWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OsWindowTestRecorder";
    RegisterClassA(&windowClass);  // a second registration fails harmlessly
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

TEST(OsWindow, PostsReachTheWindowsQueue) {
    HWND window = CreateRecordingWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(os::PostWindowMessage(window, 0x8002, 7, -3));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, 0x8002, 0x8002, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(message.lParam, -3);
    EXPECT_FALSE(PeekMessageA(&message, window, 0x8002, 0x8002, PM_REMOVE));
    DestroyWindow(window);
    EXPECT_FALSE(os::PostWindowMessage(window, 0x8002, 0, 0)) << "no such window any more";
}

TEST(OsWindow, DeviceInterfaceChangeCarriesTheWholePathAndTheClass) {
    HWND window = CreateRecordingWindow();
    ASSERT_NE(window, nullptr);
    g_received = Received();
    os::SendDeviceInterfaceChange(window, DBT_DEVICEARRIVAL, DEVICE_INTERFACE_CLASS_GUID, kPath);
    DestroyWindow(window);

    EXPECT_EQ(g_received.message, static_cast<UINT>(WM_DEVICECHANGE));
    EXPECT_EQ(g_received.wParam, static_cast<WPARAM>(DBT_DEVICEARRIVAL));
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    ASSERT_EQ(g_received.record.size(), nameOffset + sizeof(kPath));
    DEV_BROADCAST_DEVICEINTERFACE_A header;
    std::memcpy(&header, g_received.record.data(), nameOffset);
    EXPECT_EQ(header.dbcc_devicetype, static_cast<DWORD>(DBT_DEVTYP_DEVICEINTERFACE));
    EXPECT_EQ(std::memcmp(&header.dbcc_classguid, DEVICE_INTERFACE_CLASS_GUID, 16), 0);
    // The name is complete and zero-terminated within the stated size.
    EXPECT_EQ(g_received.record.substr(nameOffset), std::string(kPath, sizeof(kPath)));
}

}  // namespace

#endif
