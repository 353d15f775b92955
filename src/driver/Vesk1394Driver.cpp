#include "driver/Vesk1394Driver.h"

#include <cstdio>
#include <cstring>

#include "driver/DeviceRecords.h"
#include "driver/IoctlCodes.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"

using namespace vesk;

namespace {

// The system's codes for what this class refuses before the system sees it.
constexpr uint32_t kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr uint32_t kErrorInvalidName = 123;      // ERROR_INVALID_NAME
// A device name that would not fit the path buffer is refused as the system refuses a path
// that is too long, rather than opening a truncated name.
constexpr uint32_t kErrorFilenameExcedRange = 206;  // ERROR_FILENAME_EXCED_RANGE
// A device file that reported success without a handle.
constexpr uint32_t kErrorGenFailure = 31;  // ERROR_GEN_FAILURE

constexpr size_t kPathBufferSize = 300;

}  // namespace

CVesk1394Driver::CVesk1394Driver() = default;

CVesk1394Driver::~CVesk1394Driver() {
    Close();
}

uint32_t CVesk1394Driver::Open(const char* name) {
    os::LockGuard guard(m_lock);
    if (m_device) return 0;
    if (name == nullptr) return kErrorInvalidName;

    char path[kPathBufferSize];
    const int length = std::snprintf(path, sizeof(path), "\\\\.\\%s", name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(path)) return kErrorFilenameExcedRange;

    os::DeviceHandle device = nullptr;
    uint32_t status = os::OpenDevice(path, &device);
    if (status != 0) return status;
    if (device == nullptr) return kErrorGenFailure;
    m_device = device;

    _VESK_VERSION_INFO version;
    std::memset(&version, 0, sizeof(version));
    status = GetVersion(&version);
    if (status != 0) {
        Close();
        return status;
    }
    if (version.InterfaceMajor != VESK_INTERFACE_MAJOR ||
        version.InterfaceMinor < VESK_INTERFACE_MINOR_MIN) {
        Close();
        return VESK_E_INTERFACE_VERSION;
    }
    return 0;
}

void CVesk1394Driver::Close() {
    os::LockGuard guard(m_lock);
    if (m_device) {
        os::CloseDevice(m_device);
        m_device = nullptr;
    }
}

bool CVesk1394Driver::IsOpen() {
    os::LockGuard guard(m_lock);
    return m_device != nullptr;
}

uint32_t CVesk1394Driver::IoControl(uint32_t code, const void* input, uint32_t inputSize,
                                    void* output, uint32_t outputSize) {
    os::LockGuard guard(m_lock);
    if (!m_device) return VESK_E_NOT_OPEN;
    // A missing buffer with a size would have the driver's data copied through a null pointer.
    if ((input == nullptr && inputSize != 0) || (output == nullptr && outputSize != 0))
        return kErrorInvalidParameter;
    return os::ControlDevice(m_device, code, input, inputSize, output, outputSize);
}

// Every request below is one IoControl call with the catalogue's fixed sizes.
#define VESK_OUT(request, output) IoControl(request, nullptr, 0, output, request##_OUT_SIZE)
#define VESK_IN(request, input) IoControl(request, input, request##_IN_SIZE, nullptr, 0)
#define VESK_IN_OUT(request, input, output) \
    IoControl(request, input, request##_IN_SIZE, output, request##_OUT_SIZE)

uint32_t CVesk1394Driver::GetVersion(_VESK_VERSION_INFO* version) {
    return VESK_OUT(IOCTL_VESK_GET_VERSION, version);
}

uint32_t CVesk1394Driver::GetAsioNameIncludesDevice(uint32_t* flag) {
    return VESK_OUT(IOCTL_VESK_GET_ASIO_NAME_INCLUDES_DEVICE, flag);
}

uint32_t CVesk1394Driver::SetAsioNameIncludesDevice(const uint32_t* flag) {
    return VESK_IN(IOCTL_VESK_SET_ASIO_NAME_INCLUDES_DEVICE, flag);
}

uint32_t CVesk1394Driver::SetNotificationEvent(uint32_t eventHandle) {
    static_assert(IOCTL_VESK_SET_NOTIFICATION_EVENT_IN_SIZE == sizeof(eventHandle));
    return VESK_IN(IOCTL_VESK_SET_NOTIFICATION_EVENT, &eventHandle);
}

uint32_t CVesk1394Driver::GetEvent(VESK_EVENT_RECORD* record) {
    return VESK_OUT(IOCTL_VESK_GET_EVENT, record);
}

uint32_t CVesk1394Driver::GetDeviceList(_VESK_DEVICE_LIST* list) {
    return VESK_OUT(IOCTL_VESK_GET_DEVICE_LIST, list);
}

uint32_t CVesk1394Driver::GetChannelList(_VESK_CHANNEL_LIST* list) {
    return VESK_OUT(IOCTL_VESK_GET_CHANNEL_LIST, list);
}

uint32_t CVesk1394Driver::GetClockMaster(_VESK_CLOCK_MASTER* master) {
    return VESK_OUT(IOCTL_VESK_GET_CLOCK_MASTER, master);
}

uint32_t CVesk1394Driver::SetClockMaster(const _VESK_CLOCK_MASTER* master) {
    return VESK_IN(IOCTL_VESK_SET_CLOCK_MASTER, master);
}

uint32_t CVesk1394Driver::GetSampleRateMode(uint32_t* automatic) {
    _VESK_SAMPLE_RATE_MODE mode;
    std::memset(&mode, 0, sizeof(mode));
    const uint32_t status = VESK_OUT(IOCTL_VESK_GET_SAMPLE_RATE_MODE, &mode);
    // The caller's variable keeps its value unless the driver answered.
    if (status == 0 && automatic != nullptr) *automatic = mode.Automatic;
    return status;
}

uint32_t CVesk1394Driver::SetSampleRateMode(uint32_t automatic) {
    _VESK_SAMPLE_RATE_MODE mode;
    mode.Reserved = 0;
    mode.Automatic = automatic;
    return VESK_IN(IOCTL_VESK_SET_SAMPLE_RATE_MODE, &mode);
}

uint32_t CVesk1394Driver::GetSampleRate(_VESK_SAMPLE_RATE_INFO* rates) {
    return VESK_OUT(IOCTL_VESK_GET_SAMPLE_RATE, rates);
}

uint32_t CVesk1394Driver::SetSampleRate(uint32_t rate) {
    _VESK_SAMPLE_RATE record;
    record.Reserved = 0;
    record.Rate = rate;
    return VESK_IN(IOCTL_VESK_SET_SAMPLE_RATE, &record);
}

uint32_t CVesk1394Driver::GetDeviceSyncModeInfo(const uint32_t* deviceId,
                                                _DEVICE_SYNC_MODE_INFO* info) {
    return VESK_IN_OUT(IOCTL_VESK_GET_DEVICE_SYNC_MODE_INFO, deviceId, info);
}

uint32_t CVesk1394Driver::SetDeviceSyncMode(const _DEVICE_SYNC_MODE_SET* mode) {
    return VESK_IN(IOCTL_VESK_SET_DEVICE_SYNC_MODE, mode);
}

uint32_t CVesk1394Driver::GetDeviceProperties(const uint32_t* deviceId,
                                              _VESK_DEVICE_PROPERTIES* properties) {
    return VESK_IN_OUT(IOCTL_VESK_GET_DEVICE_PROPERTIES, deviceId, properties);
}

uint32_t CVesk1394Driver::SetDeviceProperties(const _VESK_DEVICE_PROPERTIES* properties) {
    return VESK_IN(IOCTL_VESK_SET_DEVICE_PROPERTIES, properties);
}

uint32_t CVesk1394Driver::GetStreamInfo(const uint32_t* deviceId, _VESK_STREAM_INFO* info) {
    return VESK_IN_OUT(IOCTL_VESK_GET_STREAM_INFO, deviceId, info);
}

uint32_t CVesk1394Driver::GetChannelProperties(const uint32_t* channelId,
                                               _VESK_CHANNEL_PROPERTIES* properties) {
    return VESK_IN_OUT(IOCTL_VESK_GET_CHANNEL_PROPERTIES, channelId, properties);
}

uint32_t CVesk1394Driver::SetChannelProperties(const _VESK_CHANNEL_PROPERTIES* properties) {
    return VESK_IN(IOCTL_VESK_SET_CHANNEL_PROPERTIES, properties);
}

uint32_t CVesk1394Driver::StartStreaming() {
    return IoControl(IOCTL_VESK_START_STREAMING, nullptr, 0, nullptr, 0);
}

uint32_t CVesk1394Driver::StopStreaming() {
    return IoControl(IOCTL_VESK_STOP_STREAMING, nullptr, 0, nullptr, 0);
}

uint32_t CVesk1394Driver::GetStreamBufferDepth(_VESK_STREAM_BUFFER_DEPTH* depth) {
    return VESK_OUT(IOCTL_VESK_GET_STREAM_BUFFER_DEPTH, depth);
}

uint32_t CVesk1394Driver::SetStreamBufferDepth(const _VESK_STREAM_BUFFER_DEPTH* depth) {
    return VESK_IN(IOCTL_VESK_SET_STREAM_BUFFER_DEPTH, depth);
}

uint32_t CVesk1394Driver::GetAsioBufferDepth(_VESK_AUDIO_BUFFER_DEPTH* depth) {
    return VESK_OUT(IOCTL_VESK_GET_ASIO_BUFFER_DEPTH, depth);
}

uint32_t CVesk1394Driver::SetAsioBufferDepth(const _VESK_AUDIO_BUFFER_DEPTH* depth) {
    return VESK_IN(IOCTL_VESK_SET_ASIO_BUFFER_DEPTH, depth);
}

uint32_t CVesk1394Driver::GetWdmBufferDepth(_VESK_AUDIO_BUFFER_DEPTH* depth) {
    return VESK_OUT(IOCTL_VESK_GET_WDM_BUFFER_DEPTH, depth);
}

uint32_t CVesk1394Driver::SetWdmBufferDepth(const _VESK_AUDIO_BUFFER_DEPTH* depth) {
    return VESK_IN(IOCTL_VESK_SET_WDM_BUFFER_DEPTH, depth);
}

uint32_t CVesk1394Driver::GetStatistics(_VESK_STATISTICS* statistics) {
    return VESK_OUT(IOCTL_VESK_GET_STATISTICS, statistics);
}
