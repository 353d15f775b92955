// "Edit Device Name": edits the name of a device record that belongs to the caller, in place.
#pragma once

#include "driver/DeviceRecords.h"
#include "pages/SubDlgNameEdit.h"

class CSubDlgDeviceNameEdit : public CSubDlgNameEdit {
  public:
    // Without a parent the dialog is owned by the main window.
    explicit CSubDlgDeviceNameEdit(_VESK_DEVICE_PROPERTIES* device, CWnd* parent = nullptr);
};
