// Numeric ids shared by the resource script and the C++ code: menu commands and notifications.
#ifndef TESS_RESOURCES_RESOURCE_IDS_H
#define TESS_RESOURCES_RESOURCE_IDS_H

// Plain macros, because the resource compiler understands nothing else.

// "&Spiel"
#define IDM_NEW_GAME        101
#define IDM_UNDO            150
#define IDM_REDO            151
#define IDM_START_AGAIN     152
#define IDM_CLOSE           6

// "&Optionen"
#define IDM_MORE_CELLS      111
#define IDM_FEWER_CELLS     112
#define IDM_SOUND           113
#define IDM_LABELS_GERMAN   131
#define IDM_LABELS_ENGLISH  132
#define IDM_LABELS_RUSSIAN  133
#define IDM_BEGINNER        115
#define IDM_EXPERT          116
#define IDM_FONT            120

// "&?"
#define IDM_HELP            180
#define IDM_SOLUTION        181
#define IDM_BEST_RESULTS    153
#define IDM_HINT            140
#define IDM_DEMONSTRATE     141
#define IDM_ABOUT           100

// Not a menu item: the board posts it when the puzzle is solved, with the move count in the
// high word of lParam. It shares the command-id space, so it is kept here to stay unique.
#define IDN_SOLVED          190

// Dialog controls that nobody addresses.
#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif

#endif
