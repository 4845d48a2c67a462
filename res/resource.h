// Resource ids shared by the .rc file and the windows.
#pragma once

#define IDI_TAVRO 1

#define IDB_ADD 101
#define IDB_EDIT 102
#define IDB_DELETE 103
#define IDB_SAVE 104
#define IDB_EXIT 105
#define IDB_LOAD 106
#define IDB_CLEAN 107
#define IDB_UP 108
#define IDB_DOWN 109

// Main window commands: one id per menu item, shared with its toolbar button.
#define IDM_FILEITEMS 1000
#define IDM_TEMPLATEITEM 1001
#define IDM_N3 1002
#define IDM_SAVEITEM 1003
#define IDM_EXITITEM 1004
#define IDM_EDITITEMS 1010
#define IDM_ADDITEM 1011
#define IDM_EDITITEM 1012
#define IDM_DELETEITEM 1013
#define IDM_N4 1014
#define IDM_UPITEM 1015
#define IDM_DOWNITEM 1016
#define IDM_TOOLSITEMS 1020
#define IDM_LOADITEM 1021
#define IDM_UNINSTALLITEM 1022
#define IDM_BROWSERSITEM 1023
#define IDM_TYPEITEM 1024
#define IDM_LANGUAGEITEMS 1030
#define IDM_HELPITEMS 1040
#define IDM_TAVROHELPITEM 1041
#define IDM_N2 1042
#define IDM_ABOUTTAVROITEM 1043

#define IDC_COOLBAR 2000
#define IDC_LISTVIEW 2001
#define IDC_STATUSBAR 2002
