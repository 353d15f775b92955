// The Synchronisation page: clock master, per-device synchronisation modes, sampling-rate mode
// and sampling rate. Clock master, rate mode and modes wait in the model for the
// synchronisation Apply; the rate is sent by its own Apply at once.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/AccessibleText.h"
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
    CAccessibleText m_syncListAccessible;
    CAccessibleText m_sampleRateComboAccessible;
    CAccessibleText m_rateApplyAccessible;
    CAccessibleText m_syncApplyAccessible;
    CAccessibleText m_changeModeAccessible;
    int m_rateModeRadio = 0;
    bool m_notificationsArmed = false;
    int m_clockMasterRow = -1;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    void OnChangeSyncMode();
    void OnSyncApply();
    void OnListItemChanged(NMHDR* header, LRESULT* result);
    void OnSampleRateSelected();
    void OnRateApply();
    void OnManualRateClicked();
    void OnAutomaticRateClicked();
    void OnRateModeClicked(int clickedId);
    DECLARE_MESSAGE_MAP()

  private:
    void ApplyEnablingRules();
    // Enables or disables the rate list, with the reason a screen reader gives when disabled.
    void EnableSampleRateCombo(bool enable);
    // Whether the page still exists after a modal loop: Quit can end the program from inside
    // one (the icon's menu, or "-exit" from another start), and the view then deletes its pages.
    std::weak_ptr<const bool> LifetimeToken() const { return m_lifetime; }
    std::shared_ptr<const bool> m_lifetime = std::make_shared<const bool>(true);
    void ChangeModeOfSelectedDevice();
    void ShowRateModeInRadios();
};
