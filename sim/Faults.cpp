#include "Faults.h"

#include <algorithm>

namespace sim {

bool TakeFault(DriverState& driver, uint32_t code, uint32_t* status) {
    bool failed = false;
    for (FaultRule& rule : driver.faults) {
        if ((!rule.anyCode && rule.code != code) || rule.count == 0) continue;
        if (rule.skip > 0) {
            --rule.skip;
            continue;
        }
        if (failed) continue;
        failed = true;
        *status = rule.status;
        if (rule.count > 0) --rule.count;
    }
    driver.faults.erase(std::remove_if(driver.faults.begin(), driver.faults.end(),
                                       [](const FaultRule& rule) { return rule.count == 0; }),
                        driver.faults.end());
    return failed;
}

bool RawReply(const DriverState& driver, uint32_t code, uint32_t outputSize,
              std::vector<uint8_t>* output) {
    const auto found = driver.raw.find(code);
    if (found == driver.raw.end()) return false;
    output->assign(outputSize, 0);
    std::copy_n(found->second.begin(), std::min<size_t>(found->second.size(), outputSize),
                output->begin());
    return true;
}

}  // namespace sim
