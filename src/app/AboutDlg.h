// The About box: the program's title and version and, when the driver answers, its interface
// and driver versions.
#pragma once

#include "framework/Framework.h"

class CAboutDlg : public CDialog {
  public:
    // Asks the driver for its version, so each opening shows what the driver says now.
    CAboutDlg();

    CString m_text;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    DECLARE_MESSAGE_MAP()
};
