// Numbers of the resources the program looks up in the resource module
// (strings, menus, icons) and of the commands its menus carry. The texts
// behind them are the resource module's (components/flwrc); each list below
// is an X-macro so that tests can walk every number the program relies on.
//
// Use the named constants in code: LoadString(IDS_APP_CAPTION).
#pragma once
#include "wintypes.h"

// String resources: X(name, number). Texts marked "format" take printf-style
// arguments as noted.
#define ALBIREO_STRING_IDS(X)                                                                              \
    /* product and start-up */                                                                             \
    X(IDS_APP_CAPTION, 100) /* caption of every message box */                                             \
    X(IDS_APP_NAME, 3000) /* application name, main window title */                                        \
    X(IDS_MSG_ALREADY_RUNNING, 672)                                                                        \
    X(IDS_FMT_HANDED_OVER_BEHIND, 3296) /* format: %s = the handed-over image's file name */                \
    X(IDS_MSG_COMPONENTS_FAILED, 3008)                                                                     \
    X(IDS_MSG_INSTANCE_LOCK_FAILED, 3011)                                                                  \
    X(IDS_ABOUT_CAPTION, 11600)                                                                            \
    X(IDS_ABOUT_VERSION, 11601) /* format: %s = the version */                                             \
    X(IDS_ABOUT_DESCRIPTION, 11602)                                                                        \
    X(IDS_ABOUT_LIBRARIES, 11603) /* format: %s = the Qt version */                                        \
    /* main frame */                                                                                       \
    X(IDS_PROGRESS_TITLE, 5023)                                                                            \
    X(IDS_FMT_IMPORTING, 3273) /* format: %s = what is imported (the disc name) */                         \
    X(IDS_PROGRESS_CANCELLING, 5109)                                                                       \
    X(IDS_MSG_IMPORT_FAILED, 3007)                                                                         \
    X(IDS_FMT_IMPORT_WAITING, 3280) /* format: %s = program, %s = process id of the import that runs */    \
    X(IDS_MSG_LIBRARY_FULL, 3281)                                                                          \
    X(IDS_MSG_LIBRARY_READ_ONLY, 3282)                                                                     \
    X(IDS_MSG_SERVER_UNREACHABLE, 3283)                                                                    \
    X(IDS_MSG_SERVER_LOGIN_REFUSED, 3284)                                                                  \
    X(IDS_MSG_SERVER_NO_DATABASE, 3285)                                                                    \
    X(IDS_MSG_LIBRARY_NEWER, 3286)                                                                         \
    X(IDS_MSG_IMPORT_DONE, 3015)                                                                           \
    X(IDS_MSG_NO_LOGOFF, 3009)                                                                             \
    X(IDS_MSG_NO_SUSPEND, 3010)                                                                            \
    X(IDS_HELP_ADDRESS, 11542)                                                                             \
    X(IDS_HELP_TOPIC, 11544)                                                                               \
    X(IDS_FONT_FACE, 8012)                                                                                 \
    X(IDS_FONT_FACE_JPN, 62284)                                                                            \
    X(IDS_SEARCH_TEXT_SIZE, 11385) /* a number: pixel height of the search box text */                     \
    X(IDS_TIP_CLOSE, 11268)                                                                                \
    X(IDS_TIP_MAXIMIZE, 61187)                                                                             \
    X(IDS_TIP_RESTORE, 61817)                                                                              \
    X(IDS_TIP_MINIMIZE, 61186)                                                                             \
    X(IDS_TIP_UPGRADE, 1524)                                                                               \
    /* command view: tooltips carry the number of their command */                                         \
    X(IDS_TIP_BACK, 3100)                                                                                  \
    X(IDS_TIP_IMPORT, 3101)                                                                                \
    X(IDS_TIP_REFRESH, 3102)                                                                               \
    X(IDS_TIP_LARGE_ICONS, 3103)                                                                           \
    X(IDS_TIP_SMALL_ICONS, 3104)                                                                           \
    X(IDS_TIP_DETAILS, 3105)                                                                               \
    X(IDS_TIP_SEARCH, 3106)                                                                                \
    /* names screen readers give the main window's panes; a tooltip with its shortcut */                   \
    X(IDS_NAME_COMMAND_BAR, 3350)                                                                          \
    X(IDS_NAME_FILE_LIST, 3351)                                                                            \
    X(IDS_FMT_TIP_SHORTCUT, 3352) /* format: %s = the tooltip, %s = the keys */                             \
    /* command view: button pictures ("Image\..." paths) at UI scale 1.0 and 1.5 */                        \
    X(IDS_IMG_BACK, 3200)                                                                                  \
    X(IDS_IMG_BACK_150, 3201)                                                                              \
    X(IDS_IMG_IMPORT, 3202)                                                                                \
    X(IDS_IMG_IMPORT_150, 3203)                                                                            \
    X(IDS_IMG_REFRESH, 3204)                                                                               \
    X(IDS_IMG_REFRESH_150, 3205)                                                                           \
    X(IDS_IMG_LARGE_ICONS, 3206)                                                                           \
    X(IDS_IMG_LARGE_ICONS_150, 3207)                                                                       \
    X(IDS_IMG_SMALL_ICONS, 3208)                                                                           \
    X(IDS_IMG_SMALL_ICONS_150, 3209)                                                                       \
    X(IDS_IMG_DETAILS, 3210)                                                                               \
    X(IDS_IMG_DETAILS_150, 3211)                                                                           \
    X(IDS_IMG_SEARCH, 3212)                                                                                \
    X(IDS_IMG_SEARCH_150, 3213)                                                                            \
    X(IDS_IMG_COMMAND_642, 630)                                                                            \
    X(IDS_IMG_COMMAND_642_150, 636)                                                                        \
    X(IDS_IMG_OTHER, 627)                                                                                  \
    X(IDS_IMG_OTHER_150, 633)                                                                              \
    /* list column titles */                                                                               \
    X(IDS_COL_NAME, 5013)                                                                                  \
    X(IDS_COL_TAGS, 3002)                                                                                  \
    X(IDS_COL_TYPE, 5015)                                                                                  \
    X(IDS_COL_DISC_DATE, 3003)                                                                             \
    X(IDS_COL_SIZE, 5014)                                                                                  \
    X(IDS_COL_DATE, 5016)                                                                                  \
    X(IDS_COL_DISC, 3260) /* also the header row of found discs */                                        \
    /* file list */                                                                                        \
    X(IDS_MSG_LIBRARY_FAILED, 3014)                                                                        \
    X(IDS_FOLDER, 3275)                                                                                    \
    X(IDS_FILE, 3276)                                                                                      \
    X(IDS_UNIT_KB, 6052)                                                                                   \
    X(IDS_FMT_INSERT_DISC, 7070) /* format: %s = drive root, such as "E:\" */                              \
    X(IDS_MSG_DELETE_DISC, 3016)                                                                           \
    X(IDS_FMT_DELETE_DISC_NAMED, 3400) /* format: %s = the disc's name, %s = its file count */              \
    X(IDS_MSG_CONFIRM_IMPORT, 3017)                                                                        \
    X(IDS_MSG_DISC_EXISTS, 3265)                                                                           \
    /* a damaged library */                                                                                \
    X(IDS_FMT_LIBRARY_DAMAGED, 3300) /* format: %s = the library file; a question, Yes repairs */         \
    X(IDS_FMT_LIBRARY_DAMAGED_CLI, 3301) /* format: %s = the library file */                               \
    X(IDS_FMT_REPAIR_REPORT, 3302) /* format: five counts and the damaged file's path, all %s */           \
    X(IDS_MSG_REPAIR_FAILED, 3303)                                                                         \
    X(IDS_MSG_LIBRARY_IN_USE, 3304)                                                                        \
    X(IDS_MSG_LIBRARY_SOUND, 3305)                                                                         \
    X(IDS_FMT_LIBRARY_CHECK_FAILED, 3306) /* format: %s = the library file, %s = the first finding */      \
    X(IDS_MSG_DISC_EXISTS_REPLACE, 3328) /* format: %s = the catalogued disc's name */                     \
    /* an incomplete read: the import's message and the disc's mark, with one line per cause */           \
    X(IDS_MSG_IMPORT_INCOMPLETE, 3320) /* format: %d folders, %d files not read */                        \
    X(IDS_TIP_DISC_INCOMPLETE, 3321) /* format: %d folders, %d files not read */                          \
    X(IDS_GAP_SHORT_IMAGE, 3322) /* format: %s bytes held, %s bytes described ("1.5 MB") */              \
    X(IDS_GAP_BEYOND_END, 3323)                                                                            \
    X(IDS_GAP_READ_ERROR, 3324)                                                                            \
    X(IDS_GAP_DAMAGED, 3325)                                                                               \
    X(IDS_GAP_LOOP, 3326)                                                                                  \
    X(IDS_GAP_LIMIT, 3327)                                                                                 \
    X(IDS_UNIT_MB, 3329)                                                                                   \
    X(IDS_UNIT_GB, 3330)                                                                                   \
    /* disc type text: class words by media class code, format words by format code */                    \
    X(IDS_MEDIA_CLASS_1, 5113)                                                                             \
    X(IDS_MEDIA_CLASS_2, 5114) /* also the label of an audio disc */                                       \
    X(IDS_MEDIA_CLASS_3, 5116)                                                                             \
    X(IDS_MEDIA_CLASS_4, 5115)                                                                             \
    X(IDS_MEDIA_CLASS_5_FORMAT_1, 5117)                                                                    \
    X(IDS_MEDIA_CLASS_5_FORMAT_2, 5118) /* also class 12 */                                                \
    X(IDS_MEDIA_CLASS_6, 10206)                                                                            \
    X(IDS_MEDIA_CLASS_7, 5123)                                                                             \
    X(IDS_MEDIA_CLASS_8, 5122)                                                                             \
    X(IDS_MEDIA_CLASS_9, 61870)                                                                            \
    X(IDS_FORMAT_2, 6090)                                                                                  \
    X(IDS_FORMAT_3_6, 6144)                                                                                \
    X(IDS_FORMAT_5, 62420)                                                                                 \
    X(IDS_FORMAT_OTHER, 6089)                                                                              \
    /* import workflow */                                                                                  \
    X(IDS_MSG_NO_DRIVE, 3267)                                                                              \
    X(IDS_MSG_DISC_UNREADABLE, 3266)                                                                       \
    X(IDS_CHOOSE_DRIVE, 3248)                                                                              \
    X(IDS_PLEASE_WAIT, 61754)                                                                              \
    X(IDS_READING_DISC, 3255)                                                                              \
    X(IDS_INSERT_IMAGE, 3340) /* the drive dialog's button that puts an image into an image drive */       \
    X(IDS_IMAGE_FILE_FILTER, 3341) /* name of the file dialog's filter of disc images */                   \
    X(IDS_IMAGE_FILE_CAPTION, 3342)                                                                        \
    X(IDS_FMT_NOT_A_DISC_IMAGE, 3343) /* format: %s = the file, %s = why */                                 \
    X(IDS_MSG_NO_IMAGE_DRIVE, 3344)                                                                        \
    X(IDS_FMT_DISC_NOT_MOUNTED, 3345) /* format: %s = the drive root */                                    \
    X(IDS_FMT_FILE_NOT_ON_DISC, 3346) /* format: %s = the file's path on the disc */                       \
    X(IDS_FMT_READING_FILE, 3347) /* format: %s = the file name */                                         \
    X(IDS_FMT_FILE_NOT_OPENED, 3348) /* format: %s = the file's path on its disc */                          \
    X(IDS_FMT_HELP_NOT_OPENED, 3401) /* format: %s = the help page */                                        \
    X(IDS_FMT_DRIVE_WITH_IMAGE, 3402) /* format: %s = the drive's name, %s = the image's file name */        \
    X(IDS_MSG_IMPORT_REPLACED, 3403)                                                                        \
    X(IDS_HINT_EMPTY_LIBRARY, 3404) /* the empty disc list of a library without discs */                       \
    X(IDS_FMT_FILES_READ, 3405) /* format: %s = folders and files read so far */                                \
    X(IDS_MSG_NAME_EMPTY, 3408)                                                                             \
    X(IDS_MSG_FILE_NOT_READ, 3349)                                                                         \
    X(IDS_FMT_NOT_A_FILE_NAME, 3360) /* format: %s = a name from a disc */                                  \
    X(IDS_FMT_FOLDER_NOT_OURS, 3361) /* format: %s = the file name, %s = the folder */                     \
    X(IDS_FMT_FILE_NOT_CREATED, 3362) /* format: %s = the file name, %s = the folder, %s = why */          \
    /* tags */                                                                                             \
    X(IDS_TAG_VIDEO, 11407)                                                                                \
    X(IDS_TAG_PHOTO, 11408)                                                                                \
    X(IDS_TAG_MUSIC, 11406)                                                                                \
    X(IDS_TAG_DOCUMENT, 3245)                                                                              \
    X(IDS_TAGS_TITLE, 3004) /* tag pane title and the all button's tooltip */                              \
    X(IDS_ADDTAG_CAPTION, 3257)                                                                            \
    X(IDS_TIP_ADD_TAG, 62007)                                                                              \
    X(IDS_TIP_DELETE_TAG, 8083)                                                                            \
    X(IDS_MSG_DELETE_TAG, 3268)                                                                            \
    X(IDS_MSG_TAG_TOO_LONG, 3269)                                                                          \
    X(IDS_MSG_TAG_EXISTS, 3270)                                                                            \
    X(IDS_MSG_TAG_CHARACTERS, 3271) /* also the tooltip of a refused character */                          \
    X(IDS_MSG_TAG_BLANK, 3272)                                                                             \
    X(IDS_MSG_TAG_RESERVED, 3279)                                                                          \
    /* disc information */                                                                                 \
    X(IDS_DISCINFO_CAPTION, 3230)                                                                          \
    X(IDS_BTN_IMPORT, 3278)                                                                                \
    X(IDS_LABEL_DISC_NAME, 3234)                                                                           \
    X(IDS_LABEL_TYPE, 8001)                                                                                \
    X(IDS_LABEL_SIZE, 3235)                                                                                \
    X(IDS_LABEL_DATE, 3236)                                                                                \
    X(IDS_LABEL_DATE_ALTERNATE, 3237)                                                                      \
    X(IDS_LABEL_LABEL, 3238)                                                                               \
    X(IDS_LABEL_TAGS, 3239)                                                                                \
    X(IDS_TIP_ADD_LABEL, 3258)                                                                             \
    X(IDS_BTN_EDIT_TAGS, 62005)                                                                            \
    X(IDS_TIP_EDIT_TAGS, 62004)                                                                            \
    /* disc label and snapshot */                                                                          \
    X(IDS_DISCLABEL_CAPTION, 3263)                                                                         \
    X(IDS_SNAPSHOT_CAPTION, 3252)                                                                          \
    X(IDS_BTN_DONE, 61718)                                                                                 \
    X(IDS_TIP_CAPTURE, 3254)                                                                               \
    X(IDS_MSG_NO_CAPTURE_DEVICE, 3256)                                                                     \
    X(IDS_MSG_PREVIEW_FAILED, 3259)                                                                        \
    X(IDS_SOURCE_PICTURE_FILE, 3290) /* the device list's entry for a picture file */                       \
    X(IDS_PICTURE_FILE_CAPTION, 3291)                                                                      \
    X(IDS_PICTURE_FILE_FILTER, 3292) /* the name of the picture kinds in the file chooser */               \
    X(IDS_MSG_PICTURE_UNREADABLE, 3293)                                                                    \
    X(IDS_FMT_PICTURE_TOO_LARGE, 3294) /* format: %d x %d = the picture's size, %d = the largest side */   \
    X(IDS_MSG_LABEL_NOT_SAVED, 3295)                                                                       \
    /* buttons: a button's text has the number of its command */                                           \
    X(IDS_BTN_OK, 8016)                                                                                    \
    X(IDS_BTN_CANCEL, 6084)                                                                                \
    X(IDS_BTN_ABORT, 903)                                                                                  \
    X(IDS_BTN_RETRY, 910)                                                                                  \
    X(IDS_BTN_IGNORE, 902)                                                                                 \
    X(IDS_BTN_YES, 11323)                                                                                  \
    X(IDS_BTN_NO, 11320)

// Menu resources.
#define ALBIREO_MENU_IDS(X)                                                                                \
    X(IDR_MAINFRAME, 128) /* the main window's menu bar */                                                 \
    X(IDR_DISC_MENU, 3240) /* popup 0: context menu of a disc row */                                       \
    X(IDR_ITEM_MENU, 3264) /* popup 0: context menu of a found folder or file */

// Icon resources (picture paths).
#define ALBIREO_ICON_IDS(X)                                                                                \
    X(IDI_MAINFRAME, 128) /* the main window's class icon */                                               \
    X(IDI_SMALL, 3215) /* the main window's small icon */

// Commands that menus and buttons carry.
#define ALBIREO_COMMAND_IDS(X)                                                                             \
    X(ID_FILE_NEW, 0xE100)                                                                                 \
    X(ID_FILE_OPEN, 0xE101)                                                                                \
    X(ID_FILE_PRINT_SETUP, 0xE106)                                                                         \
    X(ID_APP_ABOUT, 0xE140)                                                                                \
    X(ID_APP_EXIT, 0xE141)                                                                                 \
    X(ID_ALB_BACK, 3100)                                                                                   \
    X(ID_ALB_IMPORT, 3101)                                                                                 \
    X(ID_ALB_REFRESH, 3102)                                                                                \
    X(ID_ALB_LARGE_ICONS, 3103)                                                                            \
    X(ID_ALB_SMALL_ICONS, 3104)                                                                            \
    X(ID_ALB_DETAILS, 3105)                                                                                \
    X(ID_ALB_SEARCH, 3106)                                                                                 \
    X(ID_DISC_BROWSE, 3241)                                                                                \
    X(ID_DISC_INFO, 3242)                                                                                  \
    X(ID_DISC_DELETE, 3243)                                                                                \
    X(ID_DISC_LABEL, 3261)                                                                                 \
    X(ID_DISC_RENAME, 3409)                                                                                \
    X(ID_HELP_FINDER, 0xE143) /* the help page (F1) */                                                     \
    X(ID_APP_UPGRADE, 10011)

#define ALBIREO_DEFINE_ID(name, number) constexpr UINT name = number;
ALBIREO_STRING_IDS(ALBIREO_DEFINE_ID)
ALBIREO_MENU_IDS(ALBIREO_DEFINE_ID)
ALBIREO_ICON_IDS(ALBIREO_DEFINE_ID)
ALBIREO_COMMAND_IDS(ALBIREO_DEFINE_ID)
#undef ALBIREO_DEFINE_ID
