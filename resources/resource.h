// Resource ids of the main program. The system's fixed numbers; keep them unique.
#pragma once

#define IDI_MAIN 128
#define IDD_QUOTE 129
#define IDM_PROGRAM 134

#define IDB_CLOSE 140
#define IDB_AUTOHIDE_ON 141
#define IDB_AUTOHIDE_OFF 142
#define IDB_ALERTS 143
#define IDB_OPTIONS 144

#define IDC_CLOSE_PICTURE 1002
#define IDC_SHOW_MT 1005
#define IDC_HIDE_MT 1006
#define IDC_QUOTE_LIST 1007
#define IDC_AUTOHIDE_ON 1013
#define IDC_AUTOHIDE_OFF 1014
#define IDC_LINE_PICTURE 1122
#define IDC_ALERTS_PICTURE 1195
#define IDC_OPTIONS_PICTURE 1196

#define IDM_CONTACT 32771
#define IDM_EXIT 32772
#define IDM_ALERTS 32773
#define IDM_PRICE_BAR 32774
#define IDM_TERMINAL 32776
#define IDM_OPTIONS 32777
#define IDM_UNUSED 32778
#define IDM_NEWS 32779
#define IDM_NEW_ORDER 32780
