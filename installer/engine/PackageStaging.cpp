// The package check: the driver's files come from the installer's folder,
// often one any user can write, and the spooler loads them as SYSTEM. They
// are copied first into a folder only the administrators can change, and
// each copy is read back there and compared with the digest that the
// (signed) installer carries. Every later step reads the package from there.
#include <string>
#include <vector>

#include "installer/InstallEngine.h"
#include "installer/engine/SystemFolders.h"
#include "installer/pure/PackageDigests.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "resources/InstallerResource.h"
#include "support/ExitCodes.h"
#include "support/StagedPackageFolder.h"
#include "support/SystemHelpers.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "support/pure/Sha256.h"
#include "ui/MessageBox.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {

// The SHA-256 of a file as it reads now; false when it cannot be read whole.
bool DigestOfFile(const std::string& path, Sha256Digest& digest) {
  UniqueFile file(Os().CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  Sha256 hash;
  char buffer[16384];
  for (;;) {
    DWORD read = 0;
    if (!Os().ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return false;
    if (read == 0) break;
    hash.Update(buffer, read);
  }
  digest = hash.Final();
  return true;
}

}  // namespace

unsigned InstallEngine::ReportPackageDamaged(const std::string& file, const char* traceText) {
  WriteTraceLog("%s : %s", traceText, file.c_str());
  std::string text = ui::LoadResourceString(IDS_PACKAGE_DAMAGED);
  const std::size_t mark = text.find("%s");
  if (mark != std::string::npos) text.replace(mark, 2, file);
  ui::ShowMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
  return kExitInstallFailed;
}

bool InstallEngine::StagePackage() {
  TraceScope trace("StagePackage");
  ReportStep("Checking the driver package...\r\n", false);
  const std::string installer = ui::LoadResourceString(IDS_INSTALLER_EXE);

  PackageDigests digests;
  std::string error;
  const std::string list = strPackageDigests.empty() ? ui::LoadResourceText(IDR_PACKAGE_DIGESTS) : strPackageDigests;
  if (list.empty()) {
    // A build without the list: nothing could be checked, so nothing is used.
    ReportPackageDamaged(installer, "PACKAGE DIGEST LIST MISSING");
    return false;
  }
  if (!digests.Parse(list, error)) {
    WriteTraceLog("PACKAGE DIGEST LIST UNREADABLE : %s", error.c_str());
    ReportPackageDamaged(installer, "PACKAGE DIGEST LIST UNREADABLE");
    return false;
  }

  char windowsDir[kPathSize];
  if (!ReadWindowsDirectory(windowsDir)) {
    ReportNotInstalled();
    return false;
  }
  // Made anew, with the administrators-only list: nothing an earlier run
  // left there, nor a link in its place, is kept.
  const std::string staged = StagedPackageFolder(windowsDir, ui::LoadResourceString(IDS_MODEL_NAME));
  strStagedDir = staged;
  const std::string driverFolder = DriverFolderName();
  if (!CreateDirectoryWithSA(staged.c_str()) ||
      (!Os().CreateDirectoryA((staged + "\\" + driverFolder).c_str(), nullptr) &&
       Os().GetLastError() != ERROR_ALREADY_EXISTS)) {
    WriteTraceLog("PACKAGE NOT STAGED : %s (%d)", staged.c_str(), static_cast<int>(Os().GetLastError()));
    RemoveStagedPackage();
    ReportNotInstalled();
    return false;
  }

  for (const PackageDigest& file : digests.NeededWith(driverFolder)) {
    const std::string source = strSourceDir + file.path;
    const std::string target = staged + "\\" + file.path;
    if (!Os().CopyFileA(source.c_str(), target.c_str(), FALSE)) {
      WriteTraceLog("CopyFile failed : %s (%d)", source.c_str(), static_cast<int>(Os().GetLastError()));
      RemoveStagedPackage();
      ReportPackageDamaged(file.path, "PACKAGE FILE MISSING");
      return false;
    }
    Sha256Digest digest{};
    if (!DigestOfFile(target, digest) || digest != file.digest) {
      RemoveStagedPackage();
      ReportPackageDamaged(file.path, "PACKAGE FILE MISMATCH");
      return false;
    }
    WriteTraceLog("PACKAGE FILE CHECKED : %s", target.c_str());
  }

  strSourceDir = staged + "\\";
  strDriverDir = strSourceDir + driverFolder + "\\";
  WriteTraceLog("PACKAGE STAGED : %s", strSourceDir.c_str());
  return true;
}

void InstallEngine::RemoveStagedPackage() {
  if (strStagedDir.empty()) return;
  DeleteDirectoryTree(strStagedDir);
  WriteTraceLog("PACKAGE COPY REMOVED : %s", strStagedDir.c_str());
  strStagedDir.clear();
}

void InstallEngine::EndRun(unsigned exitCode) {
  RemoveStagedPackage();
  Os().ExitProcess(exitCode);
}

}  // namespace vkp
