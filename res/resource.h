// Resource identifiers of the converter's templates, menus and strings.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX                        100
#define IDD_MAIN_DIALOG                     102
#define IDD_OUTPUT_OPTIONS                  129
#define IDD_FILTER_PROPERTIES               133

// Icon and menu
#define IDR_MAINFRAME                       128
#define IDR_MENU_LANGUAGE_POPUP             131

// Built-in string table
#define IDS_ABOUTBOX                        101
#define IDS_LANGUAGE_IN_ENGLISH             102
#define IDS_MESSAGE_ERROR                   105
#define IDS_MESSAGE_WARNING                 108
#define IDS_MESSAGE_BROWSE_CAPTION          110
#define IDS_MESSAGE_ORIGINAL_SIZE           111
#define IDS_MESSAGE_CUSTOM_SIZE             112
#define IDS_MESSAGE_ORIGINAL_FRAME_SIZE     113
#define IDS_MESSAGE_CUSTOM_FRAME_SIZE       114
#define IDS_MESSAGE_OUTPUT_FILE             115
#define IDS_MESSAGE_RESOLUTION              116
#define IDS_MESSAGE_PRESERVE_ASPECT_RATIO   117
#define IDS_MESSAGE_RESIZE_STRETCH          118
#define IDS_MESSAGE_OPEN_FILE               119
#define IDS_MESSAGE_OPTIONS                 120
#define IDS_MESSAGE_CONVERT                 121
#define IDS_MESSAGE_NOT_OPEN_FILE           122
#define IDS_MESSAGE_NO_DURATION             123
#define IDS_BUTTON_STOP                     124
#define IDS_BUTTON_CONVERT                  125
#define IDS_MESSAGE_RESTART_PROGRAM         126
#define IDS_MESSAGE_FILE_EXIST              131
#define IDS_MESSAGE_STOP_CONVERT            143
#define IDS_MESSAGE_CONVERSION_DONE         163
#define IDS_MESSAGE_CONVERSION_FAILED       164
#define IDS_MESSAGE_OUTPUT_IS_SOURCE        165
#define IDS_MESSAGE_TIME_LEFT               166
#define IDS_MESSAGE_BAD_ARGUMENT            167
#define IDS_MESSAGE_COMMAND_LINE_USAGE      168
#define IDS_MESSAGE_CONVERT_DROPPED         169
#define IDS_MESSAGE_NOT_CONVERTED           170
#define IDS_MESSAGE_UNUSABLE_NAME           171
#define IDS_MESSAGE_BAD_BITRATE             172
#define IDS_MESSAGE_NO_OUTPUT_NAME          173
#define IDS_MESSAGE_NO_COMPRESSOR           174
#define IDS_MESSAGE_NO_SOUND                175
#define IDS_MESSAGE_OUTPUT_ENDS_EARLY       176
#define IDS_MESSAGE_CONVERTED_WITH_REMARKS  177

// Main window (102)
#define IDC_BUTTON_ADD_VIDEO                1000
#define IDC_STATIC_SOURCE_LINE              1001
#define IDC_BUTTON_CONVERT                  1002
#define IDC_BUTTON_BUILD_FILTERS            1003
#define IDC_STATIC_SUMMARY_LINE             1004
#define IDC_BUTTON_OUTPUT_SETTINGS          1006
#define IDC_BUTTON_EXIT                     1022
#define IDC_BUTTON_HOMEPAGE                 1026
#define IDC_BUTTON_ABOUT                    1027
#define IDC_BUTTON_HELP                     1043

// About (100)
#define IDC_STATIC_VERSION                  1044
#define IDC_STATIC_PRODUCT                  1045

// Output options (129)
#define IDC_COMBO_VIDEO_COMPRESSOR          1007
#define IDC_COMBO_AUDIO_COMPRESSOR          1008
#define IDC_EDIT_OUTPUT_FILE                1009
#define IDC_COMBO_RESOLUTION                1010
#define IDC_STATIC_RESOLUTION               1011
#define IDC_EDIT_WIDTH                      1012
#define IDC_EDIT_HEIGHT                     1013
#define IDC_BUTTON_OUTPUT_DEAULT            1014
#define IDC_COMBO_VFW_CODECS                1015
#define IDC_BUTTON_VIDEO_CODEC_SETTINGS     1016
#define IDC_COMBO_FRAME_RATE                1017
#define IDC_EDIT_FRAME_RATE                 1018
#define IDC_COMBO_RESIZE_MODE               1019
#define IDC_STATIC_OUTPUT_FILE              1020
#define IDC_BUTTON_BROWSE                   1021
#define IDC_STATIC_FRAME_RATE               1036
#define IDC_STATIC_RESIZE_MODE              1037
#define IDC_STATIC_VIDEO_COMPRESSOR         1038
#define IDC_STATIC_AUDIO_COMPRESSOR         1039
#define IDC_STATIC_OPTIONS_NOTE             1040
#define IDC_BUTTON_OPTIONS_OK               1041
#define IDC_BUTTON_OPTIONS_CANCEL           1042
#define IDC_COMBO_OUTPUT_FORMAT             1046
#define IDC_STATIC_VIDEO_COMPRESSOR_BITRATE 1047
#define IDC_STATIC_AUDIO_COMPRESSOR_BITRATE 1048
#define IDC_EDIT_VIDEO_BITRATE              1049
#define IDC_COMBO_AUDIO_BITRATE             1050
#define IDC_STATIC_VIDEO_KBPS               1051
#define IDC_STATIC_AUDIO_KBPS               1052
#define IDC_EDIT_AUDIO_BITRATE              1053
#define IDC_STATIC_OUTPUT_FORMAT            1056

// Filter properties (133)
#define IDC_LIST_FILTERS                    1054
#define IDC_BUTTON_FILTER_SETTINGS          1055

// Menu commands
#define IDM_ABOUT                           32771
#define IDM_POPUPMENU_FONT                  32772
#define ID_HELP                             57670

// The system menu's About item
#define IDM_ABOUTBOX                        0x0010

#ifndef IDC_STATIC
#define IDC_STATIC                          (-1)
#endif
