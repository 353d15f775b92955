// How the device count appears in the status bar.
#pragma once

#include "base/CString.h"

namespace vesk {

// Status-bar pane 1: "2 Device(s) connected.".
CString DevicesConnectedText(int deviceCount);

}  // namespace vesk
