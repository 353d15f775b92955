// The status bar at the bottom of a frame: panes with ids, widths and texts.
#pragma once

#include <vector>

#include "framework/Wnd.h"

class CStatusBar : public CWnd {
  public:
    // `style` holds window styles and control-bar styles (CBRS_...); the latter stay with the
    // bar and are not given to the window.
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT id = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR panes start empty, others with their string.
    BOOL SetIndicators(const UINT* ids, int count);
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const;
    // `update` paints the pane at once.
    BOOL SetPaneText(int index, LPCSTR text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    // The index of the first pane with `id`, or -1.
    int CommandToIndex(UINT id) const;
    DWORD GetBarStyle() const { return m_barStyle; }
    // Places the bar along the bottom of its parent and returns its height.
    int Reposition();

  private:
    struct Pane {
        UINT id;
        UINT style;
        int width;
        CString text;
        // What the longest text shown so far needs: a pane is never narrower, so that a
        // language's longer texts are not cut (it grows, and keeps its width when they shrink).
        int fitted = 0;
    };
    void UpdateParts();
    // The width `text` needs in a pane: the bar's font, and the pane's edges and margins.
    int WidthFor(const CString& text) const;
    std::vector<Pane> m_panes;
    DWORD m_barStyle = 0;
};
