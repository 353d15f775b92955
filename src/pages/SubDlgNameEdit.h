// The small dialogs that edit one name of a record that belongs to the caller, in place:
// "Edit Device Name" and "Edit Channel Name".
#pragma once

#include <cstddef>

#include "framework/Framework.h"

class CSubDlgNameEdit : public CDialog {
  public:
    BOOL OnInitDialog() override;
    // Stores at most the first 39 characters of the text as the name.
    void OnOK() override;

    CString m_nameText;

  protected:
    // `field` is the name field of the caller's record (`fieldSize` bytes), or null; the
    // template's edit field `editId` shows it.
    CSubDlgNameEdit(UINT templateId, int editId, char* field, size_t fieldSize, CWnd* parent);
    void DoDataExchange(CDataExchange* dx) override;

  private:
    int m_editId;
    char* m_field;
    size_t m_fieldSize;
};
