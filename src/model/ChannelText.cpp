#include "model/ChannelText.h"

#include "model/TextField.h"

namespace vesk {

CString AsioDisplayName(const CString& deviceName, const CString& channelName,
                        bool includeDeviceName) {
    CString text;
    if (includeDeviceName) {
        text += deviceName;
        text += " - ";
    }
    text += channelName;
    return text.Left(kAsioDisplayNameLength);
}

CString HardwareNameText(const _VESK_CHANNEL_PROPERTIES& channel) {
    CString text;
    text.Format(" %s", FieldText(channel.HardwareName).GetString());
    return text;
}

}  // namespace vesk
