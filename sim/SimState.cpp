#include "SimState.h"

#include <algorithm>

namespace sim {

std::vector<const SimDevice*> DevicesInListOrder(const DriverState& driver) {
    std::vector<const SimDevice*> order;
    order.reserve(driver.devices.size());
    for (const SimDevice& device : driver.devices) order.push_back(&device);
    std::stable_sort(order.begin(), order.end(),
                     [](const SimDevice* a, const SimDevice* b) { return a->rank < b->rank; });
    return order;
}

SimDevice* FindDevice(DriverState& driver, uint32_t id) {
    for (SimDevice& device : driver.devices)
        if (device.id == id) return &device;
    return nullptr;
}

const SimChannel* FindChannel(const DriverState& driver, uint32_t id, uint32_t* deviceId) {
    for (const SimDevice& device : driver.devices) {
        for (const auto* list : {&device.inputs, &device.outputs}) {
            for (const SimChannel& channel : *list) {
                if (channel.id != id) continue;
                if (deviceId) *deviceId = device.id;
                return &channel;
            }
        }
    }
    return nullptr;
}

uint32_t SamplesFor(uint32_t currentUs, uint32_t rate) {
    return static_cast<uint32_t>(static_cast<uint64_t>(currentUs) * rate / 1000000u);
}

}  // namespace sim
