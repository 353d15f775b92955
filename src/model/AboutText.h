// The text of the About box: the program's title and version and, when the driver answered,
// the driver's interface and driver versions.
#pragma once

#include <cstdint>

#include "base/CString.h"
#include "driver/DriverRecords.h"
#include "res/Version.h"

namespace vesk {

constexpr const char* APP_VERSION_TEXT = "V " VESK_VERSION_TEXT;

// `versionStatus` is the status of the version request; `version` is read only when it is 0.
CString AboutText(uint32_t versionStatus, const _VESK_VERSION_INFO& version);

}  // namespace vesk
