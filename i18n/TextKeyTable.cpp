#include "i18n/TextKeyTable.h"

#include <cstring>

// 8585216 is the first popup item of menu 131 (131 * 65536).
const TextKey kTextKeyTable[] = {
    {"IDM_ABOUT", 32771},
    {"IDM_SELECT_LANGUAGE", 8585216},
    {"IDM_POPUPMENU_FONT", 32772},
    {"IDC_BUTTON_ABOUT", 100},
    {"IDD_PROGRAM_CAPTION", 1045},
    {"IDD_DIALOG_OUTPUT_OPTIONS", 129},
    {"IDC_BUTTON_BROWSE", 1021},
    {"IDC_STATIC_OUTPUT_FILE", 1020},
    {"IDC_STATIC_RESOLUTION", 1011},
    {"IDC_STATIC_FRAME_RATE", 1036},
    {"IDC_STATIC_RESIZE_MODE", 1037},
    {"IDC_STATIC_VIDEO_COMPRESSOR", 1038},
    {"IDC_BUTTON_VIDEO_CODEC_SETTINGS", 1016},
    {"IDC_STATIC_AUDIO_COMPRESSOR", 1039},
    {"IDC_STATIC_OPTIONS_NOTE", 1040},
    {"IDC_BUTTON_OUTPUT_DEAULT", 1014},
    {"IDC_BUTTON_OPTIONS_OK", 1041},
    {"IDC_BUTTON_OPTIONS_CANCEL", 1042},
    {"IDC_STATIC_VIDEO_COMPRESSOR_BITRATE", 1047},
    {"IDC_STATIC_AUDIO_COMPRESSOR_BITRATE", 1048},
    {"IDC_BUTTON_HELP", 1043},
    {"IDC_BUTTON_HOMEPAGE", 1026},
    {"IDC_BUTTON_ABOUT", 1027},
    {"IDC_BUTTON_EXIT", 1022},
    {"IDD_PROGRAM_CAPTION", 102},
    {"IDC_BUTTON_ADD_VIDEO", 1000},
    {"IDC_BUTTON_OUTPUT_SETTINGS", 1006},
    {"IDC_BUTTON_CONVERT", 1002},
    {"IDC_STATIC_OUTPUT_FORMAT", 1056},
    {"IDS_LANGUAGE_IN_ENGLISH", 102},
    {"IDS_MESSAGE_OUTPUT_FILE", 115},
    {"IDS_MESSAGE_RESOLUTION", 116},
    {"IDS_MESSAGE_OPEN_FILE", 119},
    {"IDS_MESSAGE_OPTIONS", 120},
    {"IDS_MESSAGE_CONVERT", 121},
    {"IDS_MESSAGE_NOT_OPEN_FILE", 122},
    {"IDS_MESSAGE_NO_DURATION", 123},
    {"IDC_BUTTON_CONVERT", 125},
    {"IDC_BUTTON_STOP", 124},
    {"IDS_MESSAGE_RESTART_PROGRAM", 126},
    {"IDS_MESSAGE_FILE_EXIST", 131},
    {"IDS_MESSAGE_STOP_CONVERT", 143},
    {"IDS_MESSAGE_CONVERSION_DONE", 163},
    {"IDS_MESSAGE_ERROR", 105},
    {"IDS_MESSAGE_WARNING", 108},
    {"IDS_MESSAGE_BROWSE_CAPTION", 110},
    {"IDS_MESSAGE_ORIGINAL_SIZE", 111},
    {"IDS_MESSAGE_CUSTOM_SIZE", 112},
    {"IDS_MESSAGE_ORIGINAL_FRAME_SIZE", 113},
    {"IDS_MESSAGE_CUSTOM_FRAME_SIZE", 114},
    {"IDS_MESSAGE_PRESERVE_ASPECT_RATIO", 117},
    {"IDS_MESSAGE_RESIZE_STRETCH", 118},
};

const size_t kTextKeyTableSize = sizeof kTextKeyTable / sizeof kTextKeyTable[0];

const char* SectionOfKey(const char* key) {
  if (!key) return nullptr;
  if (strncmp(key, "IDS", 3) == 0) return language_sections::kString;
  if (strncmp(key, "IDM", 3) == 0 || strncmp(key, "IDR", 3) == 0) return language_sections::kMenu;
  if (strncmp(key, "IDD", 3) == 0 || strncmp(key, "IDC", 3) == 0) return language_sections::kDialog;
  return nullptr;
}
