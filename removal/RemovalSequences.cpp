#include "removal/RemovalSequences.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Os.h"
#include "removal/RemovalEngine.h"
#include "resources/UninstallerResource.h"
#include "support/ExitCodes.h"
#include "support/SpoolerEnum.h"
#include "support/SystemHelpers.h"
#include "ui/ErrorBox.h"
#include "ui/Deployment.h"
#include "ui/RefreshMessage.h"
#include "ui/SystemText.h"
#include "ui/WorkerThread.h"

namespace vkp::removal {

namespace {

constexpr char kCompleted[] = "The uninstallation has been completed.";

void RunUninstallWorker(RemovalHost& host) {
  // A host without a list of its own gets one for the run.
  std::vector<std::string> ownList;
  struct ListBinding {
    RemovalHost& host;
    bool bound;
    ~ListBinding() {
      if (bound) host.listPrinterObjects = nullptr;
    }
  } binding{host, host.listPrinterObjects == nullptr};
  if (binding.bound) host.listPrinterObjects = &ownList;
  std::vector<std::string>& printers = *host.listPrinterObjects;
  RemovalEngine engine(host);

  printers.clear();
  host.LockButtons();
  host.CheckedPrinters(printers);

  const bool fullRemoval = host.nPrinterObjects == static_cast<int>(printers.size());
  if (host.nPrinterObjects != 0) {
    engine.ReportStep("Deleting printer-driver objects...", true, 1000);
    engine.RemovePrinterObjects();
  }

  unsigned exitCode = kExitSuccess;
  if (fullRemoval) {
    engine.ReportStep("Removing printer-drivers...", true, 1000);
    engine.RemoveFromOS();
    engine.DeleteVidPid();
    engine.Delete_USB_Info();
    engine.DeletePrnDrvPnPDirectory();
    engine.DeleteUninstallInfoFromReg();
    engine.DeleteInstalledDirectory();
    engine.RemoveInstallationLeftovers();
    const bool removed = engine.CheckFullyRemoved();
    engine.ReportDone(1000);
    printers.clear();

    if (ui::AskRestart()) {
      host.bBusy = 0;
      host.message.Set(kCompleted);
      ui::PostRefreshMessage();
      Os().Sleep(1000);
      const bool restarting = RestartWindows() != 0;
      Os().ExitProcess(!removed ? kExitInstallFailed : restarting ? kExitRestartStarted : kExitRestartNeeded);
      return;
    }
    exitCode = removed ? kExitRestartNeeded : kExitInstallFailed;
    host.RequestDialogClose();
  } else if (!engine.CheckPrintersRemoved(printers)) {
    exitCode = kExitInstallFailed;
  }

  host.message.Set(kCompleted);
  host.progress.SetPos(100);
  printers.clear();
  ui::PostRefreshMessage();
  host.bBusy = 0;
  Os().Sleep(2000);
  Os().ExitProcess(exitCode);
}

unsigned __stdcall UninstallThread(void* parameter) {
  RunUninstallWorker(*static_cast<RemovalHost*>(parameter));
  return 0;
}

}  // namespace

bool StartUninstallWorker(RemovalHost& host) {
  if (host.workerStarted.exchange(true)) return false;
  // Busy before the worker runs: the dialog must not close under its feet.
  host.bBusy = 1;
  host.worker.reset(ui::StartWorkerThread(&UninstallThread, &host));
  if (!host.worker) {
    host.bBusy = 0;
    host.workerStarted = false;
    return false;
  }
  return true;
}

void UninstallWorker(RemovalHost& host) {
  if (host.workerStarted.exchange(true)) return;
  RunUninstallWorker(host);
}

void RemoveInstalledDriver(RemovalHost& host) {
  RemovalEngine engine(host);
  engine.ReportStep("Deleting printer-objects...", true, 0);

  const SpoolerList printers = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
  });
  if (!printers.ok) {
    ui::ShowErrorBox("EnumPrinters Error Code: %d\n\n", printers.error, MB_ICONEXCLAMATION);
    Os().ExitProcess(kExitInstallFailed);
    return;
  }

  const std::string driverName = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME);
  host.strWork = driverName;
  const PRINTER_INFO_2A* items = printers.Items<PRINTER_INFO_2A>();
  for (DWORD i = 0; i < printers.count; ++i) {
    if (items[i].pDriverName == nullptr || items[i].pPrinterName == nullptr) continue;
    if (std::strcmp(items[i].pDriverName, driverName.c_str()) == 0) engine.DeletePrinterObject(items[i].pPrinterName);
  }
  engine.RemoveDrivers();
}

}  // namespace vkp::removal
