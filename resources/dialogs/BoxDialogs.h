// Control and template ids of the BoxDialogs templates: the edit-box dialog, the clearance
// dialog and the rename dialog.
#pragma once

// The edit-box dialog: name, icon set, icon list, icon-background colour.
#define IDD_SET_BOX                 131
#define IDC_SETBOX_NAME             1000
#define IDC_SETBOX_ICON_LIST        1019
#define IDC_SETBOX_COLOR            1020
#define IDC_SETBOX_ICON_SET         1029
#define IDC_SETBOX_DROP_HINT        1030
#define IDC_SETBOX_BACKGROUND_LABEL 1055

// The clearance dialog: the gap between aligned boxes, an edit with its up-down control.
#define IDD_INPUT_BOX_SPACE         149
#define IDC_SPACE_EDIT              1027
#define IDC_SPACE_SPIN              1028

// The rename dialog: one edit beside its OK button.
#define IDD_RENAME_ITEM             168
#define IDC_RENAME_NAME             1056
