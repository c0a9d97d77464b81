// Resource ids of the uninstaller.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDR_MAINFRAME 128

// Uninstaller dialog
#define IDD_VKPM200_UNINSTALLER_DIALOG 102
#define IDC_PROGRESS_TEXT 1000
#define IDC_UNINSTALL 1001
#define IDC_PROGRESS 1002
#define IDC_PRINTER_LIST 1006

// String table
#define IDS_MODEL_NAME 1
#define IDS_MODEL_DISPLAY_NAME 2
#define IDS_MONITOR_NAME 3
#define IDS_PROCESSOR_NAME 4
#define IDS_DRIVER_DLL 5
#define IDS_MONITOR_DLL 6
#define IDS_PROCESSOR_DLL 7
#define IDS_UI_DLL 8
#define IDS_UNI_DLL 9
#define IDS_INF_NAME 11
#define IDS_USB_ID 12
#define IDS_HARDWARE_ID 13
#define IDS_HARDWARE_ID_2 14
#define IDS_USBPRINT_KEY 15
#define IDS_INSTALLER_EXE 17
#define IDS_UNINSTALLER_EXE 18
#define IDS_UNINSTALL_KEY 20
#define IDS_MAKER 21
#define IDS_GPD_FILE 22
#define IDS_BUD_FILE 23
#define IDS_UI_INI_FILE 24
#define IDS_MODEL_TAG 25
