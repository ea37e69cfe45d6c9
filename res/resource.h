// Resource and control ids of Dravix Video Repair.
#pragma once

// Shared id of the frame's menu, accelerators, icon and document string.
#define IDR_MAINFRAME 128
#define IDR_POPUP_EDIT 119
#define IDS_EDIT_MENU 306

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_PROGRESS 312

// Bitmaps: source page
#define IDB_SOURCE_BACKGROUND 131
#define IDB_REPAIR_NORMAL 132
#define IDB_REPAIR_HOVER 133
#define IDB_ADD_NORMAL 134
#define IDB_ADD_HOVER 135
#define IDB_ADD_DONE 323
// Bitmaps: save page
#define IDB_SAVE_NORMAL 138
#define IDB_SAVE_HOVER 139
#define IDB_PREVIEW_NORMAL 140
#define IDB_PREVIEW_HOVER 141
#define IDB_BACK_NORMAL 142
#define IDB_BACK_HOVER 143
#define IDB_SAVE_BACKGROUND 147
#define IDB_BROWSE_NORMAL 154
#define IDB_BROWSE_HOVER 155
// Bitmaps: About box
#define IDB_ABOUT_BACKGROUND 318

// Source page controls
#define IDC_REPAIR 108
#define IDC_ADD 109
#define IDC_SOURCE_PATH 329

// Save page controls
#define IDC_BACK 101
#define IDC_SAVE 102
#define IDC_BROWSE 103
#define IDC_DEST_PATH 104
#define IDC_DEST_LABEL 105
#define IDC_PREVIEW 146
#define IDC_REPAIR_DONE 331

// Progress dialog controls
#define IDC_PROGRESS_BAR 1013
#define IDC_STOP 1014
#define IDC_PROGRESS_TEXT 1015

// About box controls
#define IDC_WEBSITE_LABEL 312
#define IDC_SALES_LABEL 313
#define IDC_SUPPORT_LABEL 314
#define IDC_HOMEPAGE_LINK 315
#define IDC_SALES_LINK 316
#define IDC_SUPPORT_LINK 317
#define IDC_PRODUCT 319
#define IDC_NOTICE 320
#define IDC_ABOUT_OK 321
#define IDC_FFMPEG_NOTE 1016

// Commands
#define ID_FILE_REPAIR 32772
#define ID_HELP_HOW_TO_USE 32773
#define ID_FILE_SAVE_OUTPUT 32774
#define ID_VISIT_HOMEPAGE 326
// The save page's Back and Preview buttons, as commands to the frame.
#define ID_PAGE_BACK 32780
#define ID_PAGE_PREVIEW 32781

// Standard command ids the menu and accelerators share with the usual
// application frameworks.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

// Standard string ids
#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
// The caption of the program's message boxes (fw::kProgramNameString).
#define IDS_PROGRAM_NAME 0xE0FF

// Standard window ids
#define ID_FIRST_PANE 59648
#define ID_SECOND_PANE 59649
#define ID_STATUS_BAR 59393
#define ID_MENU_BAR 59398
