// The navigation tree's class.
#pragma once

#include "framework/Framework.h"

class CTreeCtrlEx : public CTreeCtrl {
  protected:
    DECLARE_MESSAGE_MAP()
};
