// The ASIO settings page: the three buffer depths, each on a slider with its own Apply, and the
// drop-out count, polled once a second while the page is shown.
#pragma once

#include <cstdint>

#include "driver/StreamRecords.h"
#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "model/BufferDepth.h"
#include "model/Drv.h"
#include "view/DialogPage.h"

class CDlgPgASIOSettings : public CDialogPage {
  public:
    static constexpr UINT_PTR STATISTICS_TIMER_ID = 27;
    static constexpr UINT kStatisticsPeriodMs = 1000;
    static constexpr int kToolTipMaxWidth = 180;

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
    uint32_t m_streamMaximum = vesk::kStreamDepthMaximumUs;
    uint32_t m_asioMaximum = vesk::kAudioDepthMaximumUs;
    uint32_t m_wdmMaximum = vesk::kAudioDepthMaximumUs;
    uint32_t m_timerId = 0;
    // What a screen reader hears: each slider by its label with the text beside it as its
    // value, each Apply button by what it applies.
    CAccessibleText m_streamSliderAccessible;
    CAccessibleText m_asioSliderAccessible;
    CAccessibleText m_wdmSliderAccessible;
    CAccessibleText m_streamApplyAccessible;
    CAccessibleText m_asioApplyAccessible;
    CAccessibleText m_wdmApplyAccessible;
    // The drop-out count last announced (the static's text is its accessible name).
    CString m_dropOutAnnounced;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnTimer(UINT_PTR id);
    void OnShowWindow(BOOL show, UINT status);
    void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    void OnStreamApply();
    void OnWdmApply();
    void OnAsioApply();
    DECLARE_MESSAGE_MAP()

  private:
    // The value texts as the sliders' accessible values (announced when they change).
    void AnnounceValues();
    // Each returns whether the record was read and could be put on its slider.
    bool RefreshStreamSlider();
    bool RefreshAudioSlider(uint32_t (CDrv::*read)(_VESK_AUDIO_BUFFER_DEPTH*),
                            _VESK_AUDIO_BUFFER_DEPTH& record, CSliderCtrl& slider, uint32_t maximum,
                            CString& valueText);
    static void UpdateAudioValue(CSliderCtrl& slider, CButton& applyButton,
                                 _VESK_AUDIO_BUFFER_DEPTH& record, CString& valueText);
};
