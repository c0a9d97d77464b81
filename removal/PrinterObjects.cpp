// Printer objects (with their jobs), the printer driver and the model's forms.
#include <cstring>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "removal/RemovalEngine.h"
#include "support/SpoolerEnum.h"
#include "support/SystemPrograms.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp::removal {

namespace {
constexpr DWORD kNameSize = 256;
constexpr char kPrintersKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
}  // namespace

void RemovalEngine::RemovePrinterObjects() {
  TraceScope trace("RemovePrinterObjects");
  if (host_.listPrinterObjects != nullptr) {
    for (const std::string& name : *host_.listPrinterObjects) {
      WriteTraceLog("OBJECT NAME : %s", name.c_str());
      DeletePrinterObject(name.c_str());
    }
  }
  RestartSpooler();
}

void RemovalEngine::DeletePrinterObject(const char* printerName) {
  char name[kNameSize] = "";
  CopyBounded(name, printerName);
  char dataType[] = "raw";
  PRINTER_DEFAULTSA defaults{dataType, nullptr, PRINTER_ALL_ACCESS};
  HANDLE opened = nullptr;
  if (!Os().OpenPrinterA(name, &opened, &defaults)) return;
  UniquePrinter printer(opened);
  CancelPrinterJobs(printer.get());
  Os().DeletePrinter(printer.get());
}

void RemovalEngine::CancelPrinterJobs(HANDLE printer) {
  const SpoolerList jobs = EnumerateTwice([printer](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumJobsA(printer, 0, 1000, 3, buffer, size, needed, count);
  });
  const JOB_INFO_3* items = jobs.Items<JOB_INFO_3>();
  for (DWORD i = 0; i < jobs.count; ++i) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    Os().GetVersionExA(&version);
    // Windows 9x and NT 3.x know only cancelling.
    const DWORD command = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS || version.dwMajorVersion < 4
                              ? JOB_CONTROL_CANCEL
                              : JOB_CONTROL_DELETE;
    Os().SetJobA(printer, items[i].JobId, 0, nullptr, command);
  }
  if (jobs.count > 0) Os().Sleep(1000);
}

int RemovalEngine::DeletePrinterDrv(const char* modelName) {
  TraceScope trace("DeletePrinterDrv");
  const bool uninstaller = IsUninstaller();
  if (uninstaller) ReportStep("Deleting printer-drivers...", false, 100);

  char driverName[kNameSize] = "";
  CopyBounded(driverName, Load(host_.ids.maker).c_str());
  AppendBounded(driverName, " ");
  AppendBounded(driverName, modelName);

  std::vector<const char*> refused;
  for (const char* environment : Environments()) {
    if (Os().DeletePrinterDriverExA(nullptr, const_cast<char*>(environment), driverName,
                                    DPD_DELETE_UNUSED_FILES, 3))
      continue;
    const DWORD error = Os().GetLastError();
    // An environment the model was never registered in had nothing to delete.
    if (error == ERROR_UNKNOWN_PRINTER_DRIVER || !DriverRegisteredIn(environment, driverName)) continue;
    refused.push_back(environment);
    if (uninstaller) WriteTraceLog("DeletePrinterDriverEx returned FALSE. (%d)", static_cast<int>(error));
  }

  int result = 1;
  if (!refused.empty()) {
    // The spooler refused: take the registrations out of the registry.
    bool keysGone = true;
    for (const char* environment : refused) keysGone = DeleteMachineKey(DriverKey(environment, driverName).c_str()) && keysGone;
    // The printer named like the driver goes too, but only when it is one of
    // the model's: another driver's printer of that name is not ours to take.
    char printerKey[kNameSize] = "";
    CopyBounded(printerKey, kPrintersKey);
    AppendBounded(printerKey, driverName);
    if (MachineValueIs(printerKey, "Printer Driver", driverName)) keysGone = DeleteMachineKey(printerKey) && keysGone;
    result = keysGone ? 1 : 0;
  }

  RestartSpooler();
  return result;
}

void RemovalEngine::DeleteForms() {
  TraceScope trace("DeleteForms");
  if (IsUninstaller()) ReportStep("Deleting forms...", false, 100);

  HANDLE opened = nullptr;
  Os().OpenPrinterA(nullptr, &opened, nullptr);
  UniquePrinter server(opened);
  {
    const SpoolerList forms = EnumerateTwice([&server](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
      return Os().EnumFormsA(server.get(), 1, buffer, size, needed, count);
    });
    char tag[kNameSize] = "";
    CopyBounded(tag, Load(host_.ids.modelTag).c_str());
    const FORM_INFO_1A* items = forms.Items<FORM_INFO_1A>();
    for (DWORD i = 0; i < forms.count; ++i) {
      if (items[i].pName == nullptr || std::strstr(items[i].pName, tag) == nullptr) continue;
      Os().DeleteFormA(server.get(), items[i].pName);
      WriteTraceLog("FORM NAMES : %s ", items[i].pName);
    }
  }
  server.reset();
}

}  // namespace vkp::removal
