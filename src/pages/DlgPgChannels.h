// The Channels page of one direction: every channel of the connected devices with its ASIO
// display name, renaming, and the driver-wide choice of putting the device name in front.
#pragma once

#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "model/Drv.h"
#include "view/DialogPage.h"
#include "view/ListCtrlEx.h"

class CDlgPgChannels : public CDialogPage {
  public:
    static constexpr int kInputChannels = 0;
    static constexpr int kOutputChannels = 1;

    explicit CDlgPgChannels(int direction, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    // Re-reads this direction's channels and rebuilds the list; the selected row index is kept
    // when the new list has it.
    void RefreshChannels();
    // Column 2 of every row from columns 0 and 1 and the include-device-name flag.
    void ComposeAsioDisplayNames();

    int GetDirection() const { return m_direction; }
    // theDrv's array of this page's direction.
    CChannelArray& Channels() const;

    CButton m_includeDeviceNameCheck;
    CEdit m_hardwareNameField;
    CStatic m_hardwareNameCaption;
    CButton m_editNameButton;
    CListCtrlEx m_channelList;
    CAccessibleText m_channelListAccessible;
    CAccessibleText m_editNameAccessible;
    // The check state of the include-device-name box: 0 or 1.
    int m_includeDeviceName = 0;
    CString m_hardwareNameText;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnIncludeDeviceNameClicked();
    void OnChannelListItemChanged(NMHDR* header, LRESULT* result);
    void OnChannelListDoubleClick(NMHDR* header, LRESULT* result);
    void OnEditChannelName();
    DECLARE_MESSAGE_MAP()

  private:
    void UpdateSelectedChannel();
    void RenameSelectedChannel();

    const int m_direction;
};
