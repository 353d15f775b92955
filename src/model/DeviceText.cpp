#include "model/DeviceText.h"

#include "res/StringIds.h"

namespace vesk {

CString DevicesConnectedText(int deviceCount) {
    CString text;
    text.Format("%i ", deviceCount);
    return text + LoadStringText(IDS_DEVICES_CONNECTED);
}

}  // namespace vesk
