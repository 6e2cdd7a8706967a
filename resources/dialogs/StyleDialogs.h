// Control and template ids of the StyleDialogs templates: the options dialog, the style
// dialog and the text outline dialog. Control ids repeat between the three templates, so
// each name carries its dialog.
#pragma once

// Options dialog.
#define IDD_OPTIONS                     140
#define IDC_OPTION_CHECKS               1021
#define IDC_OPTION_KEY                  1042
#define IDC_OPTION_CTRL                 1050
#define IDC_OPTION_SHIFT                1051
#define IDC_OPTION_ALT                  1052
#define IDC_OPTION_HOTKEYS              1053
#define IDC_OPTION_BOX_NAME             1054

// Style dialog.
#define IDD_STYLE                       142
#define IDC_STYLE_BACK_COLOR            1020
#define IDC_STYLE_TEXT_COLOR            1021
#define IDC_STYLE_SELECTED_COLOR        1022
#define IDC_STYLE_HOTKEY_COLOR          1023
#define IDC_STYLE_BACKGROUND            1025
#define IDC_STYLE_MARGIN_TOP_SPIN       1026
#define IDC_STYLE_MARGIN_LEFT_SPIN      1027
#define IDC_STYLE_BACK_ALPHA_SPIN       1029
#define IDC_STYLE_SELECTED_ALPHA_SPIN   1030
#define IDC_STYLE_HOTKEY_SELECTION      1031
#define IDC_STYLE_HOTKEY_ALPHA_SPIN     1032
#define IDC_STYLE_MARGIN_TOP            1033
#define IDC_STYLE_MARGIN_LEFT           1034
#define IDC_STYLE_BACK_ALPHA            1036
#define IDC_STYLE_SELECTED_ALPHA        1037
#define IDC_STYLE_HOTKEY_ALPHA          1038
#define IDC_STYLE_OUTLINE               1040
#define IDC_STYLE_FONT_NAME             1041
#define IDC_STYLE_LARGE_MENU            1045
#define IDC_STYLE_FONT_SIZE             1099
#define IDC_STYLE_FONT_STYLE            1100
#define IDC_STYLE_ICON_DISPLAY          1101

// Text outline dialog.
#define IDD_TEXT_OUTLINE                157
#define IDC_OUTLINE_COLOR               1009
#define IDC_OUTLINE_SHADOW_COLOR        1010
#define IDC_OUTLINE_ENABLE              1011
#define IDC_OUTLINE_SHADOW_ENABLE       1012
#define IDC_OUTLINE_SHADOW_POSITION     1014
#define IDC_OUTLINE_SHADOW_WIDTH        1016
#define IDC_OUTLINE_WIDTH_SPIN          1026
#define IDC_OUTLINE_SHADOW_POSITION_SPIN 1027
#define IDC_OUTLINE_SHADOW_WIDTH_SPIN   1028
#define IDC_OUTLINE_WIDTH               1044

// The fixed entries of the templates' drop-down lists, one string per list with the
// entries separated by line feeds (dialog templates cannot carry list entries).
#define IDS_OPTION_KEY_DISABLE          14001
#define IDS_STYLE_DISPLAY_ITEMS         14201
#define IDS_STYLE_FONT_STYLE_ITEMS      14202
#define IDS_STYLE_FONT_SIZE_ITEMS       14203
#define IDS_OUTLINE_SWITCH_ITEMS        15701
