// The list-view control in report view.
#pragma once

#include "framework/Wnd.h"

class CListCtrl : public CWnd {
  public:
    // Texts read back from the list are cut to this many bytes, the terminating zero included.
    static constexpr int kTextBufferSize = 1024;

    int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1);
    // Columns wider together than the list (a language whose dialog font makes the list
    // narrower than the widths were chosen for) give up width in proportion to what each has
    // beyond its heading, room for a vertical scroll bar kept: the list then needs no
    // horizontal one. Columns that fit are left as they are.
    void FitColumnsToWidth();
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD style);
    int GetItemCount() const;
    // Inserts a row with the text of column 0; returns its index or -1.
    int InsertItem(int item, LPCSTR text);
    // Inserts a row with its item data in one step.
    int InsertItem(int item, LPCSTR text, LPARAM data);
    BOOL SetItemText(int item, int subItem, LPCSTR text);
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    // What GetItemData returns for a row that does not exist: neither a row index nor the
    // marks the pages keep as item data (-1 for the PC driver's row).
    static constexpr DWORD_PTR kNoItemData = static_cast<DWORD_PTR>(-2);
    // The row's item data, or kNoItemData.
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    // Selects and focuses the row.
    BOOL SelectRow(int item);
    BOOL DeleteItem(int item);
    BOOL DeleteAllItems();
    int GetNextItem(int item, int flags) const;
    // The row's check box (needs the LVS_EX_CHECKBOXES extended style).
    BOOL GetCheck(int item) const;
    BOOL SetCheck(int item, BOOL check = TRUE);
    BOOL EnsureVisible(int item, BOOL partialOK = FALSE);
};
