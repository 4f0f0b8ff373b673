// Resource ids of res/softveil.rc and the two languages' resources,
// res/softveil_zh.rc and res/softveil_en.rc, shared by the program and its
// tests. Every dialog, menu and string exists in both languages
// (scripts/check_texts).
#pragma once

#define IDD_ABOUT 100
#define IDD_CONTROL 102
#define IDI_APP 128
#define IDD_MASK 129
#define IDR_MENU_OPERATIONS 130
#define IDD_SETTINGS 131
#define IDC_LINK_CURSOR 133
#define IDI_COLORS 134
#define IDD_MORE_SETTINGS 140

// Controller (template 102).
#define IDC_CONTROL_EDIT 1000

// About dialog (template 100).
#define IDC_LINK_PLACEHOLDER 1024

// Mask (template 129).
#define IDC_LOCK_LABEL 1022
#define IDC_CLOCK_LABEL 1029

// Settings dialog (template 131).
#define IDC_HEIGHT 1000
#define IDC_TRANSPARENCY 1003
#define IDC_TRANSPARENCY_LABEL 1004
#define IDC_MASK_CTRL 1005
#define IDC_MASK_ALT 1006
#define IDC_MASK_SHIFT 1007
#define IDC_MASK_KEY 1008
#define IDC_MASK_CLOSE_CTRL 1009
#define IDC_MASK_CLOSE_ALT 1010
#define IDC_MASK_CLOSE_SHIFT 1011
#define IDC_MASK_CLOSE_KEY 1012
#define IDC_LOCK_CTRL 1013
#define IDC_LOCK_ALT 1014
#define IDC_LOCK_SHIFT 1015
#define IDC_LOCK_KEY 1016
#define IDC_LOCK_CLOSE_CTRL 1017
#define IDC_LOCK_CLOSE_ALT 1018
#define IDC_LOCK_CLOSE_SHIFT 1019
#define IDC_LOCK_CLOSE_KEY 1020
#define IDC_CANCEL_BUTTON 1021
#define IDC_HORIZONTAL 1023
#define IDC_VERTICAL 1024
#define IDC_COLOR_BUTTON 1027
#define IDC_SWATCH_PLACEHOLDER 1028
#define IDC_MORE_BUTTON 1100

// The more-settings dialog (template 140).
#define IDC_KEY_NEXT 1101
#define IDC_KEY_PREVIOUS 1102
#define IDC_KEY_THICKER 1103
#define IDC_KEY_THINNER 1104
#define IDC_KEY_STYLE 1105
#define IDC_STEP 1111
#define IDC_OVERLAP 1112
#define IDC_FINE_STEP 1113
#define IDC_THICKNESS_STEP 1114
#define IDC_AUTOSTART 1130
#define IDC_LANGUAGE 1140
#define IDC_STYLE 1150
#define IDC_FOLLOW 1300
#define IDC_POINTER_OFFSET 1301
#define IDC_EXCLUDE 1302

// Strings. Messages with parameters name them %1, %2 where the language
// puts them.
#define IDS_ALREADY_RUNNING 200
#define IDS_TRAY_MASK_ON 201
#define IDS_TRAY_HELP 202
#define IDS_TRAY_SETTINGS 203
#define IDS_TRAY_EXIT 204
#define IDS_MASK_MENU_OFF 205
#define IDS_MASK_MENU_EXIT 206
#define IDS_CLOCK 207                 // %1 hours, %2 minutes, %3 seconds
#define IDS_LINK_TEXT 208
#define IDS_DUPLICATE_HOTKEYS 209
#define IDS_SAVE_FAILED 210           // %1 the settings file
#define IDS_HOTKEY_REFUSED 211        // %1 a hotkey
#define IDS_HOTKEYS_REFUSED 212       // %1 and %2 two hotkeys
#define IDS_START_PROBLEMS 213
#define IDS_UNKNOWN_ARGUMENT 214      // %1 the argument
#define IDS_SETTINGS_WITHOUT_PATH 215
#define IDS_USAGE 216
#define IDS_AUTOSTART_FAILED 217
#define IDS_UNUSABLE_KEY 218          // %1 the key
#define IDS_READING_KEYS_REFUSED 219  // %1 the keys, IDS_LIST_SEPARATOR between them
#define IDS_LIST_SEPARATOR 220
#define IDS_LANGUAGE_AUTO 221         // the language drop-down's entries
#define IDS_LANGUAGE_CHINESE 222
#define IDS_LANGUAGE_ENGLISH 223
#define IDS_READ_FAILED 224           // %1 the settings file
#define IDS_STYLE_MASK 225            // the style drop-down's entries
#define IDS_STYLE_BAR 226
#define IDS_STYLE_UNDERLINE 227
#define IDS_STYLE_TINT 228
#define IDS_FOLLOW_DRAG 1300          // the follow drop-down's entries
#define IDS_FOLLOW_POINTER 1301
#define IDS_FOLLOW_CARET 1302
