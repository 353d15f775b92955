#include "base/Shrink.h"

#include <algorithm>

namespace vesk {

int ShrinkInProportion(std::vector<int>& widths, const std::vector<int>& least, int excess) {
    const size_t count = std::min(widths.size(), least.size());
    std::vector<int> spare(count);
    long long totalSpare = 0;
    for (size_t i = 0; i < count; ++i) {
        spare[i] = std::max(0, widths[i] - least[i]);
        totalSpare += spare[i];
    }
    const int cut = static_cast<int>(std::min<long long>(std::max(excess, 0), totalSpare));
    if (cut == 0) return 0;
    std::vector<int> shares(count);
    int given = 0;
    for (size_t i = 0; i < count; ++i) {
        shares[i] = static_cast<int>(cut * static_cast<long long>(spare[i]) / totalSpare);
        given += shares[i];
    }
    for (size_t i = 0; i < count && given < cut; ++i) {
        if (shares[i] < spare[i]) {
            ++shares[i];
            ++given;
        }
    }
    for (size_t i = 0; i < count; ++i) widths[i] -= shares[i];
    return given;
}

}  // namespace vesk
