#include "view/DialogPage.h"

#include "view/ListCtrlEx.h"

BEGIN_MESSAGE_MAP(CDialogPage, CDialog)
END_MESSAGE_MAP()

namespace {

struct ColumnRescale {
    UINT fromDpi;
    UINT toDpi;
};

BOOL CALLBACK RescaleColumnsOfList(HWND child, LPARAM parameter) {
    char className[32] = "";
    ::GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, WC_LISTVIEWA) != 0) return TRUE;
    const auto* rescale = reinterpret_cast<const ColumnRescale*>(parameter);
    HWND header = reinterpret_cast<HWND>(::SendMessageA(child, LVM_GETHEADER, 0, 0));
    const int columns =
        header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int column = 0; column < columns; ++column) {
        const int width = static_cast<int>(::SendMessageA(child, LVM_GETCOLUMNWIDTH, column, 0));
        ::SendMessageA(child, LVM_SETCOLUMNWIDTH, column,
                       MAKELPARAM(::MulDiv(width, static_cast<int>(rescale->toDpi),
                                           static_cast<int>(rescale->fromDpi)),
                                  0));
    }
    return TRUE;
}

}  // namespace

LRESULT CDialogPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING) {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (position != nullptr && (position->flags & SWP_SHOWWINDOW))
            CListCtrlEx::EndDeferredRebuildsOn(m_hWnd);
    }
    const LRESULT result = CDialog::WindowProc(message, wParam, lParam);
    // A list that deletes all its rows asks whether it should still send a notice for each:
    // no page needs them, and a rebuild of 256 rows would send 256.
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->code == LVN_DELETEALLITEMS) return TRUE;
    }
    return result;
}

void CDialogPage::RescaleListColumns(UINT fromDpi, UINT toDpi) {
    if (m_hWnd == nullptr || fromDpi == 0 || fromDpi == toDpi) return;
    ColumnRescale rescale{fromDpi, toDpi};
    ::EnumChildWindows(m_hWnd, &RescaleColumnsOfList, reinterpret_cast<LPARAM>(&rescale));
}
