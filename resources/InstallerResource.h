// Resource ids of the installer.
#pragma once

#include "ModelStringIds.h"

// Installation progress dialog
#define IDD_VKPM200_INSTALLER_DIALOG 102
#define IDC_PROGRESS 1000
#define IDC_VERSION 1001
#define IDC_TITLE 1002
#define IDC_MESSAGE 1003

// Port selection dialog
#define IDD_PORT_DIALOG 129
#define IDC_RADIO_USB 1001
#define IDC_IPADDRESS 1003
#define IDC_EDIT_PORT 1005
#define IDC_RADIO_COM1 1006
#define IDC_RADIO_WLAN 1007
#define IDC_RADIO_COM2 1008
#define IDC_RADIO_COM3 1009
#define IDC_RADIO_COM4 1011

// String table (ids 1 to 20 in ModelStringIds.h)
#define IDS_VERSION_MAJOR 21
#define IDS_VERSION_MINOR 22
#define IDS_VERSION_BUILD 23
#define IDS_VERSION_EXTRA 24
#define IDS_MAKER 25
#define IDS_GPD_FILE 26
#define IDS_BUD_FILE 27
#define IDS_UI_INI_FILE 28
#define IDS_MODEL_TAG 29
#define IDS_PACKAGE_DAMAGED 30

// The package's digest list (RCDATA), which the build embeds when it has one
#define IDR_PACKAGE_DIGESTS 200
