// Resource ids of the uninstaller.
#pragma once

#include "ModelStringIds.h"

// Uninstaller dialog
#define IDD_VKPM200_UNINSTALLER_DIALOG 102
#define IDC_PROGRESS_TEXT 1000
#define IDC_UNINSTALL 1001
#define IDC_PROGRESS 1002
#define IDC_PRINTER_LIST 1006

// String table (ids 1 to 20 in ModelStringIds.h)
#define IDS_HARDWARE_ID_2 14
#define IDS_MAKER 21
#define IDS_GPD_FILE 22
#define IDS_BUD_FILE 23
#define IDS_UI_INI_FILE 24
#define IDS_MODEL_TAG 25
