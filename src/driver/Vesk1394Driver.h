// One connection to the 1394 audio driver's control device.
#pragma once

#include <cstdint>

#include "driver/DriverRecords.h"
#include "os/DeviceFile.h"
#include "os/Lock.h"

struct _VESK_DEVICE_LIST;
struct _VESK_DEVICE_PROPERTIES;
struct _VESK_CHANNEL_LIST;
struct _VESK_CHANNEL_PROPERTIES;
struct _VESK_CLOCK_MASTER;
struct _VESK_SAMPLE_RATE_INFO;
struct _DEVICE_SYNC_MODE_INFO;
struct _DEVICE_SYNC_MODE_SET;
struct _VESK_STREAM_INFO;
struct _VESK_STREAM_BUFFER_DEPTH;
struct _VESK_AUDIO_BUFFER_DEPTH;
struct _VESK_STATISTICS;

// The braced device-interface class identifier; also the control device's name.
constexpr const char DEVICE_INTERFACE_NAME[] = "{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";
// The same class as a GUID in the system's byte layout.
constexpr uint8_t DEVICE_INTERFACE_CLASS_GUID[16] = {0xE2, 0x27, 0x0F, 0xB5, 0xB7, 0xF1, 0x0c, 0x44,
                                                     0x9B, 0xCA, 0x8C, 0xFC, 0x65, 0x3B, 0xD5, 0xC3};

constexpr uint32_t VESK_E_NOT_OPEN = 0xE0000013;
constexpr uint32_t VESK_E_INTERFACE_VERSION = 0xE0000014;

// Interface versions the panel accepts: 2.14 up to 2.255.
constexpr uint8_t VESK_INTERFACE_MAJOR = 2;
constexpr uint8_t VESK_INTERFACE_MINOR_MIN = 14;

class CVesk1394Driver {
public:
    CVesk1394Driver();
    virtual ~CVesk1394Driver();
    CVesk1394Driver(const CVesk1394Driver&) = delete;
    CVesk1394Driver& operator=(const CVesk1394Driver&) = delete;

    // Opens `\\.\name` and checks the interface version. Returns 0 at once if already open.
    uint32_t Open(const char* name);
    void Close();
    bool IsOpen();

    // One request through the open handle; VESK_E_NOT_OPEN without a handle.
    uint32_t IoControl(uint32_t code, const void* input, uint32_t inputSize, void* output,
                       uint32_t outputSize);

    uint32_t GetVersion(_VESK_VERSION_INFO* version);
    uint32_t GetAsioNameIncludesDevice(uint32_t* flag);
    uint32_t SetAsioNameIncludesDevice(const uint32_t* flag);
    uint32_t SetNotificationEvent(uint32_t eventHandle);
    uint32_t GetEvent(VESK_EVENT_RECORD* record);
    uint32_t GetDeviceList(_VESK_DEVICE_LIST* list);
    uint32_t GetChannelList(_VESK_CHANNEL_LIST* list);
    uint32_t GetClockMaster(_VESK_CLOCK_MASTER* master);
    uint32_t SetClockMaster(const _VESK_CLOCK_MASTER* master);
    uint32_t GetSampleRateMode(uint32_t* automatic);
    uint32_t SetSampleRateMode(uint32_t automatic);
    uint32_t GetSampleRate(_VESK_SAMPLE_RATE_INFO* rates);
    uint32_t SetSampleRate(uint32_t rate);
    uint32_t GetDeviceSyncModeInfo(const uint32_t* deviceId, _DEVICE_SYNC_MODE_INFO* info);
    uint32_t SetDeviceSyncMode(const _DEVICE_SYNC_MODE_SET* mode);
    uint32_t GetDeviceProperties(const uint32_t* deviceId, _VESK_DEVICE_PROPERTIES* properties);
    uint32_t SetDeviceProperties(const _VESK_DEVICE_PROPERTIES* properties);
    uint32_t GetStreamInfo(const uint32_t* deviceId, _VESK_STREAM_INFO* info);
    uint32_t GetChannelProperties(const uint32_t* channelId, _VESK_CHANNEL_PROPERTIES* properties);
    uint32_t SetChannelProperties(const _VESK_CHANNEL_PROPERTIES* properties);
    uint32_t StartStreaming();
    uint32_t StopStreaming();
    uint32_t GetStreamBufferDepth(_VESK_STREAM_BUFFER_DEPTH* depth);
    uint32_t SetStreamBufferDepth(const _VESK_STREAM_BUFFER_DEPTH* depth);
    uint32_t GetAsioBufferDepth(_VESK_AUDIO_BUFFER_DEPTH* depth);
    uint32_t SetAsioBufferDepth(const _VESK_AUDIO_BUFFER_DEPTH* depth);
    uint32_t GetWdmBufferDepth(_VESK_AUDIO_BUFFER_DEPTH* depth);
    uint32_t SetWdmBufferDepth(const _VESK_AUDIO_BUFFER_DEPTH* depth);
    uint32_t GetStatistics(_VESK_STATISTICS* statistics);

protected:
    os::RecursiveLock m_lock;

private:
    os::DeviceHandle m_device = nullptr;
};
