// The installer's window titles, and the programs' dialog control ids taken
// from their resource headers. The two headers give some macro names
// (IDC_PROGRESS, some IDS_ ones) different values, so the installer's are
// read first and undefined before the uninstaller's; use the constants
// below, not the macros.
#pragma once

#include "resources/InstallerResource.h"

namespace vkp::e2e {

// The installer's message boxes' caption, its dialogs' titles and its trace log.
constexpr const char* kInstallerCaption = "VKPM200_Installer";
constexpr const char* kProgressTitle = "Installation Progress";
constexpr const char* kPortTitle = "Port Type";
constexpr const char* kInstallerTraceWin = "C:\\Temp\\VKP-M200_Installer.txt";
// Message box buttons.
constexpr unsigned kIdOk = 1, kIdYes = 6, kIdNo = 7;

// The installer's progress dialog.
constexpr unsigned kProgressBar = IDC_PROGRESS, kVersionText = IDC_VERSION, kTitleText = IDC_TITLE;
// The installer's port dialog.
constexpr unsigned kRadioCom1 = IDC_RADIO_COM1, kRadioCom2 = IDC_RADIO_COM2, kRadioCom3 = IDC_RADIO_COM3,
                   kRadioCom4 = IDC_RADIO_COM4, kRadioUsb = IDC_RADIO_USB, kRadioWlan = IDC_RADIO_WLAN;
constexpr unsigned kIpControl = IDC_IPADDRESS, kPortEdit = IDC_EDIT_PORT;

}  // namespace vkp::e2e

// Every macro that both headers define.
#undef IDC_PROGRESS
#undef IDS_MAKER
#undef IDS_GPD_FILE
#undef IDS_BUD_FILE
#undef IDS_UI_INI_FILE
#undef IDS_MODEL_TAG
#include "resources/UninstallerResource.h"

namespace vkp::e2e {

// The uninstaller's dialog.
constexpr unsigned kUninstallerProgressText = IDC_PROGRESS_TEXT, kUninstallButton = IDC_UNINSTALL,
                   kPrinterList = IDC_PRINTER_LIST;

}  // namespace vkp::e2e
