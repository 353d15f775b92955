#include "model/Drv.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

CDrv theDrv;

// SaveSyncModes sends the first bytes of an info record as a set record: the two must agree.
static_assert(offsetof(_DEVICE_SYNC_MODE_INFO, DeviceId) ==
              offsetof(_DEVICE_SYNC_MODE_SET, DeviceId));
static_assert(offsetof(_DEVICE_SYNC_MODE_INFO, CurrentMode) +
                  offsetof(_DEVICE_SYNC_MODE, SyncType) ==
              offsetof(_DEVICE_SYNC_MODE_SET, SyncType));
static_assert(offsetof(_DEVICE_SYNC_MODE_INFO, CurrentMode) + offsetof(_DEVICE_SYNC_MODE, ModeId) ==
              offsetof(_DEVICE_SYNC_MODE_SET, ModeId));

namespace {

// A list count comes from the driver; one larger than the list's own capacity would send us
// reading identifiers past the end of the record, so only the entries the record holds count.
uint32_t BoundedCount(uint32_t count, uint32_t capacity) {
    return std::min(count, capacity);
}

// Reads one record per identifier into `records`, keeping those that could be read, in order,
// and returns the first failure. Records are value-initialised: a driver that fills only part
// of one leaves zeros behind, never what the heap held before.
template <class Record, class Array, class Read>
uint32_t LoadRecords(Array& records, const uint32_t* ids, uint32_t count, Read read) {
    uint32_t firstError = 0;
    for (uint32_t i = 0; i < count; ++i) {
        Record* record = new Record();
        const uint32_t status = read(&ids[i], record);
        if (status == 0) {
            records.Add(record);
        } else {
            delete record;
            if (firstError == 0) firstError = status;
        }
    }
    return firstError;
}

}  // namespace

CDrv::CDrv() = default;

CDrv::~CDrv() {
    FreeRecords(m_inputChannels);
    FreeRecords(m_outputChannels);
    FreeRecords(m_devices);
    FreeRecords(m_syncModes);
}

uint32_t CDrv::LoadDevices() {
    FreeRecords(m_devices);
    _VESK_DEVICE_LIST list{};
    const uint32_t status = GetDeviceList(&list);
    if (status != 0) return status;
    return LoadRecords<_VESK_DEVICE_PROPERTIES>(
        m_devices, list.DeviceIds, BoundedCount(list.DeviceCount, VESK_MAX_DEVICES),
        [this](const uint32_t* id, _VESK_DEVICE_PROPERTIES* record) {
            return GetDeviceProperties(id, record);
        });
}

uint32_t CDrv::LoadSyncModes() {
    FreeRecords(m_syncModes);
    ++m_syncModesGeneration;
    _VESK_DEVICE_LIST list{};
    const uint32_t status = GetDeviceList(&list);
    if (status != 0) return status;
    return LoadRecords<_DEVICE_SYNC_MODE_INFO>(
        m_syncModes, list.DeviceIds, BoundedCount(list.DeviceCount, VESK_MAX_DEVICES),
        [this](const uint32_t* id, _DEVICE_SYNC_MODE_INFO* record) {
            return GetDeviceSyncModeInfo(id, record);
        });
}

uint32_t CDrv::LoadChannels(CChannelArray& channels, int direction) {
    FreeRecords(channels);
    _VESK_CHANNEL_LIST list{};
    const uint32_t status = GetChannelList(&list);
    if (status != 0) return status;
    const bool inputs = direction == 0;
    const uint32_t* ids = inputs ? list.InputChannelIds : list.OutputChannelIds;
    const uint32_t count = inputs ? list.InputCount : list.OutputCount;
    return LoadRecords<_VESK_CHANNEL_PROPERTIES>(
        channels, ids, BoundedCount(count, VESK_MAX_CHANNELS),
        [this](const uint32_t* id, _VESK_CHANNEL_PROPERTIES* record) {
            return GetChannelProperties(id, record);
        });
}

uint32_t CDrv::SaveDevices() {
    uint32_t firstError = 0;
    for (int i = 0; i < m_devices.GetSize(); ++i) {
        const uint32_t status = SetDeviceProperties(m_devices[i]);
        if (status != 0 && firstError == 0) firstError = status;
    }
    return firstError;
}

uint32_t CDrv::SaveSyncModes() {
    uint32_t firstError = 0;
    for (int i = 0; i < m_syncModes.GetSize(); ++i) {
        // The set record is the info record's first 12 bytes: the device and its chosen mode.
        _DEVICE_SYNC_MODE_SET mode{};
        std::memcpy(&mode, m_syncModes[i], sizeof mode);
        const uint32_t status = SetDeviceSyncMode(&mode);
        if (status != 0 && firstError == 0) firstError = status;
    }
    return firstError;
}
