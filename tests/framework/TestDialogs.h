// Ids of the dialog templates that only the framework's tests use (kept clear of the
// program's resource ids).
#pragma once

#define IDD_TEST_ALL 30100
#define IDD_TEST_PANEL 30200
#define IDD_TEST_PLAIN 30300
#define IDD_TEST_MISSING 30999  // no template has this id

#define IDC_T_NUMBER 30101
#define IDC_T_TEXT 30102
#define IDC_T_CHECK 30103
#define IDC_T_TRISTATE 30104
#define IDC_T_LIST_INDEX 30105
#define IDC_T_EDIT_COMBO 30106
#define IDC_T_RADIO1 30107
#define IDC_T_RADIO2 30108
#define IDC_T_RADIO3 30109
#define IDC_T_THROW 30110
#define IDC_T_OWNER_BUTTON 30111
#define IDC_T_STATIC 30112
#define IDC_T_CHECK_LIST 30113
#define IDC_T_REPORT 30114
#define IDC_T_SPIN_EDIT 30115
#define IDC_T_SPIN 30116
#define IDC_T_PLACEHOLDER 30117
#define IDC_T_LIST_STRING 30118
#define IDC_T_OWNER_STATIC 30119

#define IDC_P_EDIT 30201
#define IDC_P_BUTTON 30202
