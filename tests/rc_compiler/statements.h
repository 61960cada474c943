// Ids of statements.rc: plain, parenthesised, negative, and defined by name.
#pragma once

#define IDD_ONE 6
#define IDC_A (1)
#define IDC_B IDC_A
#define IDC_NEG ( -5 )
