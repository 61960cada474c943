#pragma once

#define IDD_KEYS 100
#define IDD_HOLDER 101
#define IDD_TALL_FORM 102
#define IDC_FIRST 1001
#define IDC_LABEL 1002
#define IDC_SECOND 1003
#define IDC_TOP 1004
#define IDC_BOTTOM 1005
