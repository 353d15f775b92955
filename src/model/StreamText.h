// How the state of a device's isochronous plugs appears on the Streams page: list cells, the
// detail text of the selected device and the status bar's streaming summary.
#pragma once

#include <cstdint>

#include "base/CString.h"
#include "driver/StreamRecords.h"

namespace vesk {

// List cell: "connected (63)" for a connected plug, "connect failed", or empty.
CString PlugCellText(const _VESK_PLUG_INFO& plug);

// "32000" ... "192000" for the rates with a name, "unknown  " (two spaces) for any other.
CString SampleRateName(uint32_t rateHz);

// "Supported sampling rates (Hz): " and every listed rate followed by two spaces, the one equal
// to `markedRateHz` in square brackets. Lists at most the 8 rates the record holds.
CString SupportedRatesText(const _VESK_PLUG_INFO& plug, uint32_t markedRateHz);

// The text the panel has for a driver status that made a connection fail; empty for others.
CString StreamErrorMessage(uint32_t errorCode);

// "Error code 0xE0000072: Channel allocation failed."; ends in ": " for a code without text.
CString StreamErrorText(uint32_t errorCode);

// Detail of one plug under its label ("AudioOutPlug" ...): three lines for a connected plug,
// two for a failed one, empty for any other state.
CString PlugDetailText(const _VESK_PLUG_INFO& plug, const CString& label);

// The selected device's detail: the four plug details, Audio Out to Synch In, with a line
// break between two of them, also where a plug's detail is empty.
CString StreamDetailText(const _VESK_STREAM_INFO& info);

// A device streams when both its audio plugs are connected; the Synch plugs do not count.
bool IsDeviceStreaming(const _VESK_STREAM_INFO& info);

// Status-bar pane 3: "no streams available" without rows, "streaming" when every device whose
// stream record was read streams, "connect failed" otherwise.
CString StreamsSummaryText(int rowCount, bool allStreaming);

}  // namespace vesk
