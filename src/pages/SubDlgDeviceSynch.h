// The Device Synchronisation Mode dialog: picks one of a device's synchronisation modes.
#pragma once

#include "driver/SyncRecords.h"
#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "view/ListCtrlEx.h"

class CSubDlgDeviceSynch : public CDialog {
  public:
    // `syncModeInfo` belongs to the caller; the dialog changes its CurrentMode in place and
    // neither owns nor frees it.
    explicit CSubDlgDeviceSynch(_DEVICE_SYNC_MODE_INFO* syncModeInfo, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    CListCtrlEx m_modeList;
    CAccessibleText m_modeListAccessible;
    _DEVICE_SYNC_MODE_INFO* m_syncModeInfo;
    bool m_notificationsArmed = false;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnModeListItemChanged(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()
};
