// Identifiers of the ui tests' own resources.
#pragma once

#define IDD_UI_TEST 100
#define IDC_UI_BUTTON 1002
#define IDC_UI_LABEL 1003
#define IDR_UI_JPEG 201
#define IDR_UI_GIF 202
