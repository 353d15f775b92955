// How channel names appear on the Channels pages.
#pragma once

#include "base/CString.h"
#include "driver/DeviceRecords.h"

namespace vesk {

// ASIO hosts show at most this many characters of a channel's display name.
constexpr int kAsioDisplayNameLength = 32;

// The name ASIO hosts see: "<device> - <channel>" when the driver puts the device name in
// front, else the channel name alone; cut to its first 32 characters either way.
CString AsioDisplayName(const CString& deviceName, const CString& channelName,
                        bool includeDeviceName);

// Text of the read-only hardware-name field: one space, then the name as stored.
CString HardwareNameText(const _VESK_CHANNEL_PROPERTIES& channel);

}  // namespace vesk
