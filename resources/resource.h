// Resource identifiers shared by the resource script and the code.
// The numbers are fixed: settings, menus and icons are looked up by them.
#pragma once

#define IDR_MANIFEST 1
#define IDR_VERSION  1

#define TARNELO_VERSION_NUMBERS 1,0,1,2
#define TARNELO_VERSION_TEXT    "1.0.1.2"

// The application icon: tray icon and class icon of every window the program registers.
#define IDI_TARNELO 128

// Menus: the box's context menu and the file list's item menu.
#define IDR_BOX_MENU  129
#define IDR_ITEM_MENU 130

// String table.
#define IDS_DELETE_BOX_QUESTION       139
#define IDS_CANT_DELETE_LAST_BOX      140
#define IDS_HELP_PAGE_URL             141
#define IDS_EXIT_QUESTION             142
#define IDS_NO_FILE_REGISTERED        143
#define IDS_DELETE_ITEM_QUESTION      144
#define IDS_SHOW_FILE_EXTENSION       145
#define IDS_OPEN_ITEM_WITH_HOVER      146
#define IDS_SELECT_MY_ICONS_FIRST     150
#define IDS_ICON_FORMATS              151
#define IDS_CANT_LOAD_ICON_FILE       152
#define IDS_FONT_SIZE_ZERO            153
#define IDS_GOT_IT                    154
#define IDS_ABORT_SETUP_QUESTION      155
#define IDS_DONE                      156
#define IDS_NEXT                      157
#define IDS_DELETE_DESKTOP_SHORTCUT_QUESTION 158
#define IDS_DELETE_DESKTOP_SHORTCUT   159
#define IDS_ADD_BOX                   161
#define IDS_CHECK_LATEST_VERSION      163
#define IDS_COLOR_AUTO                164
#define IDS_COLOR_OTHER               165
#define IDS_DOWNLOAD_PAGE_URL         166
#define IDS_CHECK_VERSION_PERIODICALLY 167
#define IDS_CANT_OPEN_FILE_LOCATION   168
#define IDS_CANT_RENAME_ITEM          169
#define IDS_BOX_FILE_DAMAGED          170
#define IDS_SAVE_FAILED               171
#define IDS_SETTINGS_UNREADABLE       190
#define IDS_CHANGES_NOT_KEPT          191
#define IDS_STYLE_UNREADABLE          192
#define IDS_BOX_FILE_UNREAD           193
#define IDS_BOX_FILE_NOT_READ         194
#define IDS_FILES_NOT_REGISTERED      195

// Commands of the box's context menu. An icon resource with the same number, where
// one exists, is drawn beside the command.
#define ID_BOX_NEW                    32781
#define ID_BOX_EDIT                   32794
#define ID_BOX_DELETE                 145
#define ID_REGISTER_FROM_START_MENU   32811
#define ID_REGISTER_FROM_PROGRAM_FILES 32812
#define ID_BOX_FIX_POSITION           32783
#define ID_BOX_ENTIRELY_MOVE          32814
#define ID_BOX_ALIGN                  32799
#define ID_BOX_STYLE                  32784
#define ID_BOX_OPTIONS                32785
#define ID_APP_HELP                   32786
#define ID_APP_VERSION                32787
#define ID_APP_EXIT_TARNELO           32796

// Commands of the file list's item menu.
#define ID_ITEM_OPEN                  32800
#define ID_ITEM_COPY                  32801
#define ID_ITEM_RENAME                32817
#define ID_ITEM_OPEN_LOCATION         32802
#define ID_ITEM_DELETE                32805
#define ID_ITEM_PROPERTIES            32804

// Dialog templates and their controls, one header per group of dialogs.
#include "dialogs/BoxDialogs.h"
#include "dialogs/StyleDialogs.h"
#include "dialogs/WizardDialogs.h"
