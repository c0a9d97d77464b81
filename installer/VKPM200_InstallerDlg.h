// "Installation Progress": the installer's main window. Its initialisation
// prepares the trace, the platform facts, the engine and the spooler, then
// starts the one worker thread that does the installation and ends the process.
#pragma once

#include <atomic>
#include <string>

#include "installer/InstallEngine.h"
#include "installer/Port_Dlg.h"
#include "platform/UniqueHandles.h"
#include "support/pure/CommandLine.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/SharedText.h"
#include "ui/WorkerThread.h"

namespace vkp {

class InstallerDlg : public ui::Dialog {
 public:
  InstallerDlg();
  ~InstallerDlg() override;

  bool PreTranslateMessage(MSG& msg) override;

  // The worker's two ways of choosing the port; each goes on to install.
  // Both return the exit code of the run.
  unsigned InstallWithPortDialog();
  unsigned InstallWithConfiguredPort();
  // The port of /port (with /ip and /tcpport), which overrides the configuration.
  unsigned InstallWithSwitchPort();

  CommandLineOptions switches;  // the deployment switches of this run

  // The body of the worker thread; tests put their own here.
  ui::WorkerEntry workerEntry;

  int nOSVersion = 2010;
  int bIs64Bit = 0;
  std::string strWork;
  std::atomic<int> bInstalling{0};
  std::atomic<int> bRemoving{0};
  InstallEngine engine;
  PortDlg portDlg;
  ui::ProgressBar progressBar;
  ui::SharedText strMessage;
  std::string strVersion;
  std::string strTitle;
  UniqueHandle worker;  // the worker thread, waited for before the dialog goes

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  bool Busy() const { return bInstalling != 0 || bRemoving != 0; }
  unsigned InstallForPort(int portType, int portNumber, const std::string& ipAddress);
  unsigned InstallOnStagedPackage(int portType, int portNumber, const std::string& ipAddress);
  // Returns only when installation may go on; otherwise ends the process.
  void CheckDifferentVersion();
  void ReplaceDifferentVersion();
};

}  // namespace vkp
