#include "uninstaller/VKPM200_UninstallerDlg.h"

#include <cstring>

#include "support/DriverPresence.h"
#include "support/ExitCodes.h"
#include "support/SpoolerEnum.h"
#include "platform/Os.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalSequences.h"
#include "resources/UninstallerResource.h"
#include "support/SystemProbes.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"
#include "ui/App.h"
#include "ui/BusyState.h"
#include "ui/Deployment.h"
#include "ui/ErrorBox.h"
#include "ui/MinimisedIcon.h"
#include "ui/MessageBox.h"
#include "ui/RefreshMessage.h"
#include "ui/SystemText.h"

namespace vkp {

namespace {
constexpr UINT_PTR kStartTimer = 1;
}  // namespace

UninstallerDlg::UninstallerDlg()
    : ui::Dialog(IDD_VKPM200_UNINSTALLER_DIALOG),
      host(removal::Variant::Uninstaller, strProgress, progressBar) {
  RegisterOwnerDrawn(IDC_PRINTER_LIST, &checkList);
}

UninstallerDlg::~UninstallerDlg() = default;

void UninstallerDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(IDC_PROGRESS, progressBar);
  std::string progress = strProgress.Get();
  dx.Text(IDC_PROGRESS_TEXT, progress);
}

BOOL UninstallerDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  checkList.SubclassWindow(Item(IDC_PRINTER_LIST));
  UseIcon(IDR_MAINFRAME);

  InitTraceLog();
  bIs64Bit = IsWow64();
  nOSVersion = CheckOS();
  host.bIs64Bit = bIs64Bit;
  host.nOSVersion = nOSVersion;
  host.dialog = Hwnd();
  host.listPrinterObjects = &listPrinterObjects;

  nPrinterObjects = 0;
  host.bBusy = 0;
  progressBar.SetRange(0, 100);
  progressBar.SetStep(10);
  const std::string title = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME) + " Uninstaller";
  SetWindowTextA(Hwnd(), title.c_str());
  SetTimer(Hwnd(), kStartTimer, 1, nullptr);
  return TRUE;
}

void UninstallerDlg::InitPrinterList() {
  listPrinterObjects.clear();
  checkList.ResetContent();
  EnableItem(IDCANCEL, true);

  nPrinterObjects = AddPrinterObjectsToList();
  host.nPrinterObjects = nPrinterObjects;
  if (nPrinterObjects < 0) {
    Os().ExitProcess(kExitInstallFailed);  // the error was shown
    return;
  }
  if (nPrinterObjects > 0) {
    EnableItem(IDC_UNINSTALL, false);
    for (const std::string& name : listPrinterObjects) checkList.AddString(name);
    if (checkList.GetCount() == 0) return;
    for (int row = 0; row < checkList.GetCount(); ++row) checkList.SetCheck(row, 1);
    EnableItem(IDC_UNINSTALL, true);
    // Unattended: everything stays checked and Uninstall is pressed.
    if (ui::CurrentDeployment().Unattended()) StartUninstall();
    return;
  }
  strWork = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME);
  if (PrinterDrvExist(strWork.c_str()) || removal::RemovalEngine(host).PartsLeftWithoutTheDriver()) {
    EnableItem(IDCANCEL, false);
    host.bBusy = 1;
    StartUninstall();
    return;
  }
  strWork = "The " + ui::LoadResourceString(IDS_MODEL_NAME) + " driver does not exist on this system.";
  ui::ShowMessageBox(strWork.c_str(), MB_OK | MB_ICONINFORMATION);
  removal::RemovalEngine engine(host);
  engine.DeleteUninstallInfoFromReg();
  // What a removal ended half-way after the INF store may have left.
  engine.DeleteVidPid();
  engine.Delete_USB_Info();
  engine.DeletePrnDrvPnPDirectory();
  engine.RemoveInstallationLeftovers();
  Os().ExitProcess(0);
}

int UninstallerDlg::AddPrinterObjectsToList() {
  TraceScope trace("AddPrinterObjectsToList");
  const SpoolerList list = EnumerateTwice([](BYTE* buffer, DWORD size, DWORD* needed, DWORD* count) {
    return Os().EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, count);
  });
  if (!list.ok) {
    ui::ShowErrorBox("EnumPrinters Error Code: %d\n\n", list.error, MB_OK | MB_ICONEXCLAMATION);
    return -1;
  }
  strWork = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME);
  const auto* printers = list.Items<PRINTER_INFO_2A>();
  for (DWORD i = 0; i < list.count; ++i) {
    if (printers[i].pDriverName != nullptr && printers[i].pPrinterName != nullptr &&
        std::strcmp(printers[i].pDriverName, strWork.c_str()) == 0)
      listPrinterObjects.insert(listPrinterObjects.begin(), printers[i].pPrinterName);
  }
  WriteTraceLog("The number of printer-objects : %d", static_cast<int>(listPrinterObjects.size()));
  return static_cast<int>(listPrinterObjects.size());
}

int UninstallerDlg::PrinterDrvExist(const char* name) {
  TraceScope trace("PrinterDrvExist");
  return ModelDriverListed(name, bIs64Bit != 0) ? 1 : 0;
}

void UninstallerDlg::StartUninstall() {
  // At once, so that a quick second click cannot ask for a second worker.
  EnableItem(IDC_UNINSTALL, false);
  if (removal::StartUninstallWorker(host) || host.workerStarted) return;
  const DWORD error = Os().GetLastError();
  WriteTraceLog("The worker thread could not be started. (%d)", static_cast<int>(error));
  ui::ShowErrorBox("CreateThread, Error Code: %d\n\n", error);
  Os().ExitProcess(kExitInstallFailed);
}

void UninstallerDlg::OnCheckChange() {
  if (host.bBusy != 0) return;  // the removal runs: Uninstall stays disabled
  bool anyChecked = false;
  for (int row = 0; row < checkList.GetCount() && !anyChecked; ++row) anyChecked = checkList.GetCheck(row) != 0;
  EnableItem(IDC_UNINSTALL, anyChecked);
}

bool UninstallerDlg::PreTranslateMessage(MSG& msg) {
  ui::ShowBusyState(Hwnd(), host.bBusy != 0);
  if (host.bBusy != 0 && msg.wParam == VK_ESCAPE) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool UninstallerDlg::OnCommand(WORD id, WORD code, HWND) {
  if (id == IDC_UNINSTALL && code == BN_CLICKED) {
    StartUninstall();
    return true;
  }
  if (id == IDC_PRINTER_LIST && code == ui::kCheckChange) {
    OnCheckChange();
    return true;
  }
  return false;
}

// Enter on the default button is Uninstall; while the removal runs nothing
// but the worker ends the dialog.
void UninstallerDlg::OnOK() {
  if (host.bBusy != 0) return;
  if (IsWindowEnabled(Item(IDC_UNINSTALL))) StartUninstall();
}

void UninstallerDlg::OnCancel() {
  if (host.bBusy != 0) return;
  ui::Dialog::OnCancel();
}

bool UninstallerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam != kStartTimer) return false;
      KillTimer(Hwnd(), kStartTimer);
      InitPrinterList();
      result = 0;
      return true;
    case ui::kRefreshMessage:
      UpdateData(false);
      result = 0;
      return true;
    case removal::kCloseRequestMessage:
      EndDialog(IDOK);
      result = 0;
      return true;
    default:
      return ui::HandleIconMessage(Hwnd(), Icon(), message, result);
  }
}

}  // namespace vkp
