// Wire records of synchronisation: clock master, sampling-rate mode and rates, device sync modes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/IoctlCodes.h"

constexpr uint32_t VESK_MAX_RATES = 8;
constexpr uint32_t VESK_MAX_SYNC_MODES = 16;
constexpr uint32_t VESK_E_WDM_DEVICE_IN_USE = 0xE0000047;

#pragma pack(push, 1)

struct _VESK_CLOCK_MASTER {
    uint32_t Reserved;
    uint32_t MasterType;  // 0 = the PC driver, 1 = a device
    uint32_t MasterDeviceId;
};

struct _VESK_SAMPLE_RATE_MODE {
    uint32_t Reserved;
    uint32_t Automatic;
};

struct _VESK_SAMPLE_RATE_INFO {
    uint32_t Reserved;
    uint32_t CurrentRate;
    uint32_t RateCount;
    uint32_t Rates[VESK_MAX_RATES];
};

struct _VESK_SAMPLE_RATE {
    uint32_t Reserved;
    uint32_t Rate;
};

struct _DEVICE_SYNC_MODE {
    uint32_t SyncType;
    uint32_t ModeId;
    char ModeName[40];
};

struct _DEVICE_SYNC_MODE_INFO {
    uint32_t DeviceId;
    _DEVICE_SYNC_MODE CurrentMode;
    uint32_t ModeCount;
    _DEVICE_SYNC_MODE Modes[VESK_MAX_SYNC_MODES];
};

struct _DEVICE_SYNC_MODE_SET {
    uint32_t DeviceId;
    uint32_t SyncType;
    uint32_t ModeId;
};

#pragma pack(pop)

static_assert(sizeof(_VESK_CLOCK_MASTER) == vesk::IOCTL_VESK_GET_CLOCK_MASTER_OUT_SIZE);
static_assert(sizeof(_VESK_CLOCK_MASTER) == vesk::IOCTL_VESK_SET_CLOCK_MASTER_IN_SIZE);
static_assert(offsetof(_VESK_CLOCK_MASTER, MasterType) == 4);
static_assert(offsetof(_VESK_CLOCK_MASTER, MasterDeviceId) == 8);

static_assert(sizeof(_VESK_SAMPLE_RATE_MODE) == vesk::IOCTL_VESK_GET_SAMPLE_RATE_MODE_OUT_SIZE);
static_assert(sizeof(_VESK_SAMPLE_RATE_MODE) == vesk::IOCTL_VESK_SET_SAMPLE_RATE_MODE_IN_SIZE);
static_assert(offsetof(_VESK_SAMPLE_RATE_MODE, Automatic) == 4);

static_assert(sizeof(_VESK_SAMPLE_RATE_INFO) == vesk::IOCTL_VESK_GET_SAMPLE_RATE_OUT_SIZE);
static_assert(offsetof(_VESK_SAMPLE_RATE_INFO, CurrentRate) == 4);
static_assert(offsetof(_VESK_SAMPLE_RATE_INFO, RateCount) == 8);
static_assert(offsetof(_VESK_SAMPLE_RATE_INFO, Rates) == 12);

static_assert(sizeof(_VESK_SAMPLE_RATE) == vesk::IOCTL_VESK_SET_SAMPLE_RATE_IN_SIZE);
static_assert(offsetof(_VESK_SAMPLE_RATE, Rate) == 4);

static_assert(sizeof(_DEVICE_SYNC_MODE) == 48);
static_assert(offsetof(_DEVICE_SYNC_MODE, ModeId) == 4);
static_assert(offsetof(_DEVICE_SYNC_MODE, ModeName) == 8);

static_assert(sizeof(_DEVICE_SYNC_MODE_INFO) ==
              vesk::IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO_OUT_SIZE);
static_assert(offsetof(_DEVICE_SYNC_MODE_INFO, CurrentMode) == 4);
static_assert(offsetof(_DEVICE_SYNC_MODE_INFO, ModeCount) == 52);
static_assert(offsetof(_DEVICE_SYNC_MODE_INFO, Modes) == 56);

static_assert(sizeof(_DEVICE_SYNC_MODE_SET) == vesk::IOCTL_VESK_SET_DEVICE_SYNC_MODE_IN_SIZE);
static_assert(offsetof(_DEVICE_SYNC_MODE_SET, SyncType) == 4);
static_assert(offsetof(_DEVICE_SYNC_MODE_SET, ModeId) == 8);
