// Identifiers of the control library's resources, shared by the resource script and the code.
#pragma once

#define IDB_ZORVEX 101
#define IDD_ZORVEX 103

#define IDC_START 202
#define IDC_PROGRESS 203
#define IDC_SECOND 204
#define IDC_REMAIN 206
#define IDC_TARGET 207
#define IDC_FILELIST 210
#define IDC_STATUS 212
#define IDC_FILECOUNT 213
#define IDC_ENDTIME 214

#define IDS_PROJNAME 100
#define IDS_TARGET 101
#define IDS_START 102
#define IDS_CLEAR 103
#define IDS_CANCEL 104
#define IDS_FILECOUNT 105
#define IDS_CANCEL_ACCEPTED 106
#define IDS_UPLOADING 107
#define IDS_CONNECTING 108
#define IDS_WAITING 109
#define IDS_COMPLETE 110
#define IDS_CANCELLED 111
#define IDS_SEND_ERROR 112
#define IDS_REMAIN_TIME 113
#define IDS_SERVER_ERROR 114
#define IDS_CONNECT_ERROR 115
#define IDS_SIZE_OVER 116
#define IDS_URL_ERROR 117
#define IDS_PREPARING 118
#define IDS_DROPPING 119
#define IDS_ACCESS_ERROR 120
#define IDS_EMPTY_FILE 121
#define IDS_SECURITY 122
