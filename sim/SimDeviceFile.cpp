// The device file of every target but the production panel: the simulated driver.
#include <cstring>

#include "Simulator.h"
#include "driver/Vesk1394Driver.h"
#include "os/DeviceFile.h"

namespace os {

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
    if (!classGuid || std::memcmp(classGuid, DEVICE_INTERFACE_CLASS_GUID, 16) != 0) return nullptr;
    return sim::Simulator::Instance().RegisterNotification(window);
}

}  // namespace os
