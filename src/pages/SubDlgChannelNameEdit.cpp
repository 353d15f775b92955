#include "pages/SubDlgChannelNameEdit.h"

CSubDlgChannelNameEdit::CSubDlgChannelNameEdit(_VESK_CHANNEL_PROPERTIES* channel, CWnd* parent)
    : CSubDlgNameEdit(IDD_CHANNEL_NAME_EDIT, IDC_CHANNEL_NAME_EDIT,
                      channel ? channel->ChannelName : nullptr,
                      sizeof(_VESK_CHANNEL_PROPERTIES::ChannelName), parent) {}
