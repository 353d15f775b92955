#include "framework/ListCtrl.h"

#include <algorithm>
#include <vector>

#include "base/Shrink.h"
#include "framework/Dpi.h"

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width) {
    // A column is never narrower than its heading, whose text the header draws between
    // margins of three edges a side: a translation longer than the width the column was laid
    // out for widens it rather than lose its end.
    if (width >= 0 && heading != nullptr && heading[0] != '\0') {
        const int text = static_cast<int>(
            SendToControl(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(heading)));
        width = std::max(width, text + ScaleFromBaseDpi(12, DpiOfWindow(m_hWnd)));
    }
    LVCOLUMNA lvc{};
    lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
    lvc.fmt = format;
    lvc.cx = width;
    lvc.pszText = const_cast<LPSTR>(heading);
    lvc.iSubItem = column;
    return static_cast<int>(SendToControl(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                          reinterpret_cast<LPARAM>(&lvc)));
}

void CListCtrl::FitColumnsToWidth() {
    HWND header = reinterpret_cast<HWND>(SendToControl(LVM_GETHEADER));
    const int count = header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    RECT client{};
    GetClientRect(&client);
    const UINT dpi = DpiOfWindow(m_hWnd);
    const int room = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    std::vector<int> widths;
    std::vector<int> least;
    int total = 0;
    for (int i = 0; i < count; ++i) {
        widths.push_back(
            static_cast<int>(SendToControl(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i))));
        char heading[256] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = heading;
        column.cchTextMax = sizeof heading;
        SendToControl(LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        least.push_back(heading[0] == '\0'
                            ? widths.back()
                            : static_cast<int>(SendToControl(LVM_GETSTRINGWIDTHA, 0,
                                                             reinterpret_cast<LPARAM>(heading))) +
                                  ScaleFromBaseDpi(12, dpi));
        total += widths.back();
    }
    if (room <= 0 || total <= room) return;
    if (vesk::ShrinkInProportion(widths, least, total - room) == 0) return;
    for (int i = 0; i < count; ++i)
        SendToControl(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), widths[i]);
}

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(SendToControl(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(
        SendToControl(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(SendToControl(LVM_GETITEMCOUNT));
}

int CListCtrl::InsertItem(int item, LPCSTR text) {
    LVITEMA lvi{};
    lvi.mask = LVIF_TEXT;
    lvi.iItem = item;
    lvi.pszText = const_cast<LPSTR>(text);
    return static_cast<int>(SendToControl(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
}

int CListCtrl::InsertItem(int item, LPCSTR text, LPARAM data) {
    LVITEMA lvi{};
    lvi.mask = LVIF_TEXT | LVIF_PARAM;
    lvi.iItem = item;
    lvi.pszText = const_cast<LPSTR>(text);
    lvi.lParam = data;
    return static_cast<int>(SendToControl(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
    LVITEMA lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = const_cast<LPSTR>(text);
    return static_cast<BOOL>(
        SendToControl(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    char buffer[kTextBufferSize] = "";
    LVITEMA lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = buffer;
    lvi.cchTextMax = kTextBufferSize;
    SendToControl(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
    buffer[kTextBufferSize - 1] = '\0';
    return CString(buffer);
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
    LVITEMA lvi{};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = item;
    lvi.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendToControl(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvi)));
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMA lvi{};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = item;
    if (!SendToControl(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi))) return kNoItemData;
    return static_cast<DWORD_PTR>(lvi.lParam);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMA lvi{};
    lvi.state = state;
    lvi.stateMask = mask;
    return static_cast<BOOL>(
        SendToControl(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi)));
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    return static_cast<UINT>(SendToControl(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
}

BOOL CListCtrl::SelectRow(int item) {
    const UINT bits = LVIS_SELECTED | LVIS_FOCUSED;
    return SetItemState(item, bits, bits);
}

BOOL CListCtrl::DeleteItem(int item) {
    return static_cast<BOOL>(SendToControl(LVM_DELETEITEM, static_cast<WPARAM>(item)));
}

BOOL CListCtrl::DeleteAllItems() {
    return static_cast<BOOL>(SendToControl(LVM_DELETEALLITEMS));
}

int CListCtrl::GetNextItem(int item, int flags) const {
    return static_cast<int>(
        SendToControl(LVM_GETNEXTITEM, static_cast<WPARAM>(item), MAKELPARAM(flags, 0)));
}

BOOL CListCtrl::GetCheck(int item) const {
    // State image 1 is the empty box, 2 the checked one.
    const UINT image = (GetItemState(item, LVIS_STATEIMAGEMASK) >> 12);
    return image == 2;
}

BOOL CListCtrl::SetCheck(int item, BOOL check) {
    return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::EnsureVisible(int item, BOOL partialOK) {
    return static_cast<BOOL>(SendToControl(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item),
                                           static_cast<LPARAM>(partialOK)));
}
