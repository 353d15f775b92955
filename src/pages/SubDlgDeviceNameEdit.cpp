#include "pages/SubDlgDeviceNameEdit.h"

#include "model/TextField.h"

CSubDlgDeviceNameEdit::CSubDlgDeviceNameEdit(_VESK_DEVICE_PROPERTIES* device, CWnd* parent)
    : CDialog(IDD_DEVICE_NAME_EDIT, parent), m_device(device) {}

void CSubDlgDeviceNameEdit::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_DEVICE_NAME_EDIT, m_nameText);
}

BOOL CSubDlgDeviceNameEdit::OnInitDialog() {
    CDialog::OnInitDialog();
    // The record came from the driver: its name may fill the whole field without a zero.
    m_nameText = m_device ? vesk::FieldText(m_device->DeviceName) : CString();
    UpdateData(FALSE);
    return TRUE;
}

void CSubDlgDeviceNameEdit::OnOK() {
    UpdateData(TRUE);
    if (m_device != nullptr) vesk::CopyNameIntoField(m_device->DeviceName, m_nameText);
    CDialog::OnOK();
}
