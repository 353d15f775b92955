#include "pages/SubDlgDeviceSynch.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CSubDlgDeviceSynch, CDialog)
END_MESSAGE_MAP()

CSubDlgDeviceSynch::CSubDlgDeviceSynch(_DEVICE_SYNC_MODE_INFO* syncModeInfo, CWnd* parent)
    : CDialog(IDD_DEVICE_SYNCH, parent), m_syncModeInfo(syncModeInfo) {}

void CSubDlgDeviceSynch::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}

BOOL CSubDlgDeviceSynch::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}
