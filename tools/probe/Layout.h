// The layout check from outside the panel: every visible control of a window (and of the
// pages and forms inside it) shows its text whole in the dialog font at its DPI, list headers
// fit their columns, tree items their tree, combo-box items their box, and no two controls of
// one page overlap.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

// Measures in physical pixels from here on (call before anything else of the probe's).
void BecomeDpiAware();

// One line for every fault found in `top`, naming the control and what does not fit.
std::vector<std::string> LayoutProblems(HWND top);

}  // namespace probe
