// What an import (or one `set` or `rename`) changes, checked against the connected driver
// before anything is written, and the writing itself: in the orders the pages use, only what
// differs, and with every write undone again when a later one fails.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/Drv.h"
#include "settings/DriverSettings.h"
#include "settings/SettingsFile.h"

namespace vesk {

struct PlanStep {
    // What the step changes ("device 1234: name \"A\" -> \"B\""), or, for the stop and start
    // of streaming around a change, what it does.
    std::string text;
    // False for stopping and starting streaming: part of the writing, not a setting.
    bool isSetting = true;
    std::function<uint32_t(CDrv&)> apply;
    // Writes back what the driver held before `apply`.
    std::function<uint32_t(CDrv&)> undo;
};

struct ImportPlan {
    std::vector<PlanStep> steps;
    // Entries of the file that cannot be matched, and why ("not connected: device SN-1"):
    // skipped.
    std::vector<std::string> skipped;
    // A rate the file names that is not written because the clock master sets the rate
    // (the rate mode is, or becomes, automatic); empty otherwise.
    std::string rateLeftToClockMaster;
    // Entries that cannot be applied; when there is one, nothing is written.
    std::vector<std::string> errors;

    bool HasChanges() const;
};

// Checks `file` against the connected driver and plans its writes. Ranks are made whole as the
// Devices page's Apply makes them: the devices the file ranks take their places, the others
// keep their order in the places left, and every device ends with a rank of its own from 0.
ImportPlan PlanImport(const SettingsFile& file, const DriverSettings& driver);

struct ApplyReport {
    bool succeeded = true;
    std::string failedStep;
    uint32_t failedStatus = 0;
    std::vector<std::string> applied;      // written and kept (all of them on success)
    std::vector<std::string> restored;     // written, then undone after the failure
    std::vector<std::string> notRestored;  // written, and could not be undone
    std::vector<std::string> notApplied;   // never written
};

// Writes the plan's steps in order. When one fails, undoes every step already written, the
// last first (so a driver stopped for a change is started again), and says what was and was
// not applied.
ApplyReport ApplyPlan(CDrv& drv, const ImportPlan& plan);

}  // namespace vesk
