// The small records of the connection and of event notification: version and event record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "IoctlCodes.h"

#pragma pack(push, 1)

// Output of IOCTL_VESK_GET_VERSION.
struct _VESK_VERSION_INFO {
    uint8_t InterfaceMajor;
    uint8_t InterfaceMinor;
    uint8_t DriverMajor;
    uint8_t DriverMinor;
    int32_t DriverBuild;
    uint8_t Reserved[4];
};

// Output of IOCTL_VESK_GET_EVENT: one queued driver event.
struct VESK_EVENT_RECORD {
    int32_t EventType;
    uint8_t Reserved[8];
};

#pragma pack(pop)

static_assert(sizeof(_VESK_VERSION_INFO) == vesk::IOCTL_VESK_GET_VERSION_OUT_SIZE);
static_assert(offsetof(_VESK_VERSION_INFO, InterfaceMinor) == 1);
static_assert(offsetof(_VESK_VERSION_INFO, DriverMajor) == 2);
static_assert(offsetof(_VESK_VERSION_INFO, DriverMinor) == 3);
static_assert(offsetof(_VESK_VERSION_INFO, DriverBuild) == 4);
static_assert(sizeof(VESK_EVENT_RECORD) == vesk::IOCTL_VESK_GET_EVENT_OUT_SIZE);

enum : int32_t {
    EvtType_BusReset = 1,
    EvtType_StreamingRestarted = 2,
    EvtType_DomainConfigurationChanged = 3,
    EvtType_AsioBufferSizeChanged = 100,
};
