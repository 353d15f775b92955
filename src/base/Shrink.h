// Making a row of widths fit a smaller room (status-bar panes, list columns).
#pragma once

#include <vector>

namespace vesk {

// Takes up to `excess` off `widths`, from each in proportion to what it has above its
// `least` (never below it); what rounding leaves comes a unit each off the first that still
// have room. Returns what was taken: less than `excess` where the room above the least widths
// is less.
int ShrinkInProportion(std::vector<int>& widths, const std::vector<int>& least, int excess);

}  // namespace vesk
