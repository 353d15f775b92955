// What the pages make of the device model's records, worked out in full by the fuzzers so
// that any read past a record, any count past a capacity or any unterminated text shows up
// under the sanitizers.
#pragma once

#include <cstddef>

#include "model/ChannelText.h"
#include "model/DeviceText.h"
#include "model/Drv.h"
#include "model/SyncText.h"
#include "model/TextField.h"

namespace fuzz {

// What the pages would show, kept so that the work is not optimised away.
inline volatile size_t g_shown;

// Everything the pages make of the records: the texts' lengths, summed.
inline size_t ShowEverything(CDrv& drv) {
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

}  // namespace fuzz
