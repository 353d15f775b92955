#include "pages/SubDlgDeviceNameEdit.h"

CSubDlgDeviceNameEdit::CSubDlgDeviceNameEdit(_VESK_DEVICE_PROPERTIES* device, CWnd* parent)
    : CSubDlgNameEdit(IDD_DEVICE_NAME_EDIT, IDC_DEVICE_NAME_EDIT,
                      device ? device->DeviceName : nullptr,
                      sizeof(_VESK_DEVICE_PROPERTIES::DeviceName), parent) {}
