// "Edit Channel Name": edits the name of a channel record that belongs to the caller, in place.
#pragma once

#include "driver/DeviceRecords.h"
#include "pages/SubDlgNameEdit.h"

class CSubDlgChannelNameEdit : public CSubDlgNameEdit {
  public:
    // Without a parent the dialog is owned by the main window.
    explicit CSubDlgChannelNameEdit(_VESK_CHANNEL_PROPERTIES* channel, CWnd* parent = nullptr);
};
