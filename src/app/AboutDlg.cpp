#include "app/AboutDlg.h"

#include "model/AboutText.h"
#include "model/Drv.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
ON_BN_CLICKED(IDOK, &CAboutDlg::OnOK)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {
    _VESK_VERSION_INFO version{};
    const uint32_t status = theDrv.GetVersion(&version);
    m_text = vesk::AboutText(status, version);
}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_ABOUT_TEXT, m_text);
}
