/* Resource identifiers, shared by the resource script and the program. */
#pragma once
#define IDI_APP 1
#define IDB_LOGO 2
#define IDD_TEXT 100
#define IDC_TEXT_PROMPT 101
#define IDC_TEXT_EDIT 102
#define IDC_TEXT_REASON 103
#define IDD_OPTIONS 110
#define IDC_IDLE_ON 111
#define IDC_IDLE_LIMIT_LABEL 112
#define IDC_IDLE_LIMIT 113
#define IDC_IDLE_SPIN 114
#define IDC_IDLE_UNIT 115
#define IDC_IDLE_BLIND 116
#define IDC_IDLE_REASON 117
