// Control codes and fixed sizes of every request the panel sends to the 1394 audio driver.
#pragma once

#include <cstdint>

namespace vesk {

constexpr uint32_t FILE_DEVICE_VESK = 0x8088;
constexpr uint32_t VESK_METHOD_BUFFERED = 0;
constexpr uint32_t VESK_FILE_ANY_ACCESS = 0;

// Built like the system's CTL_CODE macro: device type, access, function, method.
constexpr uint32_t VeskControlCode(uint32_t function) {
    return (FILE_DEVICE_VESK << 16) | (VESK_FILE_ANY_ACCESS << 14) | (function << 2) |
           VESK_METHOD_BUFFERED;
}

// One entry of the request catalogue: its code and the exact input and output sizes.
struct RequestShape {
    uint32_t code;
    uint32_t inputSize;
    uint32_t outputSize;
};

#define VESK_REQUEST(name, function, in, out)                          \
    constexpr uint32_t name = VeskControlCode(function);               \
    constexpr uint32_t name##_IN_SIZE = (in);                          \
    constexpr uint32_t name##_OUT_SIZE = (out);
#include "RequestList.def"
#undef VESK_REQUEST

// The whole catalogue in code order, for the simulated driver and the tests.
constexpr RequestShape kRequestCatalogue[] = {
#define VESK_REQUEST(name, function, in, out) {VeskControlCode(function), (in), (out)},
#include "RequestList.def"
#undef VESK_REQUEST
};
constexpr int kRequestCount = sizeof(kRequestCatalogue) / sizeof(kRequestCatalogue[0]);

// Returns the catalogue entry of `code`, or null when the code is not in the catalogue.
constexpr const RequestShape* FindRequest(uint32_t code) {
    for (const RequestShape& r : kRequestCatalogue)
        if (r.code == code) return &r;
    return nullptr;
}

// The codes as the driver documents them; a wrong function number fails the build.
static_assert(IOCTL_VESK_GET_VERSION == 0x80882804u);
static_assert(IOCTL_VESK_UNUSED_A02 == 0x80882808u);
static_assert(IOCTL_VESK_GET_ASIO_NAME_INCLUDES_DEVICE == 0x80882810u);
static_assert(IOCTL_VESK_SET_ASIO_NAME_INCLUDES_DEVICE == 0x80882814u);
static_assert(IOCTL_VESK_SET_NOTIFICATION_EVENT == 0x80882820u);
static_assert(IOCTL_VESK_UNUSED_A09 == 0x80882824u);
static_assert(IOCTL_VESK_GET_EVENT == 0x80882828u);
static_assert(IOCTL_VESK_GET_DEVICE_LIST == 0x80882860u);
static_assert(IOCTL_VESK_GET_CHANNEL_LIST == 0x80882864u);
static_assert(IOCTL_VESK_GET_CLOCK_MASTER == 0x80882880u);
static_assert(IOCTL_VESK_SET_CLOCK_MASTER == 0x80882884u);
static_assert(IOCTL_VESK_GET_SAMPLE_RATE_MODE == 0x80882888u);
static_assert(IOCTL_VESK_SET_SAMPLE_RATE_MODE == 0x8088288cu);
static_assert(IOCTL_VESK_GET_SAMPLE_RATE == 0x808828c0u);
static_assert(IOCTL_VESK_SET_SAMPLE_RATE == 0x808828c4u);
static_assert(IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO == 0x80882900u);
static_assert(IOCTL_VESK_SET_DEVICE_SYNC_MODE == 0x80882904u);
static_assert(IOCTL_VESK_GET_DEVICE_PROPERTIES == 0x80882920u);
static_assert(IOCTL_VESK_SET_DEVICE_PROPERTIES == 0x80882924u);
static_assert(IOCTL_VESK_GET_STREAM_INFO == 0x80882928u);
static_assert(IOCTL_VESK_GET_CHANNEL_PROPERTIES == 0x80882980u);
static_assert(IOCTL_VESK_SET_CHANNEL_PROPERTIES == 0x80882984u);
static_assert(IOCTL_VESK_START_STREAMING == 0x80882a00u);
static_assert(IOCTL_VESK_STOP_STREAMING == 0x80882a04u);
static_assert(IOCTL_VESK_GET_STREAM_BUFFER_DEPTH == 0x80882a80u);
static_assert(IOCTL_VESK_SET_STREAM_BUFFER_DEPTH == 0x80882a84u);
static_assert(IOCTL_VESK_GET_ASIO_BUFFER_DEPTH == 0x80882a88u);
static_assert(IOCTL_VESK_SET_ASIO_BUFFER_DEPTH == 0x80882a8cu);
static_assert(IOCTL_VESK_GET_WDM_BUFFER_DEPTH == 0x80882a90u);
static_assert(IOCTL_VESK_SET_WDM_BUFFER_DEPTH == 0x80882a94u);
static_assert(IOCTL_VESK_GET_STATISTICS == 0x80882ac8u);
static_assert(kRequestCount == 31);

}  // namespace vesk
