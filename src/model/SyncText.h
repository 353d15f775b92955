// How synchronisation values read from the driver appear on the Synchronisation page, in its
// Device Synchronisation Mode dialog and in the status bar's sampling-rate pane.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/CString.h"
#include "driver/SyncRecords.h"

namespace vesk {

// Text of a synchronisation source type; empty for a type the panel does not know.
CString SyncTypeText(uint32_t syncType);

// The type's text, then " (" name ")" when the mode carries a name. The name is read within
// its 40 bytes and shown as stored.
CString SyncModeText(const _DEVICE_SYNC_MODE& mode);

// "Internal" for the PC driver, "External" for a device, empty for anything else.
CString ClockMasterText(uint32_t masterType);

// "48.0 kHz": whole kilohertz and one truncated decimal digit.
CString SampleRateText(uint32_t rateHz);

// A current rate that none of the selectable rates matches: "44.1 kHz (unavailable)".
CString UnavailableSampleRateText(uint32_t rateHz);

// Status-bar pane 2: "Current sampling rate: " followed by the rate text, or by "unknown" when
// no rate could be read.
CString SampleRatePaneText(std::optional<uint32_t> currentRateHz);

// Number of mode entries a reader may use: ModeCount, bounded by what the record holds.
uint32_t UsableModeCount(const _DEVICE_SYNC_MODE_INFO& info);

// Index of the first usable entry of Modes whose ModeId equals CurrentMode's, or -1.
int CurrentModeIndex(const _DEVICE_SYNC_MODE_INFO& info);

// Makes entry `index` the chosen mode by copying all of it into CurrentMode, so that type, id
// and name always belong together. Returns false, changing nothing, for an index outside the
// usable entries.
bool ChooseSyncMode(_DEVICE_SYNC_MODE_INFO& info, int index);

// One entry of the sampling-rate combo box. Item data 0 marks the "unavailable" entry, which
// must never be applied.
struct SampleRateEntry {
    CString text;
    uint32_t itemData;
};

struct SampleRateChoice {
    std::vector<SampleRateEntry> entries;
    int selected = -1;  // index into entries; always set, the unavailable entry if need be
};

// The combo box's contents: one entry per selectable rate in the driver's order (at most the
// 8 the record holds), the first entry equal to the current rate selected; when none is, one
// more "unavailable" entry for the current rate, selected.
SampleRateChoice SampleRateChoices(const _VESK_SAMPLE_RATE_INFO& rates);

}  // namespace vesk
