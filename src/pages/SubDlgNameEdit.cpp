#include "pages/SubDlgNameEdit.h"

#include "model/TextField.h"

CSubDlgNameEdit::CSubDlgNameEdit(UINT templateId, int editId, char* field, size_t fieldSize,
                                 CWnd* parent)
    : CDialog(templateId, parent), m_editId(editId), m_field(field), m_fieldSize(fieldSize) {}

void CSubDlgNameEdit::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, m_editId, m_nameText);
}

BOOL CSubDlgNameEdit::OnInitDialog() {
    CDialog::OnInitDialog();
    // The record came from the driver: its name may fill the whole field without a zero.
    m_nameText = m_field ? vesk::FieldText(m_field, m_fieldSize) : CString();
    UpdateData(FALSE);
    return TRUE;
}

void CSubDlgNameEdit::OnOK() {
    UpdateData(TRUE);
    if (m_field != nullptr) vesk::CopyNameIntoField(m_field, m_fieldSize, m_nameText, ::GetACP());
    CDialog::OnOK();
}
