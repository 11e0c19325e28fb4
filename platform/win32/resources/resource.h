/* Resource identifiers, shared by the resource script and the program. */
#pragma once
#define IDI_APP 1
#define IDB_LOGO 2
#define IDD_TEXT 100
#define IDC_TEXT_PROMPT 101
#define IDC_TEXT_EDIT 102
#define IDC_TEXT_REASON 103
