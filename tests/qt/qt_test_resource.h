// Ids of the templates the Qt backend's tests build their windows from.
#pragma once

#define IDD_QT_DIALOG 300
#define IDD_QT_FORM 301

#define IDC_QT_GROUP 3000
#define IDC_QT_LABEL 3001
#define IDC_QT_EDIT 3002
#define IDC_QT_READONLY 3003
#define IDC_QT_BUTTON 3004
#define IDC_QT_CHECK 3005
#define IDC_QT_LIST 3006
#define IDC_QT_DROPDOWN 3007
#define IDC_QT_CENTRED 3008
#define IDC_QT_DISABLED 3009
#define IDC_QT_TOP 3010
#define IDC_QT_BOTTOM 3011
