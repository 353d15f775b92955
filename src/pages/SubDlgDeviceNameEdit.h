// "Edit Device Name": edits the name of a device record that belongs to the caller, in place.
#pragma once

#include "framework/Framework.h"
#include "model/DeviceRecords.h"

class CSubDlgDeviceNameEdit : public CDialog {
  public:
    // Without a parent the dialog is owned by the main window.
    explicit CSubDlgDeviceNameEdit(_VESK_DEVICE_PROPERTIES* device, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    // Stores at most the first 39 characters of the text as the name.
    void OnOK() override;

    CString m_nameText;

  protected:
    void DoDataExchange(CDataExchange* dx) override;

  private:
    _VESK_DEVICE_PROPERTIES* m_device;
};
