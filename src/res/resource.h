// Resource ids of the program: templates, controls, icons, menus and commands. Shared by the
// resource script and the code, so only preprocessor definitions belong here.
#pragma once

// Document template resources: menu, icon, accelerators and document string.
#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 150

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_VESK_CPL_FORM 101
#define IDD_PAGE_ASIO_SETTINGS 103
#define IDD_PAGE_DEVICES 104
#define IDD_PAGE_CHANNELS 105
#define IDD_DEVICE_NAME_EDIT 137
#define IDD_CHANNEL_NAME_EDIT 138
#define IDD_PAGE_STREAMS 143
#define IDD_PAGE_SYNCHRONISATION 145
#define IDD_DEVICE_SYNCH 147

// Icons: the application icon and the navigation tree's images.
#define IDI_APP 128
#define IDI_TREE_0 130
#define IDI_TREE_DEVICES 131
#define IDI_TREE_SETTINGS 132
#define IDI_TREE_CHANNELS 135
#define IDI_TREE_4 136
#define IDI_TREE_SYNCHRONISATION 146

// Controls that the code never addresses (frames, labels, group boxes).
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Navigation view.
#define IDC_NAV_TREE 1000
#define IDC_NAV_SEPARATOR 1002

// About box.
#define IDC_ABOUT_TEXT 1062

// Devices page and its name dialog.
#define IDC_DEVICE_LIST 1001
#define IDC_DEVICE_EDIT_NAME 1079
#define IDC_DEVICE_DOWN 1084
#define IDC_DEVICE_UP 1085
#define IDC_DEVICE_APPLY 1086
#define IDC_DEVICE_HINT 1087
#define IDC_DEVICE_NAME_LABEL 1004
#define IDC_DEVICE_NAME_EDIT 1005

// Channels page and its name dialog.
#define IDC_CHANNEL_LIST 1007
#define IDC_CHANNEL_INCLUDE_DEVICE 1027
#define IDC_CHANNEL_EDIT_NAME 1080
#define IDC_CHANNEL_HW_NAME 1081
#define IDC_CHANNEL_HW_CAPTION 1082
#define IDC_CHANNEL_NAME_LABEL 1020
#define IDC_CHANNEL_NAME_EDIT 1021

// ASIO settings page.
#define IDC_ASIO_APPLY 1035
#define IDC_DROPOUTS 1038
#define IDC_STREAM_SLIDER 1048
#define IDC_STREAM_VALUE 1050
#define IDC_STREAM_APPLY 1051
#define IDC_ASIO_SLIDER 1053
#define IDC_ASIO_VALUE 1054
#define IDC_WDM_APPLY 1055
#define IDC_WDM_SLIDER 1056
#define IDC_WDM_VALUE 1057
#define IDC_STREAM_LABEL 1058
#define IDC_ASIO_LABEL 1059
#define IDC_WDM_LABEL 1060

// Streams page.
#define IDC_STREAM_LIST 1039
#define IDC_STREAM_DETAIL 1040

// Synchronisation page and the device synchronisation mode dialog (both lists are 1063).
#define IDC_SAMPLE_RATE_COMBO 1044
#define IDC_SYNC_LIST 1063
#define IDC_SYNC_APPLY 1070
#define IDC_SYNC_CHANGE_MODE 1071
#define IDC_RATE_APPLY 1073
#define IDC_RATE_MANUAL 1088
#define IDC_RATE_AUTOMATIC 1089

// Commands of the program.
#define ID_TRAY_OPEN 32771
#define ID_TRAY_QUIT 32772
#define ID_FILE_HIDE 32773

// Commands and ids with the application framework's standard values.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define AFX_IDW_STATUS_BAR 59393
#define AFX_IDW_PANE_FIRST 59648
