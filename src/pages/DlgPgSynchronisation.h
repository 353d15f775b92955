// The Synchronisation page: clock master, per-device synchronisation modes, sampling-rate mode
// and sampling rate.
#pragma once

#include "framework/Framework.h"
#include "view/DialogPage.h"
#include "view/ListCtrlEx.h"

class CDlgPgSynchronisation : public CDialogPage {
  public:
    explicit CDlgPgSynchronisation(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    void RefreshSynchronisation();
    void RefreshSyncList();
    void RefreshSampleRates();

    CButton m_manualRateButton;
    CButton m_automaticRateButton;
    CButton m_rateApplyButton;
    CButton m_syncApplyButton;
    CButton m_changeModeButton;
    CListCtrlEx m_syncList;
    CComboBox m_sampleRateCombo;
    int m_rateModeRadio = 0;
    bool m_notificationsArmed = false;
    int m_clockMasterRow = -1;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    DECLARE_MESSAGE_MAP()
};
