// Mapping the driver's buffer depths (microseconds, in steps of the record's Step) to the
// sliders of the ASIO settings page and back, and the value texts beside the sliders.
#pragma once

#include <cstdint>

#include "base/CString.h"
#include "driver/StreamRecords.h"

namespace vesk {

// The records carry no maximum; these limits are the panel's own.
constexpr uint32_t kStreamDepthMaximumUs = 10000;
constexpr uint32_t kAudioDepthMaximumUs = 40000;

// Everything a track bar needs for one record, in slider positions (depth / Step).
struct SliderSetup {
    // False when the record cannot be put on a slider: its Step is 0, or its Minimum lies
    // above the maximum, so that not one depth the slider could offer is acceptable. The page
    // then treats the record like one it failed to read.
    bool usable = false;
    int rangeMin = 0;
    int rangeMax = 0;
    int tickFrequency = 1;
    int pageSize = 1;
    int lineSize = 1;
    // Current / Step, rounded down, and kept inside the range as the track bar would keep it.
    int position = 0;
};

SliderSetup StreamSliderSetup(const _VESK_STREAM_BUFFER_DEPTH& depth,
                              uint32_t maximumUs = kStreamDepthMaximumUs);

// Audio sliders thin their ticks out so that no more than about 40 are drawn.
SliderSetup AudioSliderSetup(const _VESK_AUDIO_BUFFER_DEPTH& depth,
                             uint32_t maximumUs = kAudioDepthMaximumUs);

// The depth a slider position stands for, and whether it differs from the record's Current
// (which is what enables the record's Apply button).
struct SliderDepth {
    uint32_t depthUs;
    bool differs;
};
SliderDepth DepthAtPosition(int position, uint32_t stepUs, uint32_t currentUs);

// "2000 µs".
CString StreamDepthText(uint32_t depthUs);

// "5.2 ms": the remainder below 100 µs is dropped. Shown while a change is not yet applied.
CString AudioDepthText(uint32_t depthUs);

// "5.2 ms" and, on a second line, the driver's sample count: "252 samples".
CString AudioDepthWithSamplesText(uint32_t depthUs, uint32_t samples);

// The audio value text beside a slider: while a change waits for Apply the driver's sample
// count belongs to the old depth, so only the milliseconds are shown.
CString AudioDepthValueText(uint32_t depthUs, uint32_t samples, bool changePending);

}  // namespace vesk
