// Identifiers of the executable's resources. Plain macros, so that both the resource script
// and C++ code include this file without windows.h.
#pragma once

// String table (Polish language block; 55000 also in the neutral-default block).
#define IDS_OUTLOOK_NOT_DETECTED      129
#define IDS_FINISH_CAPTION            130
#define IDS_CLOSE_OUTLOOK_QUESTION    131
#define IDS_OTHER_LANGUAGE_EDITION    132
#define IDS_CLOSE_AND_START_OUTLOOK   134
#define IDS_NO_WORK_FOLDER            135
#define IDS_PAYLOAD_NOT_HELD          136
#define IDS_PAYLOAD_NOT_OURS          137
#define IDS_PAYLOAD_NOT_WRITTEN       138
#define IDS_WINDOWS_INSTALLER_PROMPT  55000

// Finish dialog template and its one control.
#define IDD_FINISH_SETUP              107
#define IDC_CLOSE_AND_START           1002

// Icon groups: the executable's own icon and the finish dialog's.
#define IDI_SETUP                     133
#define IDI_FINISH_DIALOG             1001

// Product packages ("MSI").
#define IDR_MSI_X86                   131
#define IDR_MSI_X64                   134

// Redistributables ("EXE").
#define IDR_VCREDIST_X64              147
#define IDR_VCREDIST_X86              148
#define IDR_WINDOWS_INSTALLER_31      55001

// Welcome page (RT_HTML), its style sheet ("CSS") and pictures ("GIF", "JPG").
#define IDR_WELCOME_PAGE              136
#define IDR_WELCOME_STYLE             137
#define IDR_GIF_STEP_1                138
#define IDR_GIF_STEP_2                139
#define IDR_JPG_BG_MAIN               140
#define IDR_GIF_MAIN_BULLET           141
#define IDR_JPG_TICK                  142
#define IDR_JPG_TITLE_ENC             143
#define IDR_JPG_IMG1                  144
#define IDR_JPG_IMG2                  145
#define IDR_JPG_IMG3                  146

// Campaign record ("VsR").
#define IDR_CAMPAIGN_RECORD           10
