// Identifiers of the add-in's resources and dialog controls, shared by the resource script and
// the dialogs' code. The resource compiler reads only preprocessor constants, hence the macros.
#pragma once

// Icons
#define IDI_QUILLORA 100
#define IDI_ADD 110
#define IDI_ADDALL 111
#define IDI_REMOVEALL 112
#define IDI_REMOVE 113
#define IDI_UP 114
#define IDI_DOWN 115

// frmWildcards
#define IDD_WILDCARDS 200
#define IDC_LBL_AVAILABLE 201
#define IDC_LVW_AVAILABLE 202
#define IDC_LBL_SELECTED 203
#define IDC_LVW_SELECTED 204
#define IDC_CMD_ADD 205
#define IDC_CMD_ADDALL 206
#define IDC_CMD_REMOVEALL 207
#define IDC_CMD_REMOVE 208
#define IDC_CMD_UP 209
#define IDC_CMD_DOWN 210

// frmTemplate
#define IDD_TEMPLATE 300
#define IDC_TPL_ICON 301
#define IDC_TPL_LBL_NAME 302
#define IDC_LBL_TEMPLATENAME 303
#define IDC_TXT_NAME 304
#define IDC_LBL_PATH 305
#define IDC_TXT_PATH 306
#define IDC_CMD_FILE 307

// frmShowError
#define IDD_SHOWERROR 400
#define IDC_LBL_HEAD 401
#define IDC_TXT_ERROR 402
#define IDC_CMD_SEND 403

// frmInfo
#define IDD_INFO 500
#define IDC_INFO_ICON 501
#define IDC_INFO_LBL_NAME 502
#define IDC_LBL_VERSION 503
#define IDC_LBL_C 504
#define IDC_LBL_EMAIL 505
#define IDC_LBL_HOMEPAGE 506

// frmCheckWildcards
#define IDD_CHECKWILDCARDS 600
#define IDC_LVW_PROBLEMS 601
#define IDC_CMD_GOTO 602
#define IDC_CMD_REPAIR 603
#define IDC_LBL_RESULT 604
