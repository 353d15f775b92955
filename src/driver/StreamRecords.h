// Wire records of streaming: plug states, buffer depths and statistics.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/IoctlCodes.h"

constexpr uint32_t VESK_PLUG_COUNT = 4;
constexpr uint32_t VESK_MAX_PLUG_RATES = 8;
constexpr uint32_t PLUG_STATE_CONNECTED = 3;
constexpr uint32_t PLUG_STATE_CONNECT_FAILED = 4;

#pragma pack(push, 1)

struct _VESK_PLUG_INFO {
    uint32_t State;
    uint32_t ErrorCode;
    uint32_t StreamNumber;
    uint32_t CurrentRate;
    uint32_t RateCount;
    uint32_t Rates[VESK_MAX_PLUG_RATES];
};

// Plugs in fixed order: Audio Out, Audio In, Synch Out, Synch In.
struct _VESK_STREAM_INFO {
    uint32_t Reserved;
    _VESK_PLUG_INFO Plugs[VESK_PLUG_COUNT];
};

struct _VESK_STREAM_BUFFER_DEPTH {
    uint32_t Minimum;
    uint32_t Reserved;
    uint32_t Step;
    uint32_t Current;
};

struct _VESK_AUDIO_BUFFER_DEPTH {
    uint32_t Current;
    uint32_t Minimum;
    uint32_t Step;
    uint32_t Samples;
};

struct _VESK_STATISTICS {
    uint32_t Reserved[14];
    uint32_t DropOuts;
    uint32_t Reserved2;
};

#pragma pack(pop)

static_assert(sizeof(_VESK_PLUG_INFO) == 52);
static_assert(offsetof(_VESK_PLUG_INFO, ErrorCode) == 4);
static_assert(offsetof(_VESK_PLUG_INFO, StreamNumber) == 8);
static_assert(offsetof(_VESK_PLUG_INFO, CurrentRate) == 12);
static_assert(offsetof(_VESK_PLUG_INFO, RateCount) == 16);
static_assert(offsetof(_VESK_PLUG_INFO, Rates) == 20);

static_assert(sizeof(_VESK_STREAM_INFO) == vesk::IOCTL_VESK_GET_STREAM_INFO_OUT_SIZE);
static_assert(offsetof(_VESK_STREAM_INFO, Plugs) == 4);
static_assert(offsetof(_VESK_STREAM_INFO, Plugs) + 52 * 1 == 56);
static_assert(offsetof(_VESK_STREAM_INFO, Plugs) + 52 * 3 == 160);

static_assert(sizeof(_VESK_STREAM_BUFFER_DEPTH) ==
              vesk::IOCTL_VESK_GET_STREAM_BUFFER_DEPTH_OUT_SIZE);
static_assert(sizeof(_VESK_STREAM_BUFFER_DEPTH) ==
              vesk::IOCTL_VESK_SET_STREAM_BUFFER_DEPTH_IN_SIZE);
static_assert(offsetof(_VESK_STREAM_BUFFER_DEPTH, Reserved) == 4);
static_assert(offsetof(_VESK_STREAM_BUFFER_DEPTH, Step) == 8);
static_assert(offsetof(_VESK_STREAM_BUFFER_DEPTH, Current) == 12);

static_assert(sizeof(_VESK_AUDIO_BUFFER_DEPTH) == vesk::IOCTL_VESK_GET_ASIO_BUFFER_DEPTH_OUT_SIZE);
static_assert(sizeof(_VESK_AUDIO_BUFFER_DEPTH) == vesk::IOCTL_VESK_SET_WDM_BUFFER_DEPTH_IN_SIZE);
static_assert(offsetof(_VESK_AUDIO_BUFFER_DEPTH, Minimum) == 4);
static_assert(offsetof(_VESK_AUDIO_BUFFER_DEPTH, Step) == 8);
static_assert(offsetof(_VESK_AUDIO_BUFFER_DEPTH, Samples) == 12);

static_assert(sizeof(_VESK_STATISTICS) == vesk::IOCTL_VESK_GET_STATISTICS_OUT_SIZE);
static_assert(offsetof(_VESK_STATISTICS, DropOuts) == 56);
