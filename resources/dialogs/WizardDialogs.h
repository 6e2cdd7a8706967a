// Control and template ids of the WizardDialogs templates: the first-boot wizard with its
// panels, the version dialog and the version notice.
#pragma once

// Templates.
#define IDD_ABOUT_DLG                 141
#define IDD_WIZARD_DLG                150
#define IDD_WIZ_SETBOX_PANEL          152
#define IDD_WIZ_DONE_PANEL            153
#define IDD_VERSION_NOTICE_DLG        154
#define IDD_WIZ_TOP_PANEL             156
#define IDD_WIZ_SETFILES_PANEL        158

// The wizard (150).
#define IDC_WIZ_BACK                  1031
#define IDC_WIZ_HEADER_IMAGE          1034
#define IDC_WIZ_PLACEHOLDER           1039

// The box panel (152): six name edits, each with its "Icon" button.
#define IDC_WIZ_ADVANCED              1033
#define IDC_WIZ_NAME1                 1036
#define IDC_WIZ_ICON1                 1037
#define IDC_WIZ_NAME2                 1039
#define IDC_WIZ_ICON2                 1040
#define IDC_WIZ_NAME3                 1042
#define IDC_WIZ_ICON3                 1043
#define IDC_WIZ_NAME4                 1045
#define IDC_WIZ_ICON4                 1046
#define IDC_WIZ_NAME5                 1047
#define IDC_WIZ_ICON5                 1048
#define IDC_WIZ_NAME6                 1049
#define IDC_WIZ_ICON6                 1050

// The files panel (158) and the done panel (153).
#define IDC_WIZ_SETFILES_IMAGE        1044
#define IDC_WIZ_CHECK_VERSION         1038

// The version dialog (141).
#define IDC_ABOUT_OPEN_DATA_FOLDER    1024
#define IDC_ABOUT_LOGO                1046
#define IDC_ABOUT_LINK_LATEST         1110
#define IDC_ABOUT_LINK_CREDIT1        1111
#define IDC_ABOUT_LINK_CREDIT2        1112
#define IDC_ABOUT_LINK_MAKER          1113
#define IDC_ABOUT_LINK_CREDIT4        1114
#define IDC_ABOUT_LINK_CREDIT3        1115

// The version notice (154).
#define IDC_NOTICE_IMAGE              1114
#define IDC_NOTICE_CURRENT            1115
#define IDC_NOTICE_LATEST             1116
