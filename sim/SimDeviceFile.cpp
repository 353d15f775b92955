// The device file of every target but the production panel: the simulated driver.
#include <cstring>

#include "Simulator.h"
#include "os/DeviceFile.h"

namespace os {
namespace {

// {B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3} in the system's GUID layout.
constexpr uint8_t kDriverInterfaceClass[16] = {0xE2, 0x27, 0x0F, 0xB5, 0xB7, 0xF1, 0x0C, 0x44,
                                               0x9B, 0xCA, 0x8C, 0xFC, 0x65, 0x3B, 0xD5, 0xC3};

}  // namespace

uint32_t OpenDevice(const char* path, DeviceHandle* handle) {
    return sim::Simulator::Instance().Open(path, handle);
}

uint32_t ControlDevice(DeviceHandle handle, uint32_t code, const void* input, uint32_t inputSize,
                       void* output, uint32_t outputSize) {
    return sim::Simulator::Instance().Control(handle, code, input, inputSize, output, outputSize);
}

void CloseDevice(DeviceHandle handle) {
    sim::Simulator::Instance().Close(handle);
}

// The simulated system knows one device-interface class, the driver's.
void* RegisterDeviceInterfaceNotification(WindowHandle window, const uint8_t classGuid[16]) {
    if (!classGuid || std::memcmp(classGuid, kDriverInterfaceClass, 16) != 0) return nullptr;
    return sim::Simulator::Instance().RegisterNotification(window);
}

}  // namespace os
