// Feeds the settings-file reader and the import's checks any bytes (and, from the seed corpus,
// mutated valid files): reading must refuse or accept without a fault, an accepted file is
// checked against the simulated driver's demo state, and a plan that found an error must hold
// nothing to write. A plan without errors is written to the simulated driver, whose state is
// then put back, so that the writing and its undoing run under the sanitizers too. The seeds
// come in every encoding the reader takes (UTF-8 with and without a byte-order mark, UTF-16 LE
// and BE), and an input that starts with 0xFA stands for a file over the size limit.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/Drv.h"
#include "settings/DriverSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlan.h"
#include "sim/Simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vesk::SettingsFile file;
    std::string error;
    if (size > 0 && data[0] == 0xFA) {
        std::string huge = text;
        while (huge.size() <= vesk::kMaxSettingsFileBytes) huge += huge;
        if (vesk::ParseSettingsFile(huge, file, error) || error.find("larger than") != 0)
            __builtin_trap();
    }
    if (!vesk::ParseSettingsFile(text, file, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    sim::Simulator& simulator = sim::Simulator::Instance();
    if (!simulator.LoadScenario("")) __builtin_trap();
    CDrv drv;
    if (drv.Open("{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}") != 0) __builtin_trap();
    vesk::DriverSettings driver;
    if (vesk::ReadDriverSettings(drv, driver, nullptr) != 0) __builtin_trap();
    const vesk::ImportPlan plan = vesk::PlanImport(file, driver);
    if (!plan.errors.empty() && !plan.steps.empty()) __builtin_trap();
    if (plan.errors.empty()) {
        const vesk::ApplyReport report = vesk::ApplyPlan(drv, plan);
        if (!report.succeeded && report.failedStep.empty()) __builtin_trap();
    }
    // The reader takes back what the writer writes.
    vesk::SettingsFile again;
    if (!vesk::ParseSettingsFile(vesk::SettingsFileText(driver), again, error)) __builtin_trap();
    return 0;
}
