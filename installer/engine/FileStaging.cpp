#include <cstddef>
#include <string>

#include "installer/InstallEngine.h"
#include "installer/engine/SystemFolders.h"
#include "platform/Os.h"
#include "resources/InstallerResource.h"
#include "support/BoundedText.h"
#include "support/PathSize.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

struct StagedFile {
  std::string name;
  bool retried;     // goes through CopyFileErrorHandler when the copy fails
  bool secondCopy;  // also copied into the Windows directory on 32-bit releases before Vista
};

// directory + "\" + name, cut at the buffer's end.
void JoinPath(char (&path)[kPathSize], const char* directory, const char* name) {
  CopyBounded(path, directory);
  AppendBounded(path, "\\");
  AppendBounded(path, name);
}

}  // namespace

void InstallEngine::CopyFilesNeededToAddPrnDrv() {
  TraceScope trace("CopyFilesNeededToAddPrnDrv");
  ReportStep("Copying files...\r\n");

  char windowsDir[kPathSize];
  char driverDir[kPathSize];
  const bool haveWindowsDir = ReadWindowsDirectory(windowsDir);
  if (!DriverDirectory(driverDir)) {
    WriteTraceLog("No printer-driver directory: no file staged");
    return;
  }
  // 32-bit Windows before Vista also loads the plug-ins from the Windows directory.
  const bool wantSecondCopies = bIs64Bit == 0 && nOSVersion < 2007;
  if (wantSecondCopies && !haveWindowsDir) WriteTraceLog("No Windows directory: no second copies");

  strWork = ui::LoadResourceString(IDS_UI_INI_FILE);
  const std::string iniFile = strWork;
  strWork = ui::LoadResourceString(IDS_GPD_FILE);
  const std::string gpdFile = strWork;
  const StagedFile files[] = {
      {"UNIDRV.DLL", false, false},   {"UNIDRVUI.DLL", false, false}, {"UNIDRV.HLP", false, false},
      {"UNIRES.DLL", false, false},   {strDriverDLL, true, true},     {strUIDLL, true, true},
      {strUniDLL, true, true},        {iniFile, true, true},          {gpdFile, true, true},
      {"STDNAMES.GPD", true, false},
  };

  for (const StagedFile& file : files) {
    char source[kPathSize];
    CopyBounded(source, strDriverDir.c_str());
    AppendBounded(source, file.name.c_str());
    char target[kPathSize];
    JoinPath(target, driverDir, file.name.c_str());

    const BOOL copied = Os().CopyFileA(source, target, FALSE);
    const DWORD error = copied ? ERROR_SUCCESS : Os().GetLastError();
    WriteTraceLog("FILE SRC : %s", source);
    if (!copied && file.retried) CopyFileErrorHandler(source, target, error);

    if (file.secondCopy && wantSecondCopies && haveWindowsDir) {
      char secondTarget[kPathSize];
      JoinPath(secondTarget, windowsDir, file.name.c_str());
      const BOOL secondCopied = Os().CopyFileA(source, secondTarget, FALSE);
      const DWORD secondError = secondCopied ? ERROR_SUCCESS : Os().GetLastError();
      WriteTraceLog("FILE SRC : %s", source);
      if (!secondCopied) CopyFileErrorHandler(source, secondTarget, secondError);
    }
  }
}

void InstallEngine::CopyFilesOfUtilities() {
  TraceScope trace("CopyFilesOfUtilities");

  char windowsDir[kPathSize];
  char systemDir[kPathSize];
  const bool haveWindowsDir = ReadWindowsDirectory(windowsDir);
  const bool haveSystemDir = ReadSystemDirectory(systemDir);

  strWork = ui::LoadResourceString(IDS_MODEL_NAME);
  char installDir[kPathSize] = "";
  if (haveWindowsDir) {
    JoinPath(installDir, windowsDir, strWork.c_str());
    CreateDirectoryWithSA(installDir);
  } else {
    WriteTraceLog("No Windows directory: the installation directory is not made");
  }

  strWork = ui::LoadResourceString(IDS_UNINSTALLER_EXE);
  const std::string uninstaller = strWork;
  const char kConfigFile[] = "VKPM200_Config.ZEM";
  struct UtilityCopy {
    const std::string& from;  // the package, or (the configuration, the user's data) the installer's folder
    const char* source;
    const char* directory;  // empty: unknown, the copy is skipped
  };
  const UtilityCopy copies[] = {
      {strSourceDir, uninstaller.c_str(), installDir},
      {strConfigDir, kConfigFile, installDir},
      {strConfigDir, kConfigFile, haveSystemDir ? systemDir : ""},
  };

  for (const UtilityCopy& copy : copies) {
    if (copy.directory[0] == '\0') {
      WriteTraceLog("No target directory: %s not copied", copy.source);
      continue;
    }
    char target[kPathSize];
    JoinPath(target, copy.directory, copy.source);
    const std::string source = copy.from + copy.source;
    const BOOL copied = Os().CopyFileA(source.c_str(), target, FALSE);
    const DWORD error = copied ? ERROR_SUCCESS : Os().GetLastError();
    WriteTraceLog("FILE SRC : %s", source.c_str());
    if (!copied) CopyFileErrorHandler(source.c_str(), target, error);
  }
}

}  // namespace vkp
