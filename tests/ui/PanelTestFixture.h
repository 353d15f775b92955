// The common set-up of the panel tests: the icon's records are intercepted, the hook counter
// and the simulator's trace start empty.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelHarness.h"
#include "TestFirstInstanceHook.h"
#include "sim/Simulator.h"

namespace uitest {

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ShellNotifyCalls().clear();
        ResetFirstInstanceHook();
        sim::Simulator::Instance().TraceToMemory(true);
        sim::Simulator::Instance().ClearTrace();
    }

    // The trace lines that begin with `prefix`.
    static std::vector<std::string> TraceLinesStartingWith(const std::string& prefix) {
        std::vector<std::string> lines;
        for (const std::string& line : sim::Simulator::Instance().TraceLines())
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        return lines;
    }

    static std::string Title() { return LoadStringText(61234).str(); }
};

}  // namespace uitest
