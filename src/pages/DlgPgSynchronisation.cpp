#include "pages/DlgPgSynchronisation.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CDlgPgSynchronisation, CDialogPage)
END_MESSAGE_MAP()

CDlgPgSynchronisation::CDlgPgSynchronisation(CWnd* parent)
    : CDialogPage(IDD_PAGE_SYNCHRONISATION, parent) {}

void CDlgPgSynchronisation::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
}

BOOL CDlgPgSynchronisation::OnInitDialog() {
    CDialogPage::OnInitDialog();
    RefreshSynchronisation();
    return TRUE;
}

void CDlgPgSynchronisation::RefreshSynchronisation() {
    RefreshSyncList();
    RefreshSampleRates();
}

void CDlgPgSynchronisation::RefreshSyncList() {}

void CDlgPgSynchronisation::RefreshSampleRates() {}
