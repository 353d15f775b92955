#include "framework/StatusBar.h"

#include "framework/AccessibleText.h"

#include <algorithm>

#include "base/Shrink.h"
#include "framework/Dpi.h"

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_barStyle = style & CBRS_ALL;
    // The bar places itself along the bottom of the frame whenever it is told to size itself;
    // a size grip only on a sizable frame.
    DWORD windowStyle = style & ~CBRS_ALL;
    if (parent->GetStyle() & WS_THICKFRAME) windowStyle |= SBARS_SIZEGRIP;
    return CreateEx(0, STATUSCLASSNAMEA, nullptr, windowStyle, 0, 0, 0, 0, parent->m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    if (m_hWnd == nullptr || ids == nullptr || count <= 0 || count > 255) return FALSE;
    m_panes.clear();
    for (int i = 0; i < count; ++i) {
        Pane pane{ids[i], SBPS_NORMAL, 0, CString()};
        if (ids[i] != ID_SEPARATOR) {
            pane.text = LoadStringText(ids[i]);
            pane.width = pane.text.GetLength() * 8;
        }
        m_panes.push_back(pane);
    }
    UpdateParts();
    for (int i = 0; i < count; ++i)
        SendMessage(SB_SETTEXTA, static_cast<WPARAM>(i),
                    reinterpret_cast<LPARAM>(m_panes[i].text.GetString()));
    return TRUE;
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width) {
    if (index < 0 || index >= GetCount()) return;
    m_panes[index].id = id;
    m_panes[index].style = style;
    m_panes[index].width = width;
    // A new width comes with a new DPI, and with it a new font: measure again.
    m_panes[index].fitted = WidthFor(m_panes[index].text);
    UpdateParts();
}

int CStatusBar::WidthFor(const CString& text) const {
    if (m_hWnd == nullptr || text.IsEmpty()) return 0;
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.GetString(), text.GetLength(), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return size.cx + ScaleFromBaseDpi(12, DpiOfWindow(m_hWnd));
}

void CStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, int& width) const {
    if (index < 0 || index >= GetCount()) return;
    id = m_panes[index].id;
    style = m_panes[index].style;
    width = m_panes[index].width;
}

BOOL CStatusBar::SetPaneText(int index, LPCSTR text, BOOL update) {
    if (index < 0 || index >= GetCount()) return FALSE;
    // The bar shows what its panes hold (every text goes through them): a text it already
    // shows is not sent again, which spares the bar an invalidation on every refresh.
    if (m_panes[index].text == text) return TRUE;
    m_panes[index].text = CString(text);
    const int need = WidthFor(m_panes[index].text);
    if (need > m_panes[index].fitted) {
        m_panes[index].fitted = need;
        UpdateParts();
    }
    const LRESULT set = SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(m_panes[index].text.GetString()));
    // The control marks the pane for painting; `update` paints it now, so that a pane written
    // in the middle of a long refresh shows before the refresh goes on. A hidden bar has
    // nothing to paint.
    if (update) ::UpdateWindow(m_hWnd);
    // A screen reader reads each pane as a child of the bar, named by its text; Windows' status
    // bar announces a new text itself (EVENT_OBJECT_NAMECHANGE), so nothing is raised here.
    return set != 0;
}

CString CStatusBar::GetPaneText(int index) const {
    if (index < 0 || index >= GetCount()) return CString();
    return m_panes[index].text;
}

int CStatusBar::CommandToIndex(UINT id) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[i].id == id) return i;
    return -1;
}

int CStatusBar::Reposition() {
    if (m_hWnd == nullptr) return 0;
    SendMessage(WM_SIZE, 0, 0);
    UpdateParts();
    RECT bar{};
    GetWindowRect(&bar);
    return bar.bottom - bar.top;
}

// The common control wants the right edge of each part; the stretching pane takes what the
// others leave of the bar's width. A fixed pane is as wide as it was set, or as its text needs
// when that is more; where the bar is too narrow for all of them (a longer language, a larger
// font), the fixed panes give up the room their texts do not need before any text is cut.
void CStatusBar::UpdateParts() {
    if (m_hWnd == nullptr || m_panes.empty()) return;
    RECT client{};
    GetClientRect(&client);
    // A stretching pane counts as a width that cannot give anything up.
    std::vector<int> widths;
    std::vector<int> least;
    int fixed = 0;
    int stretchNeed = 0;
    for (const Pane& pane : m_panes) {
        const bool stretch = (pane.style & SBPS_STRETCH) != 0;
        widths.push_back(stretch ? 0 : std::max(pane.width, pane.fitted));
        least.push_back(stretch ? 0 : pane.fitted);
        if (stretch) stretchNeed = std::max(stretchNeed, pane.fitted);
        fixed += widths.back();
    }
    fixed -= vesk::ShrinkInProportion(widths, least,
                                      fixed - (static_cast<int>(client.right) - stretchNeed));
    const int spare = std::max(0, static_cast<int>(client.right) - fixed);
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        right += (m_panes[i].style & SBPS_STRETCH) ? std::max(m_panes[i].width, spare) : widths[i];
        edges.push_back(right);
    }
    SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}
