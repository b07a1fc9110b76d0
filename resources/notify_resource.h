// Resource ids of the notification popup. The system's fixed numbers; keep them unique
// together with resource.h.
#pragma once

#define IDI_NOTIFY_CLOSE 135
#define IDD_NOTIFY 137
#define IDB_NOTIFY_BACKGROUND 160
#define IDB_NOTIFY_MARK 180

#define IDC_NOTIFY_MESSAGE 1063
#define IDC_NOTIFY_CLOSE 1090
#define IDC_NOTIFY_TIME 1091
#define IDC_NOTIFY_SYMBOL 1094
#define IDC_NOTIFY_PRICE 1096
#define IDC_NOTIFY_FOCUS 1181
#define IDC_NOTIFY_MARK 1182
// The snooze choices along the bottom of a fired alert's popup.
#define IDC_NOTIFY_SNOOZE_LABEL 1500
#define IDC_NOTIFY_SNOOZE_QUARTER 1501
#define IDC_NOTIFY_SNOOZE_HOUR 1502
#define IDC_NOTIFY_SNOOZE_TOMORROW 1503
