// Ids of the test plug-in's templates.
#pragma once

#define IDD_TEST_FORM 100
#define IDD_TEST_SUB 200

#define IDC_NUMBERS_GROUP 1000
#define IDC_COUNT_LABEL 1001
#define IDC_COUNT 1002
#define IDC_SIZE 1003
#define IDC_PATH 1004
#define IDC_APPLY 1005
#define IDC_VERBOSE 1006
#define IDC_COLOUR 1007
#define IDC_RANGE_A 1010
#define IDC_RANGE_B 1011
#define IDC_RANGE_C 1012
#define IDC_RANGE_D 1013
#define IDC_OPEN_SUB 1020
#define IDC_THROW 1021
#define IDC_TIMER 1022
#define IDC_TICKS 1023
#define IDC_SAVE_AS 1024
#define IDC_OPEN_FILE 1025
#define IDC_DISABLED 1026
#define IDC_HIDDEN_NOTE 1027

#define IDC_SUB_NOTE 2001
#define IDC_SUB_BACK 2046
#define IDC_SUB_CLOSE 2047
