// The Streams page: the state of every device's four stream plugs, the selected device's
// detail, and the streaming summary in the status bar.
#pragma once

#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "view/DialogPage.h"
#include "view/ListCtrlEx.h"

class CDlgPgStreams : public CDialogPage {
  public:
    explicit CDlgPgStreams(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    void RefreshStreams();
    void ShowStreamDetails(NMHDR* header, LRESULT* result);

    CListCtrlEx m_streamList;
    CAccessibleText m_streamListAccessible;
    CString m_detailText;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    DECLARE_MESSAGE_MAP()
};
