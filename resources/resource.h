// Ids of the dialog templates in nuv.rc and of their controls.
#pragma once

// Dialog templates.
#define IDD_NUV_FORM                5
#define IDD_CUSTOMER_CONFIG         2002
#define IDD_FIELD_EDIT              2003
#define IDD_NEW_FORMAT              2016

// Main form (IDD_NUV_FORM).
#define IDC_FORM_SDRAM_SIZE         2002
#define IDC_FORM_FLASH_SIZE         2003
#define IDC_FORM_BLOCK_NUMBER       2004
#define IDC_FORM_SW_VERSION         2005
#define IDC_FORM_PREPARSE_GROUP     2011
#define IDC_FORM_HEADER_GROUP       2012
#define IDC_FORM_BLOCK_GROUP        2013
#define IDC_FORM_SOURCE_LABEL       2014
#define IDC_FORM_SDRAM_LABEL        2015
#define IDC_FORM_FLASH_LABEL        2016
#define IDC_FORM_BLOCKS_LABEL       2017
#define IDC_FORM_PREPARSE           2018
#define IDC_FORM_SOURCE_BROWSE      2019
#define IDC_FORM_SOURCE_PATH        2020
#define IDC_FORM_CLEAR              2021
#define IDC_FORM_SCRIPT_LABEL       2022
#define IDC_FORM_SCRIPT_PATH        2023
#define IDC_FORM_SCRIPT_BROWSE      2024
#define IDC_FORM_OUTPUT_LABEL       2025
#define IDC_FORM_VERSION_LABEL      2026
#define IDC_FORM_OUTPUT_BROWSE      2027
#define IDC_FORM_COLUMN_ID          2036
#define IDC_FORM_COLUMN_SIZE        2037
#define IDC_FORM_COLUMN_CRC         2038
#define IDC_FORM_COLUMN_NAME        2039
#define IDC_FORM_COLUMN_VERSION     2040
#define IDC_FORM_COLUMN_TIME        2041
#define IDC_FORM_PARSE_GROUP        2043
#define IDC_FORM_PARSE              2044
#define IDC_FORM_EXPORT_GROUP       2045
#define IDC_FORM_EXPORT             2046
#define IDC_FORM_OUTPUT_PATH        2049
#define IDC_FORM_EXPERTS_ONLY       2051

// Customer Config dialog (IDD_CUSTOMER_CONFIG).
#define IDC_CFG_OUTPUT_PATH         2000
#define IDC_CFG_OUTPUT_BROWSE       2001
#define IDC_CFG_CONFIG_PATH         2002
#define IDC_CFG_CONFIG_BROWSE       2003
#define IDC_CFG_KEY_PATH            2004
#define IDC_CFG_KEY_BROWSE          2005
#define IDC_CFG_GENERATE            2045
#define IDC_CFG_BACK                2046
#define IDC_CFG_OUTPUT_LABEL        2047
#define IDC_CFG_CONFIG_LABEL        2050
#define IDC_CFG_ADDRESS_LABEL       2051
#define IDC_CFG_ADDRESS             2052
#define IDC_CFG_BYTE_LABEL          2053
#define IDC_CFG_BYTE                2054
#define IDC_CFG_CAUTION             2055
#define IDC_CFG_KEY_LABEL           2056

// Field edit dialog (IDD_FIELD_EDIT) uses IDOK and IDCANCEL only.

// New Format dialog (IDD_NEW_FORMAT); its "Back" button is IDCANCEL.
#define IDC_NEW_OUTPUT_PATH         2000
#define IDC_NEW_SAVE_FLASH          2001
#define IDC_NEW_OUTPUT_LABEL        2055
#define IDC_NEW_OUTPUT_BROWSE       2056
#define IDC_NEW_SAVE_BLOCK_BROWSE   2057
#define IDC_NEW_SAVE_BLOCK_PATH     2058
#define IDC_NEW_SAVE_BLOCK          2059
#define IDC_NEW_SAVE_BLOCK_COMBO    2060
#define IDC_NEW_SAVE_GROUP          2061
#define IDC_NEW_FLASH_GROUP         2062
#define IDC_NEW_SAVE_ID_LABEL       2063
#define IDC_NEW_SAVE_BLOCK_ID       2064
#define IDC_NEW_SAVE_SELECT_LABEL   2065
#define IDC_NEW_SAVE_BIN_LABEL      2066
#define IDC_NEW_LOAD_BLOCK_BROWSE   2067
#define IDC_NEW_LOAD_BIN_LABEL      2068
#define IDC_NEW_LOAD_BLOCK_PATH     2069
#define IDC_NEW_LOAD_BLOCK          2070
#define IDC_NEW_LOAD_BLOCK_COMBO    2071
#define IDC_NEW_LOAD_SELECT_LABEL   2072
#define IDC_NEW_LOAD_GROUP          2073
#define IDC_NEW_LOAD_ID_LABEL       2074
#define IDC_NEW_LOAD_BLOCK_ID       2075
