// The list view of every list in the pages.
#pragma once

#include "framework/Framework.h"

class CListCtrlEx : public CListCtrl {
  public:
    // The first selected row, or -1; the lists are single-selection.
    int GetSelectedIndex() const { return GetNextItem(-1, LVNI_SELECTED); }

    // While a page rebuilds the list: the list is not redrawn row by row but once at the end,
    // and IsRebuilding tells the page's handlers that the notices of every inserted row and
    // cell can wait for the end of the rebuild, which brings the page up to date itself.
    class Rebuild {
      public:
        explicit Rebuild(CListCtrlEx& list);
        ~Rebuild();
        Rebuild(const Rebuild&) = delete;
        Rebuild& operator=(const Rebuild&) = delete;

      private:
        CListCtrlEx& m_list;
    };
    bool IsRebuilding() const { return m_rebuilds > 0; }

    // A list on a hidden page keeps its drawing off after a rebuild until the page is about
    // to be shown: turning drawing on makes the list lay out its scroll bars and header, which
    // costs several round trips to the window system for a list nobody sees. The page calls
    // this before it shows.
    void EndDeferredRebuild();
    // The same for every list on `page` whose drawing waits; it asks the window server
    // nothing, so a page may call it each time it shows.
    static void EndDeferredRebuildsOn(HWND page);

    CListCtrlEx() = default;
    ~CListCtrlEx() override;
    CListCtrlEx(const CListCtrlEx&) = delete;
    CListCtrlEx& operator=(const CListCtrlEx&) = delete;

  protected:
    DECLARE_MESSAGE_MAP()

  private:
    // Turns drawing back on and has the whole list painted with the next paint.
    void DrawAgain();
    void SetDrawingDeferred(bool deferred);

    int m_rebuilds = 0;
    bool m_drawingDeferred = false;
    // The next list whose drawing waits, while this one's does.
    CListCtrlEx* m_nextDeferred = nullptr;
};
