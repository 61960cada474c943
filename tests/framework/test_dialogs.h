// Ids of the templates the framework's tests build windows from.
#pragma once

#define IDD_PROBE 300
#define IDD_SHOWN 301
#define IDD_PANE 302

#define IDC_TEXT 10
#define IDC_SIGNED 11
#define IDC_UNSIGNED 12
#define IDC_GO 13
#define IDC_FRAME 14
#define IDC_LABEL 15
#define IDC_FLAG 16
#define IDC_CHOICE 17
#define IDC_FIRST_OF_RANGE 20
#define IDC_LAST_OF_RANGE 24
#define IDC_OUTSIDE_RANGE 25
