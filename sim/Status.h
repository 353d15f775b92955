// The statuses the simulated driver answers with, as a real driver and the system would.
#pragma once

#include <cstdint>

namespace sim {

constexpr uint32_t kStatusSuccess = 0;
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorNoMoreItems = 259;
constexpr uint32_t kErrorNoAccess = 998;
constexpr uint32_t kErrorDeviceNotConnected = 1167;
constexpr uint32_t kErrorNotFound = 1168;
constexpr uint32_t kDriverWdmDeviceInUse = 0xE0000047;
constexpr uint32_t kDriverRateNotSupported = 0xE0000080;

}  // namespace sim
