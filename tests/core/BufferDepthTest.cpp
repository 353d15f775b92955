#include <gtest/gtest.h>

#include "model/BufferDepth.h"

namespace {

using namespace vesk;

_VESK_AUDIO_BUFFER_DEPTH Audio(uint32_t current, uint32_t minimum, uint32_t step,
                               uint32_t samples = 0) {
    return {current, minimum, step, samples};
}

TEST(BufferDepth, StreamSliderCountsStepsUpToTheStreamLimit) {
    const _VESK_STREAM_BUFFER_DEPTH depth{1000, 0xABCD, 125, 2000};
    const SliderSetup setup = StreamSliderSetup(depth);
    ASSERT_TRUE(setup.usable);
    EXPECT_EQ(setup.rangeMin, 8);
    EXPECT_EQ(setup.rangeMax, 80);
    EXPECT_EQ(setup.tickFrequency, 1);
    EXPECT_EQ(setup.pageSize, 1);
    EXPECT_EQ(setup.lineSize, 1);
    EXPECT_EQ(setup.position, 16);

    const SliderDepth unchanged = DepthAtPosition(setup.position, depth.Step, depth.Current);
    EXPECT_EQ(unchanged.depthUs, 2000u);
    EXPECT_FALSE(unchanged.differs);
    const SliderDepth moved = DepthAtPosition(setup.position + 1, depth.Step, depth.Current);
    EXPECT_EQ(moved.depthUs, 2125u);
    EXPECT_TRUE(moved.differs);
    EXPECT_EQ(StreamDepthText(moved.depthUs), "2125 \xB5s");

    // The stream slider keeps a tick at every position however many there are.
    EXPECT_EQ(StreamSliderSetup({0, 0, 1, 0}).tickFrequency, 1);
}

TEST(BufferDepth, AudioTicksThinOutPastFortyPositions) {
    const SliderSetup forty = AudioSliderSetup(Audio(1000, 1000, 1000));
    ASSERT_TRUE(forty.usable);
    EXPECT_EQ(forty.rangeMin, 1);
    EXPECT_EQ(forty.rangeMax, 40);
    EXPECT_EQ(forty.tickFrequency, 1);  // 39 steps, 40 positions

    EXPECT_EQ(AudioSliderSetup(Audio(0, 0, 1000)).tickFrequency, 2);    // 40 steps
    EXPECT_EQ(AudioSliderSetup(Audio(0, 500, 500)).tickFrequency, 2);   // 79 steps
    EXPECT_EQ(AudioSliderSetup(Audio(0, 0, 500)).tickFrequency, 3);     // 80 steps
    EXPECT_EQ(AudioSliderSetup(Audio(0, 1000, 125)).tickFrequency, 8);  // 312 steps
    EXPECT_EQ(AudioSliderSetup(Audio(0, 0, 1)).tickFrequency, 1001);    // 40000 steps

    // Minimum equal to the limit leaves one position and a tick on it.
    const SliderSetup single = AudioSliderSetup(Audio(40000, 40000, 1000));
    ASSERT_TRUE(single.usable);
    EXPECT_EQ(single.rangeMin, 40);
    EXPECT_EQ(single.rangeMax, 40);
    EXPECT_EQ(single.tickFrequency, 1);
}

TEST(BufferDepth, CurrentOffTheStepsIsShownAtTheLowerStepAndCountsAsAChange) {
    const _VESK_AUDIO_BUFFER_DEPTH depth = Audio(5300, 1000, 125, 252);
    const SliderSetup setup = AudioSliderSetup(depth);
    EXPECT_EQ(setup.position, 42);
    const SliderDepth shown = DepthAtPosition(setup.position, depth.Step, depth.Current);
    EXPECT_EQ(shown.depthUs, 5250u);
    EXPECT_TRUE(shown.differs);
    EXPECT_EQ(AudioDepthValueText(shown.depthUs, depth.Samples, shown.differs), "5.2 ms");
    EXPECT_EQ(AudioDepthValueText(shown.depthUs, depth.Samples, false), "5.2 ms\n252 samples");
    EXPECT_EQ(StreamDepthText(shown.depthUs), "5250 \xB5s");
}

TEST(BufferDepth, MillisecondTextsDropTheRemainderBelowATenth) {
    EXPECT_EQ(AudioDepthText(5333), "5.3 ms");
    EXPECT_EQ(AudioDepthText(2999), "2.9 ms");
    EXPECT_EQ(AudioDepthText(40000), "40.0 ms");
    EXPECT_EQ(AudioDepthText(99), "0.0 ms");
    EXPECT_EQ(AudioDepthWithSamplesText(1000, 0), "1.0 ms\n0 samples");
}

TEST(BufferDepth, RecordsThatCannotBeMappedAreUnusable) {
    // A zero step would divide by zero.
    EXPECT_FALSE(StreamSliderSetup({1000, 0, 0, 2000}).usable);
    EXPECT_FALSE(AudioSliderSetup(Audio(2000, 1000, 0)).usable);
    // A minimum above the limit leaves no depth the driver would accept; without this check
    // the step count below would wrap around.
    EXPECT_FALSE(StreamSliderSetup({10125, 0, 125, 10125}).usable);
    EXPECT_FALSE(AudioSliderSetup(Audio(50000, 40001, 1)).usable);
    EXPECT_FALSE(AudioSliderSetup(Audio(0, 0xFFFFFFFF, 1)).usable);
    EXPECT_TRUE(AudioSliderSetup(Audio(0, 40000, 1)).usable);
}

TEST(BufferDepth, PositionStaysInsideTheRange) {
    // The track bar keeps positions inside its range; so does the set-up, also for a Current
    // far beyond what a signed position can hold.
    EXPECT_EQ(AudioSliderSetup(Audio(50000, 1000, 1000)).position, 40);
    EXPECT_EQ(AudioSliderSetup(Audio(0xFFFFFFFF, 0, 1)).position, 40000);
    EXPECT_EQ(AudioSliderSetup(Audio(100, 1000, 1000)).position, 1);
    EXPECT_EQ(StreamSliderSetup({2000, 0, 125, 0}).position, 16);

    const SliderDepth clamped = DepthAtPosition(40, 1000, 50000);
    EXPECT_EQ(clamped.depthUs, 40000u);
    EXPECT_TRUE(clamped.differs);
}

TEST(BufferDepth, DepthAtPositionNeitherWrapsNorGoesNegative) {
    EXPECT_EQ(DepthAtPosition(-5, 125, 0).depthUs, 0u);
    EXPECT_FALSE(DepthAtPosition(-5, 125, 0).differs);
    EXPECT_EQ(DepthAtPosition(0x7FFFFFFF, 0xFFFFFFFF, 0).depthUs, 0xFFFFFFFFu);
    EXPECT_EQ(DepthAtPosition(3, 0, 0).depthUs, 0u);
}

}  // namespace
