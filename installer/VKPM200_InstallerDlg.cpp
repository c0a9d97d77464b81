#include "installer/VKPM200_InstallerDlg.h"

#include "installer/InstallThread.h"
#include "platform/Os.h"
#include "resources/InstallerResource.h"
#include "support/SystemPrograms.h"
#include "support/ExitCodes.h"
#include "support/SystemProbes.h"
#include "support/TraceLog.h"
#include "ui/App.h"
#include "ui/BusyState.h"
#include "ui/ErrorBox.h"
#include "ui/MinimisedIcon.h"
#include "ui/RefreshMessage.h"
#include "ui/SystemText.h"

namespace vkp {

InstallerDlg::InstallerDlg()
    : ui::Dialog(IDD_VKPM200_INSTALLER_DIALOG),
      workerEntry(&InstallThread) {}

// The worker uses the dialog's members until it ends the process.
InstallerDlg::~InstallerDlg() {
  if (worker) Os().WaitForSingleObject(worker.get(), INFINITE);
}

void InstallerDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(IDC_PROGRESS, progressBar);
  std::string message = strMessage.Get();
  dx.Text(IDC_MESSAGE, message);
  dx.Text(IDC_VERSION, strVersion);
  dx.Text(IDC_TITLE, strTitle);
}

BOOL InstallerDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  UseIcon(IDR_MAINFRAME);

  InitTraceLog();
  bIs64Bit = IsWow64();
  nOSVersion = CheckOS();
  engine.SetSystemInfo(bIs64Bit, nOSVersion);
  engine.SetControlPointers(strMessage, progressBar);

  strVersion = "Driver Version: V" + ui::LoadResourceString(IDS_VERSION_MAJOR) + "." +
               ui::LoadResourceString(IDS_VERSION_MINOR) + "." +
               ui::LoadResourceString(IDS_VERSION_BUILD);
  strTitle = ui::LoadResourceString(IDS_MODEL_DISPLAY_NAME);

  StartSpoolerAndWait();

  bInstalling = 0;
  bRemoving = 0;
  ui::PostRefreshMessage();

  progressBar.SetRange(0, 100);
  progressBar.SetStep(9);

  // Busy before the worker runs: a key handled in between must not end the
  // dialog (and the process) under the worker's feet.
  bInstalling = 1;
  worker.reset(ui::StartWorkerThread(workerEntry, this));
  if (!worker) {
    const DWORD error = Os().GetLastError();
    WriteTraceLog("The worker thread could not be started. (%d)", static_cast<int>(error));
    ui::ShowErrorBox("CreateThread, Error Code: %d\n\n", error);
    Os().ExitProcess(kExitInstallFailed);
  }
  return TRUE;
}

bool InstallerDlg::PreTranslateMessage(MSG& msg) {
  ui::ShowBusyState(Hwnd(), Busy());
  if (bInstalling != 0 && msg.wParam == VK_ESCAPE) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

// While the worker is busy only the worker may end the installer: Enter,
// Escape, the Close command and Alt+F4 all arrive here and are ignored.
void InstallerDlg::OnOK() {
  if (Busy()) return;
  ui::Dialog::OnOK();
}

void InstallerDlg::OnCancel() {
  if (Busy()) return;
  ui::Dialog::OnCancel();
}

bool InstallerDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  switch (message) {
    case ui::kRefreshMessage:
      UpdateData(false);
      result = 0;
      return true;
    default:
      return ui::HandleIconMessage(Hwnd(), Icon(), message, result);
  }
}

}  // namespace vkp
