// Feeds the device model hostile driver replies: the input is cut into raw replies for the
// device list, device properties, channel list, channel properties and sync-mode info, which
// the simulated driver then returns for every request of those codes. The model loads every
// array and everything the pages would show of them is worked out, so that any read past a
// record, any count past a capacity or any unterminated text shows up under the sanitizers.
//
// Input layout, repeated for each of the five codes in the order above: a 2-byte
// little-endian length, then that many bytes of reply (cut at the input's end and at the
// record's size). A code whose reply is empty, or that the input does not reach, is answered
// by the simulated driver's own devices.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ShowModel.h"
#include "driver/IoctlCodes.h"
#include "model/Drv.h"
#include "sim/Simulator.h"

namespace {

constexpr vesk::RequestShape kReplies[] = {
    {vesk::IOCTL_VESK_GET_DEVICE_LIST, 0, vesk::IOCTL_VESK_GET_DEVICE_LIST_OUT_SIZE},
    {vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES, 0, vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES_OUT_SIZE},
    {vesk::IOCTL_VESK_GET_CHANNEL_LIST, 0, vesk::IOCTL_VESK_GET_CHANNEL_LIST_OUT_SIZE},
    {vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES, 0, vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES_OUT_SIZE},
    {vesk::IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO, 0,
     vesk::IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO_OUT_SIZE},
};

// The replies the input holds, given to the simulated driver in the demo state.
void InstallReplies(const uint8_t* data, size_t size) {
    sim::Simulator& simulator = sim::Simulator::Instance();
    if (!simulator.LoadScenario("")) __builtin_trap();
    for (const vesk::RequestShape& reply : kReplies) {
        if (size < 2) break;
        size_t length = static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8;
        data += 2;
        size -= 2;
        if (length > size) length = size;
        const size_t used = length < reply.outputSize ? length : reply.outputSize;
        if (!simulator.SetRawReply(reply.code, std::vector<uint8_t>(data, data + used)))
            __builtin_trap();
        data += length;
        size -= length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallReplies(data, size);
    // The handle stays open across scenarios, as the panel's does across driver changes.
    if (!theDrv.IsOpen() && theDrv.Open(DEVICE_INTERFACE_NAME) != 0) __builtin_trap();

    theDrv.LoadDevices();
    theDrv.LoadSyncModes();
    theDrv.LoadChannels(theDrv.m_inputChannels, 0);
    theDrv.LoadChannels(theDrv.m_outputChannels, 1);
    fuzz::g_shown = fuzz::ShowEverything(theDrv);
    // A save sends back only what was read; it must be as safe as the loads.
    theDrv.SaveDevices();
    theDrv.SaveSyncModes();
    return 0;
}
