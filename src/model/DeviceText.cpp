#include "model/DeviceText.h"

#include "res/StringIds.h"

namespace vesk {

CString DevicesConnectedText(int deviceCount) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_DEVICES_CONNECTED), deviceCount);
    return text + LoadStringText(IDS_DEVICES_CONNECTED);
}

}  // namespace vesk
