// String-table ids that both programs share (1 to 20); from 21 on each
// program numbers its entries itself.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDR_MAINFRAME 128

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
#define IDS_USBPRINT_KEY 15
#define IDS_INSTALLER_EXE 17
#define IDS_UNINSTALLER_EXE 18
#define IDS_UNINSTALL_KEY 20
