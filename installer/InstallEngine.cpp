#include "installer/InstallEngine.h"

#include "platform/Os.h"
#include "resources/InstallerResource.h"
#include "support/SpoolerEnvironments.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/ProgressReport.h"
#include "ui/SystemText.h"

namespace vkp {

InstallEngine::InstallEngine()
    : strMaker(ui::LoadResourceString(IDS_MAKER)),
      strModelName(ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME)),
      strINFName(ui::LoadResourceString(IDS_INF_NAME)),
      strMonitorName(ui::LoadResourceString(IDS_MONITOR_NAME)),
      strProcessorDLL(ui::LoadResourceString(IDS_PROCESSOR_DLL)),
      strMonitorDLL(ui::LoadResourceString(IDS_MONITOR_DLL)),
      strProcessorName(ui::LoadResourceString(IDS_PROCESSOR_NAME)),
      strDriverDLL(ui::LoadResourceString(IDS_DRIVER_DLL)),
      strUIDLL(ui::LoadResourceString(IDS_UI_DLL)),
      strUniDLL(ui::LoadResourceString(IDS_UNI_DLL)) {}

InstallEngine::~InstallEngine() = default;

void InstallEngine::SetSystemInfo(int is64Bit, int osVersion) {
  TraceScope trace("SetSystemInfo");
  bIs64Bit = is64Bit;
  nOSVersion = osVersion;
  // Full source paths: the trace names the files read, and printui is started
  // in the system directory.
  char folder[MAX_PATH];
  const DWORD length = Os().GetCurrentDirectoryA(MAX_PATH, folder);
  strSourceDir = length > 0 && length < MAX_PATH ? folder : "";
  if (!strSourceDir.empty() && strSourceDir.back() != '\\') strSourceDir += '\\';
  strConfigDir = strSourceDir;
  strEnvironment = bIs64Bit ? kEnvironmentX64 : kEnvironmentX86;
  strDriverDir = strSourceDir + DriverFolderName() + "\\";
  WriteTraceLog("ENV : %s, DRV DIR : %s ", strEnvironment.c_str(), strDriverDir.c_str());
}

void InstallEngine::SetControlPointers(ui::SharedText& message, ui::ProgressBar& progress) {
  TraceScope trace("SetControlPointers");
  pMessage = &message;
  pProgress = &progress;
}

void InstallEngine::ReportStep(const char* text, bool pause) {
  ui::ReportProgress(pMessage, pProgress, text, ui::BarChange::Step, pause ? 500 : 0);
}

void InstallEngine::ReportFinal(const char* text) {
  ui::ReportProgress(pMessage, pProgress, text, ui::BarChange::End, 0);
}

}  // namespace vkp
