#include "model/BufferDepth.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "res/StringIds.h"

namespace vesk {

namespace {

constexpr uint32_t kLargestPosition = static_cast<uint32_t>(std::numeric_limits<int>::max());

// The range shared by both record layouts. Every position is at most maximumUs, which must
// itself fit a track bar's signed positions.
SliderSetup RangeSetup(uint32_t minimumUs, uint32_t stepUs, uint32_t currentUs,
                       uint32_t maximumUs) {
    SliderSetup setup;
    if (stepUs == 0 || minimumUs > maximumUs || maximumUs > kLargestPosition) return setup;
    setup.usable = true;
    setup.rangeMin = static_cast<int>(minimumUs / stepUs);
    setup.rangeMax = static_cast<int>(maximumUs / stepUs);
    const uint32_t position = currentUs / stepUs;
    setup.position = std::clamp(static_cast<int>(std::min(position, kLargestPosition)),
                                setup.rangeMin, setup.rangeMax);
    return setup;
}

int Milliseconds(uint32_t depthUs) {
    return static_cast<int>(depthUs / 1000);
}
int TenthMilliseconds(uint32_t depthUs) {
    return static_cast<int>((depthUs % 1000) / 100);
}

}  // namespace

SliderSetup StreamSliderSetup(const _VESK_STREAM_BUFFER_DEPTH& depth, uint32_t maximumUs) {
    return RangeSetup(depth.Minimum, depth.Step, depth.Current, maximumUs);
}

SliderSetup AudioSliderSetup(const _VESK_AUDIO_BUFFER_DEPTH& depth, uint32_t maximumUs) {
    SliderSetup setup = RangeSetup(depth.Minimum, depth.Step, depth.Current, maximumUs);
    if (!setup.usable) return setup;
    // Steps between the lowest and the highest position; Minimum <= maximum holds here.
    const uint32_t steps = (maximumUs - depth.Minimum) / depth.Step;
    setup.tickFrequency = steps + 1 <= 40 ? 1 : static_cast<int>((steps - 40) / 40 + 2);
    return setup;
}

SliderDepth DepthAtPosition(int position, uint32_t stepUs, uint32_t currentUs) {
    const uint64_t product = static_cast<uint64_t>(std::max(position, 0)) * stepUs;
    const uint32_t depthUs =
        static_cast<uint32_t>(std::min<uint64_t>(product, std::numeric_limits<uint32_t>::max()));
    return {depthUs, depthUs != currentUs};
}

CString StreamDepthText(uint32_t depthUs) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_STREAM_DEPTH), static_cast<int>(depthUs),
                LoadStringText(IDS_UNIT_MICROSECONDS).GetString());
    return text;
}

CString AudioDepthText(uint32_t depthUs) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_AUDIO_DEPTH), Milliseconds(depthUs),
                TenthMilliseconds(depthUs), LoadStringText(IDS_UNIT_MILLISECONDS).GetString());
    return text;
}

CString AudioDepthWithSamplesText(uint32_t depthUs, uint32_t samples) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_AUDIO_DEPTH_SAMPLES), Milliseconds(depthUs),
                TenthMilliseconds(depthUs), LoadStringText(IDS_UNIT_MILLISECONDS).GetString(),
                static_cast<int>(samples), LoadStringText(IDS_UNIT_SAMPLES).GetString());
    return text;
}

CString AudioDepthValueText(uint32_t depthUs, uint32_t samples, bool changePending) {
    return changePending ? AudioDepthText(depthUs) : AudioDepthWithSamplesText(depthUs, samples);
}

}  // namespace vesk
