// Data exchange between a dialog's members and its controls: `UpdateData(FALSE)` copies the
// members into the controls, `UpdateData(TRUE)` the controls into the members.
#pragma once

#include "base/CString.h"
#include "framework/Win32.h"

class CWnd;

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    // The control's window; null when the dialog has none with that id.
    HWND PrepareCtrl(int id) const;

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Attaches `control` to the dialog's control `id` the first time; later calls do nothing.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// The check state of a check box: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked button of the radio group that starts at `id` (-1: none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
