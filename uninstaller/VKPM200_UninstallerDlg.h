// "NORVEKA VKP-M200 Uninstaller": lists the printer objects of the model's
// driver, all checked, and removes the checked ones (and, when all are
// checked, the driver with everything that belongs to it) on a worker.
#pragma once

#include <string>
#include <vector>

#include "removal/RemovalHost.h"
#include "ui/CheckListBox.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/SharedText.h"

namespace vkp {

class UninstallerDlg : public ui::Dialog {
 public:
  UninstallerDlg();
  ~UninstallerDlg() override;

  bool PreTranslateMessage(MSG& msg) override;

  void InitPrinterList();
  int AddPrinterObjectsToList();
  int PrinterDrvExist(const char* name);
  void StartUninstall();
  void OnCheckChange();

  int nOSVersion = 2010;
  int bIs64Bit = 0;
  std::string strWork;
  std::vector<std::string> listPrinterObjects;
  int nPrinterObjects = 0;
  ui::SharedText strProgress;
  ui::ProgressBar progressBar;
  ui::CheckListBox checkList;
  removal::RemovalHost host;  // bBusy lives here, shared with the worker

  // True once a worker was started (the process then ends through it).
  bool WorkerStarted() const { return host.workerStarted; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;
};

}  // namespace vkp
