/* Resource identifiers, shared by the resource script and the program. */
#pragma once
#define IDI_APP 1
#define IDB_LOGO 2
