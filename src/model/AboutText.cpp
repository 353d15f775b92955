#include "model/AboutText.h"

#include "res/StringIds.h"

namespace vesk {

CString AboutText(uint32_t versionStatus, const _VESK_VERSION_INFO& version) {
    const CString title = LoadStringText(IDS_WINDOW_TITLE);
    const CString closingLine = LoadStringText(IDS_ABOUT_CLOSING_LINE);
    CString text;
    if (versionStatus == 0) {
        text.Format(LoadStringText(IDS_FMT_ABOUT_DRIVER), title.GetString(), APP_VERSION_TEXT,
                    static_cast<int>(version.InterfaceMajor),
                    static_cast<int>(version.InterfaceMinor), static_cast<int>(version.DriverMajor),
                    static_cast<int>(version.DriverMinor), static_cast<int>(version.DriverBuild),
                    closingLine.GetString());
    } else {
        text.Format(LoadStringText(IDS_FMT_ABOUT), title.GetString(), APP_VERSION_TEXT,
                    closingLine.GetString());
    }
    return text;
}

}  // namespace vesk
