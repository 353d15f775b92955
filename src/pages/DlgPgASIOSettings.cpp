#include "pages/DlgPgASIOSettings.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CDlgPgASIOSettings, CDialogPage)
END_MESSAGE_MAP()

CDlgPgASIOSettings::CDlgPgASIOSettings(CWnd* parent)
    : CDialogPage(IDD_PAGE_ASIO_SETTINGS, parent) {}

void CDlgPgASIOSettings::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
}

BOOL CDlgPgASIOSettings::OnInitDialog() {
    CDialogPage::OnInitDialog();
    RefreshAsioSettings();
    return TRUE;
}

BOOL CDlgPgASIOSettings::PreTranslateMessage(MSG* msg) {
    return CDialogPage::PreTranslateMessage(msg);
}

void CDlgPgASIOSettings::RefreshAsioSettings() {}

void CDlgPgASIOSettings::UpdateValueTexts() {}
