#include "pages/SubDlgChannelNameEdit.h"

#include "model/TextField.h"

CSubDlgChannelNameEdit::CSubDlgChannelNameEdit(_VESK_CHANNEL_PROPERTIES* channel, CWnd* parent)
    : CDialog(IDD_CHANNEL_NAME_EDIT, parent), m_channel(channel) {}

void CSubDlgChannelNameEdit::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_CHANNEL_NAME_EDIT, m_nameText);
}

BOOL CSubDlgChannelNameEdit::OnInitDialog() {
    CDialog::OnInitDialog();
    // The record came from the driver: its name may fill the whole field without a zero.
    m_nameText = m_channel ? vesk::FieldText(m_channel->ChannelName) : CString();
    UpdateData(FALSE);
    return TRUE;
}

void CSubDlgChannelNameEdit::OnOK() {
    UpdateData(TRUE);
    if (m_channel != nullptr) vesk::CopyNameIntoField(m_channel->ChannelName, m_nameText);
    CDialog::OnOK();
}
