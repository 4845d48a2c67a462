// Resource ids shared by the .rc file and the windows: the icon and the
// toolbar glyphs. The main window's commands take their ids from its table
// of components (MainLayout.h).
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
