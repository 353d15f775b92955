// Wire records that describe devices and channels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/IoctlCodes.h"

constexpr uint32_t VESK_MAX_DEVICES = 64;
constexpr uint32_t VESK_MAX_CHANNELS = 256;
constexpr uint32_t VESK_NAME_FIELD_SIZE = 40;

#pragma pack(push, 1)

struct _VESK_DEVICE_LIST {
    uint32_t DeviceCount;
    uint32_t DeviceIds[VESK_MAX_DEVICES];
};

struct _VESK_DEVICE_PROPERTIES {
    uint32_t DeviceId;
    uint32_t Rank;
    char DeviceName[VESK_NAME_FIELD_SIZE];
    // Starts with the zero-terminated serial number; the rest is carried unchanged.
    char SerialNumber[384];
};

struct _VESK_CHANNEL_LIST {
    uint32_t InputCount;
    uint32_t InputChannelIds[VESK_MAX_CHANNELS];
    uint32_t OutputCount;
    uint32_t OutputChannelIds[VESK_MAX_CHANNELS];
};

struct _VESK_CHANNEL_PROPERTIES {
    uint32_t Field0;  // carried unchanged
    uint32_t DeviceId;
    uint32_t Field8;  // carried unchanged
    char HardwareName[VESK_NAME_FIELD_SIZE];
    char ChannelName[VESK_NAME_FIELD_SIZE];
};

#pragma pack(pop)

static_assert(sizeof(_VESK_DEVICE_LIST) == vesk::IOCTL_VESK_GET_DEVICE_LIST_OUT_SIZE);
static_assert(offsetof(_VESK_DEVICE_LIST, DeviceIds) == 4);

static_assert(sizeof(_VESK_DEVICE_PROPERTIES) == vesk::IOCTL_VESK_GET_DEVICE_PROPERTIES_OUT_SIZE);
static_assert(sizeof(_VESK_DEVICE_PROPERTIES) == vesk::IOCTL_VESK_SET_DEVICE_PROPERTIES_IN_SIZE);
static_assert(offsetof(_VESK_DEVICE_PROPERTIES, Rank) == 4);
static_assert(offsetof(_VESK_DEVICE_PROPERTIES, DeviceName) == 8);
static_assert(offsetof(_VESK_DEVICE_PROPERTIES, SerialNumber) == 48);

static_assert(sizeof(_VESK_CHANNEL_LIST) == vesk::IOCTL_VESK_GET_CHANNEL_LIST_OUT_SIZE);
static_assert(offsetof(_VESK_CHANNEL_LIST, InputChannelIds) == 4);
static_assert(offsetof(_VESK_CHANNEL_LIST, OutputCount) == 1028);
static_assert(offsetof(_VESK_CHANNEL_LIST, OutputChannelIds) == 1032);

static_assert(sizeof(_VESK_CHANNEL_PROPERTIES) == vesk::IOCTL_VESK_GET_CHANNEL_PROPERTIES_OUT_SIZE);
static_assert(sizeof(_VESK_CHANNEL_PROPERTIES) == vesk::IOCTL_VESK_SET_CHANNEL_PROPERTIES_IN_SIZE);
static_assert(offsetof(_VESK_CHANNEL_PROPERTIES, DeviceId) == 4);
static_assert(offsetof(_VESK_CHANNEL_PROPERTIES, HardwareName) == 12);
static_assert(offsetof(_VESK_CHANNEL_PROPERTIES, ChannelName) == 52);
