// The document of the single-document window. It holds nothing: every value the window shows
// is read from the driver.
#pragma once

#include "framework/Framework.h"

class CVESK_CPLDoc : public CDocument {
  protected:
    DECLARE_MESSAGE_MAP()
};
