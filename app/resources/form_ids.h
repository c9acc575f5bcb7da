// Identifiers of the form templates and their controls, shared by the resource script and the
// forms. Plain macros: the resource compiler reads this file too.
#pragma once

#define IDD_FORWARD 101
#define IDD_INPUT_ADDRESS 102
#define IDD_SEND_USER 103
#define IDD_ADDRESS_BOOK 104
#define IDD_UPLOAD 105
#define IDD_HISTORY 106
#define IDD_DOWNLOAD 107

/* frmForward */
#define IDC_FRA_FILE 1001
#define IDC_LVW_FILE 1002
#define IDC_CMD_FILE_SELECT 1003
#define IDC_CMD_FOLDER_SELECT 1004
#define IDC_CMD_FILE_DEL 1005
#define IDC_LBL_FILE_COUNT_TITLE 1006
#define IDC_LBL_FILE_COUNT 1007
#define IDC_LBL_FILE_SIZE_TITLE 1008
#define IDC_LBL_FILE_SIZE 1009
#define IDC_FRA_FORWARD 1010
#define IDC_LVW_FORWARD 1011
#define IDC_CMD_ADD 1012
#define IDC_CMD_ADDRESS 1013
#define IDC_CMD_SEND_DEL 1014
#define IDC_FRA_MSG 1015
#define IDC_TXT_MSG 1016
#define IDC_CMD_SETTING 1017
#define IDC_CMD_HISTORY 1018
#define IDC_CMD_FORWARD 1019
#define IDC_CMD_END 1020

/* frmInputAddress and frmSendUser; OK and cancel are IDOK and IDCANCEL, so Enter and Esc work */
#define IDC_LBL_NAME 1101
#define IDC_TXT_NAME 1102
#define IDC_LBL_EMAIL 1103
#define IDC_TXT_EMAIL 1104
#define IDC_CHK_SAVE 1105

/* frmAddressBook */
#define IDC_LVW_ADDRESS 1201
#define IDC_CMD_BOOK_ADD 1202
#define IDC_CMD_BOOK_UPDATE 1203
#define IDC_CMD_BOOK_DELETE 1204
#define IDC_CMD_BOOK_SET 1205
#define IDC_CMD_BOOK_CLOSE 1206

/* frmHistory */
#define IDC_LVW_HISTORY 1401
#define IDC_LBL_HISTORY_FILES 1402
#define IDC_LVW_HISTORY_FILE 1403
#define IDC_LBL_SAVE_SIZE_TITLE 1404
#define IDC_LBL_SAVE_SIZE 1405
#define IDC_CMD_HISTORY_CLOSE 1406

/* frmUpLoad; lblTitle(0) and lblTitle(1) head the two frames */
#define IDC_FRA_COMPRESS 1301
#define IDC_LBL_TITLE_0 1302
#define IDC_LBL_COUNT 1303
#define IDC_PBR_COMPRESS 1304
#define IDC_FRA_SEND 1305
#define IDC_LBL_TITLE_1 1306
#define IDC_CMD_CANCEL 1307

/* frmDownLoad; the label arrays lblTitle, lblView, lblProgress carry their index */
#define IDC_FRA_DOWNLOAD 1501
#define IDC_DL_LBL_TITLE_0 1502
#define IDC_DL_LBL_TITLE_2 1503
#define IDC_LBL_VIEW_0 1504
#define IDC_LBL_PROGRESS_0 1505
#define IDC_LBL_VIEW_1 1506
#define IDC_LBL_PROGRESS_1 1507
#define IDC_PBR_DOWNLOAD 1508
#define IDC_FRA_DEFROSTING 1509
#define IDC_DL_LBL_TITLE_1 1510
#define IDC_DL_LBL_COUNT 1511
#define IDC_PBR_DEFROSTING 1512
#define IDC_CMD_DOWNLOAD_CANCEL 1513
