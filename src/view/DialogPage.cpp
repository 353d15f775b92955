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

// Whether `message` tells that the page is about to become visible. Each way of showing a
// window sends one of them: ShowWindow sends WM_SHOWWINDOW (and, while the parent is visible,
// a position change with SWP_SHOWWINDOW), SetWindowPos the position change alone, and setting
// WS_VISIBLE through the style a style change.
bool IsAboutToShow(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            return wParam != FALSE;
        case WM_WINDOWPOSCHANGING: {
            const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
            return position != nullptr && (position->flags & SWP_SHOWWINDOW);
        }
        case WM_STYLECHANGING: {
            const auto* style = reinterpret_cast<const STYLESTRUCT*>(lParam);
            return static_cast<int>(wParam) == GWL_STYLE && style != nullptr &&
                   !(style->styleOld & WS_VISIBLE) && (style->styleNew & WS_VISIBLE);
        }
        default:
            return false;
    }
}

}  // namespace

LRESULT CDialogPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsAboutToShow(message, wParam, lParam)) CListCtrlEx::EndDeferredRebuildsOn(m_hWnd);
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
