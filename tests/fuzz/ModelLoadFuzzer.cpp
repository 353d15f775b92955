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
#include <cstdio>
#include <string>

#include "driver/IoctlCodes.h"
#include "model/ChannelText.h"
#include "model/DeviceText.h"
#include "model/Drv.h"
#include "model/SyncText.h"
#include "model/TextField.h"
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

std::string Hex(const uint8_t* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

std::string ScenarioFor(const uint8_t* data, size_t size) {
    std::string raw;
    for (const vesk::RequestShape& reply : kReplies) {
        if (size < 2) break;
        size_t length = static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8;
        data += 2;
        size -= 2;
        if (length > size) length = size;
        const size_t used = length < reply.outputSize ? length : reply.outputSize;
        if (used > 0) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08x", reply.code);
            raw += std::string(raw.empty() ? "" : ",") + "\"" + code + "\":\"" + Hex(data, used) +
                   "\"";
        }
        data += length;
        size -= length;
    }
    return "{\"loaded\": true, \"faults\": [], \"raw\": {" + raw + "}}";
}

// What the pages would show, kept so that the work is not optimised away.
volatile size_t g_shown;

// Everything the pages make of the records: the texts' lengths, summed.
size_t ShowEverything(CDrv& drv) {
    size_t shown = vesk::DevicesConnectedText(drv.m_devices.GetSize()).GetLength();
    for (int i = 0; i < drv.m_devices.GetSize(); ++i) {
        const _VESK_DEVICE_PROPERTIES* device = drv.m_devices.Find(i);
        shown += vesk::FieldText(device->DeviceName).GetLength();
        shown += vesk::FieldText(device->SerialNumber).GetLength();
    }
    for (int i = 0; i < drv.m_syncModes.GetSize(); ++i) {
        _DEVICE_SYNC_MODE_INFO* info = drv.m_syncModes.Find(i);
        shown += vesk::FieldText(info->CurrentMode.ModeName).GetLength();
        shown += vesk::SyncModeText(info->CurrentMode).GetLength();
        const uint32_t usable = vesk::UsableModeCount(*info);
        for (uint32_t k = 0; k < usable; ++k) {
            shown += vesk::FieldText(info->Modes[k].ModeName).GetLength();
            shown += vesk::SyncModeText(info->Modes[k]).GetLength();
        }
        shown += static_cast<size_t>(vesk::CurrentModeIndex(*info) + 1);
        vesk::ChooseSyncMode(*info, static_cast<int>(usable) - 1);
        vesk::ChooseSyncMode(*info, static_cast<int>(usable));
    }
    const CChannelArray* directions[] = {&drv.m_inputChannels, &drv.m_outputChannels};
    for (const CChannelArray* channels : directions) {
        for (int i = 0; i < channels->GetSize(); ++i) {
            const _VESK_CHANNEL_PROPERTIES* channel = channels->Find(i);
            const CString name = vesk::FieldText(channel->ChannelName);
            const CString deviceName = drv.m_devices.GetSize() > 0
                                           ? vesk::FieldText(drv.m_devices[0]->DeviceName)
                                           : CString();
            shown += vesk::HardwareNameText(*channel).GetLength();
            shown += vesk::AsioDisplayName(deviceName, name, true).GetLength();
            shown += vesk::AsioDisplayName(deviceName, name, false).GetLength();
        }
    }
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::Simulator& simulator = sim::Simulator::Instance();
    if (!simulator.LoadScenario(ScenarioFor(data, size))) __builtin_trap();
    // The handle stays open across scenarios, as the panel's does across driver changes.
    if (!theDrv.IsOpen() && theDrv.Open(DEVICE_INTERFACE_NAME) != 0) __builtin_trap();

    theDrv.LoadDevices();
    theDrv.LoadSyncModes();
    theDrv.LoadChannels(theDrv.m_inputChannels, 0);
    theDrv.LoadChannels(theDrv.m_outputChannels, 1);
    g_shown = ShowEverything(theDrv);
    // A save sends back only what was read; it must be as safe as the loads.
    theDrv.SaveDevices();
    theDrv.SaveSyncModes();
    return 0;
}
