#pragma once

#define IDD_KEYS 100
#define IDC_FIRST 1001
#define IDC_LABEL 1002
#define IDC_SECOND 1003
