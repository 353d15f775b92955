#include "pages/DlgPgStreams.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CDlgPgStreams, CDialogPage)
END_MESSAGE_MAP()

CDlgPgStreams::CDlgPgStreams(CWnd* parent) : CDialogPage(IDD_PAGE_STREAMS, parent) {}

void CDlgPgStreams::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
}

BOOL CDlgPgStreams::OnInitDialog() {
    CDialogPage::OnInitDialog();
    RefreshStreams();
    return TRUE;
}

void CDlgPgStreams::RefreshStreams() {}
