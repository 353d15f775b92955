#include "pages/DlgPgASIOSettings.h"

#include "model/BufferDepth.h"
#include "model/Drv.h"
#include "res/StringIds.h"
#include "res/resource.h"

namespace {

void PutOnSlider(CSliderCtrl& slider, const vesk::SliderSetup& setup) {
    slider.SetRangeMin(setup.rangeMin, TRUE);
    slider.SetRangeMax(setup.rangeMax, TRUE);
    slider.SetTicFreq(setup.tickFrequency);
    slider.SetPageSize(setup.pageSize);
    slider.SetLineSize(setup.lineSize);
    slider.SetPos(setup.position);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPgASIOSettings, CDialogPage)
ON_WM_TIMER()
ON_WM_SHOWWINDOW()
ON_WM_HSCROLL()
ON_BN_CLICKED(IDC_STREAM_APPLY, &CDlgPgASIOSettings::OnStreamApply)
ON_BN_CLICKED(IDC_WDM_APPLY, &CDlgPgASIOSettings::OnWdmApply)
ON_BN_CLICKED(IDC_ASIO_APPLY, &CDlgPgASIOSettings::OnAsioApply)
END_MESSAGE_MAP()

CDlgPgASIOSettings::CDlgPgASIOSettings(CWnd* parent)
    : CDialogPage(IDD_PAGE_ASIO_SETTINGS, parent) {}

void CDlgPgASIOSettings::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_ASIO_APPLY, m_asioApplyButton);
    DDX_Control(dx, IDC_WDM_APPLY, m_wdmApplyButton);
    DDX_Control(dx, IDC_WDM_SLIDER, m_wdmSlider);
    DDX_Control(dx, IDC_ASIO_SLIDER, m_asioSlider);
    DDX_Control(dx, IDC_STREAM_APPLY, m_streamApplyButton);
    DDX_Control(dx, IDC_STREAM_SLIDER, m_streamSlider);
    DDX_Text(dx, IDC_DROPOUTS, m_dropOutText);
    DDX_Text(dx, IDC_STREAM_VALUE, m_streamValueText);
    DDX_Text(dx, IDC_ASIO_VALUE, m_asioValueText);
    DDX_Text(dx, IDC_WDM_VALUE, m_wdmValueText);
}

BOOL CDlgPgASIOSettings::OnInitDialog() {
    CDialogPage::OnInitDialog();
    NameControl(m_streamSliderAccessible, m_streamSlider, vesk::IDS_ACC_STREAM_DEPTH);
    NameControl(m_asioSliderAccessible, m_asioSlider, vesk::IDS_ACC_ASIO_DEPTH);
    NameControl(m_wdmSliderAccessible, m_wdmSlider, vesk::IDS_ACC_WDM_DEPTH);
    NameControl(m_streamApplyAccessible, m_streamApplyButton, vesk::IDS_ACC_APPLY_STREAM_DEPTH);
    NameControl(m_asioApplyAccessible, m_asioApplyButton, vesk::IDS_ACC_APPLY_ASIO_DEPTH);
    NameControl(m_wdmApplyAccessible, m_wdmApplyButton, vesk::IDS_ACC_APPLY_WDM_DEPTH);
    RefreshAsioSettings();
    m_toolTip.Create(this, TTS_ALWAYSTIP);
    m_toolTip.SetMaxTipWidth(kToolTipMaxWidth);
    const CString note = LoadStringText(vesk::IDS_ASIO_NOTE);
    for (int id : {IDC_ASIO_APPLY, IDC_ASIO_SLIDER, IDC_ASIO_VALUE, IDC_ASIO_LABEL})
        m_toolTip.AddTool(GetDlgItem(id), note);
    m_toolTip.Activate(TRUE);
    return TRUE;
}

BOOL CDlgPgASIOSettings::PreTranslateMessage(MSG* msg) {
    if (m_toolTip.m_hWnd != nullptr) m_toolTip.RelayEvent(msg);
    return CDialogPage::PreTranslateMessage(msg);
}

bool CDlgPgASIOSettings::RefreshStreamSlider() {
    _VESK_STREAM_BUFFER_DEPTH record{};
    if (theDrv.GetStreamBufferDepth(&record) == 0) {
        const vesk::SliderSetup setup = vesk::StreamSliderSetup(record, m_streamMaximum);
        // A record whose Step is 0 has no slider positions: it is treated like a failed read.
        if (setup.usable) {
            m_streamDepth = record;
            PutOnSlider(m_streamSlider, setup);
            m_streamSlider.EnableWindow(TRUE);
            return true;
        }
    }
    m_streamSlider.EnableWindow(FALSE);
    m_streamValueText.Empty();
    return false;
}

bool CDlgPgASIOSettings::RefreshAudioSlider(uint32_t (CDrv::*read)(_VESK_AUDIO_BUFFER_DEPTH*),
                                            _VESK_AUDIO_BUFFER_DEPTH& record, CSliderCtrl& slider,
                                            uint32_t maximum, CString& valueText) {
    _VESK_AUDIO_BUFFER_DEPTH readRecord{};
    if ((theDrv.*read)(&readRecord) == 0) {
        const vesk::SliderSetup setup = vesk::AudioSliderSetup(readRecord, maximum);
        if (setup.usable) {
            record = readRecord;
            PutOnSlider(slider, setup);
            slider.EnableWindow(TRUE);
            return true;
        }
    }
    slider.EnableWindow(FALSE);
    valueText.Empty();
    return false;
}

void CDlgPgASIOSettings::RefreshAsioSettings() {
    bool anyRead = RefreshStreamSlider();
    anyRead |= RefreshAudioSlider(&CDrv::GetAsioBufferDepth, m_asioDepth, m_asioSlider,
                                  m_asioMaximum, m_asioValueText);
    anyRead |= RefreshAudioSlider(&CDrv::GetWdmBufferDepth, m_wdmDepth, m_wdmSlider, m_wdmMaximum,
                                  m_wdmValueText);
    m_streamApplyButton.EnableWindow(FALSE);
    m_asioApplyButton.EnableWindow(FALSE);
    m_wdmApplyButton.EnableWindow(FALSE);
    if (anyRead) UpdateValueTexts();
    AnnounceValues();
}

void CDlgPgASIOSettings::AnnounceValues() {
    m_streamSliderAccessible.SetValue(m_streamValueText);
    m_asioSliderAccessible.SetValue(m_asioValueText);
    m_wdmSliderAccessible.SetValue(m_wdmValueText);
}

void CDlgPgASIOSettings::UpdateAudioValue(CSliderCtrl& slider, CButton& applyButton,
                                          _VESK_AUDIO_BUFFER_DEPTH& record, CString& valueText) {
    if (!slider.IsWindowEnabled()) return;
    const vesk::SliderDepth depth =
        vesk::DepthAtPosition(slider.GetPos(), record.Step, record.Current);
    if (depth.differs) applyButton.EnableWindow(TRUE);
    record.Current = depth.depthUs;
    valueText =
        vesk::AudioDepthValueText(depth.depthUs, record.Samples, applyButton.IsWindowEnabled());
}

void CDlgPgASIOSettings::UpdateValueTexts() {
    UpdateAudioValue(m_asioSlider, m_asioApplyButton, m_asioDepth, m_asioValueText);
    UpdateAudioValue(m_wdmSlider, m_wdmApplyButton, m_wdmDepth, m_wdmValueText);
    if (m_streamSlider.IsWindowEnabled()) {
        const vesk::SliderDepth depth = vesk::DepthAtPosition(
            m_streamSlider.GetPos(), m_streamDepth.Step, m_streamDepth.Current);
        m_streamValueText = vesk::StreamDepthText(depth.depthUs);
        if (depth.differs) m_streamApplyButton.EnableWindow(TRUE);
        m_streamDepth.Current = depth.depthUs;
    }
    UpdateData(FALSE);
    AnnounceValues();
}

void CDlgPgASIOSettings::OnShowWindow(BOOL show, UINT status) {
    CDialogPage::OnShowWindow(show, status);
    if (show && m_timerId == 0) {
        m_timerId = static_cast<uint32_t>(SetTimer(STATISTICS_TIMER_ID, kStatisticsPeriodMs));
    } else if (!show && m_timerId != 0) {
        KillTimer(m_timerId);
        m_timerId = 0;
    }
    RefreshAsioSettings();
}

void CDlgPgASIOSettings::OnTimer(UINT_PTR id) {
    if (id != STATISTICS_TIMER_ID) {
        CDialogPage::OnTimer(id);
        return;
    }
    _VESK_STATISTICS statistics{};
    if (theDrv.GetStatistics(&statistics) == 0)
        m_dropOutText.Format("%u", statistics.DropOuts);
    else
        m_dropOutText.Empty();
    UpdateData(FALSE);
    if (m_dropOutText != m_dropOutAnnounced) {
        m_dropOutAnnounced = m_dropOutText;
        NotifyAccessibleNameChange(GetDlgItemHandle(IDC_DROPOUTS));
    }
}

void CDlgPgASIOSettings::OnHScroll(UINT code, UINT position, CScrollBar* scrollBar) {
    UpdateValueTexts();
    CDialogPage::OnHScroll(code, position, scrollBar);
}

void CDlgPgASIOSettings::OnStreamApply() {
    theDrv.SetStreamBufferDepth(&m_streamDepth);
    theDrv.StopStreaming();
    theDrv.StartStreaming();
    RefreshAsioSettings();
}

void CDlgPgASIOSettings::OnWdmApply() {
    theDrv.SetWdmBufferDepth(&m_wdmDepth);
    theDrv.StopStreaming();
    theDrv.StartStreaming();
    RefreshAsioSettings();
}

void CDlgPgASIOSettings::OnAsioApply() {
    theDrv.SetAsioBufferDepth(&m_asioDepth);
    RefreshAsioSettings();
}
