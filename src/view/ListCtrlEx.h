// The list view of every list in the pages.
#pragma once

#include "framework/Framework.h"

class CListCtrlEx : public CListCtrl {
  public:
    // The first selected row, or -1; the lists are single-selection.
    int GetSelectedIndex() const { return GetNextItem(-1, LVNI_SELECTED); }

  protected:
    DECLARE_MESSAGE_MAP()
};
