// The device model: the records read from the driver, and the main driver connection.
#pragma once

#include <cstdint>

#include "base/PtrArray.h"
#include "driver/DeviceRecords.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"
#include "driver/Vesk1394Driver.h"

using CDeviceArray = CTypedPtrArray<CPtrArray, _VESK_DEVICE_PROPERTIES*>;
using CSyncModeArray = CTypedPtrArray<CPtrArray, _DEVICE_SYNC_MODE_INFO*>;
using CChannelArray = CTypedPtrArray<CPtrArray, _VESK_CHANNEL_PROPERTIES*>;

class CDrv : public CVesk1394Driver {
  public:
    CDrv();
    ~CDrv() override;

    uint32_t LoadDevices();
    uint32_t SaveDevices();
    uint32_t LoadSyncModes();
    uint32_t SaveSyncModes();
    uint32_t LoadChannels(CChannelArray& channels, int direction);

    template <class Array>
    static void FreeRecords(Array& records) {
        for (int i = 0; i < records.GetSize(); ++i) delete records[i];
        records.SetSize(0);
    }

    uint32_t m_asioNameIncludesDevice = 0;
    _VESK_CLOCK_MASTER m_clockMaster{};
    CDeviceArray m_devices;
    CSyncModeArray m_syncModes;
    CChannelArray m_inputChannels;
    CChannelArray m_outputChannels;
    uint32_t m_sampleRateMode = 0;
    // Counts the reloads of m_syncModes: a record picked before a modal dialog is only written
    // back when no reload replaced it meanwhile.
    uint32_t m_syncModesGeneration = 0;
    _VESK_SAMPLE_RATE_INFO m_sampleRates{};
};

extern CDrv theDrv;
