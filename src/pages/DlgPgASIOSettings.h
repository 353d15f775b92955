// The ASIO settings page: the three buffer depths and the drop-out count.
#pragma once

#include <cstdint>

#include "framework/Framework.h"
#include "model/StreamRecords.h"
#include "view/DialogPage.h"

class CDlgPgASIOSettings : public CDialogPage {
  public:
    static constexpr UINT_PTR STATISTICS_TIMER_ID = 27;
    static constexpr UINT kStatisticsPeriodMs = 1000;

    explicit CDlgPgASIOSettings(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void RefreshAsioSettings();
    void UpdateValueTexts();

    CButton m_asioApplyButton;
    CButton m_wdmApplyButton;
    CSliderCtrl m_wdmSlider;
    CSliderCtrl m_asioSlider;
    CButton m_streamApplyButton;
    CSliderCtrl m_streamSlider;
    CString m_dropOutText;
    CString m_streamValueText;
    CString m_asioValueText;
    CString m_wdmValueText;
    CToolTipCtrl m_toolTip;
    _VESK_AUDIO_BUFFER_DEPTH m_asioDepth{};
    _VESK_AUDIO_BUFFER_DEPTH m_wdmDepth{};
    _VESK_STREAM_BUFFER_DEPTH m_streamDepth{};
    uint32_t m_streamMaximum = 10000;
    uint32_t m_asioMaximum = 40000;
    uint32_t m_wdmMaximum = 40000;
    uint32_t m_timerId = 0;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    DECLARE_MESSAGE_MAP()
};
