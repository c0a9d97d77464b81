// What the removal steps share with the program whose dialog runs them: the
// platform facts, the text and bar that show progress, and the model
// constants whose string ids differ between the two programs. Each program's
// dialog owns one host (one per process) and fills it at initialisation.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/UniqueHandles.h"
#include "platform/WinHeaders.h"
#include "ui/Controls.h"
#include "ui/SharedText.h"

namespace vkp::removal {

// Which program's copy of the steps runs: the uninstaller's full removal or
// the installer's quieter one (fewer texts and trace lines, no retries).
enum class Variant { Installer, Uninstaller };

// The five string-table entries whose ids differ between the programs.
struct ModelStringIds {
  UINT maker;
  UINT gpdFile;
  UINT budFile;
  UINT uiIniFile;
  UINT modelTag;
};
// Each from its program's resource header (the two number the same names
// differently, so no file can include both).
extern const ModelStringIds kInstallerStringIds;
extern const ModelStringIds kUninstallerStringIds;

// The uninstaller's worker posts this to the application's main window when
// the dialog must close (the user declined the restart): the dialog ends its
// modal run with IDOK on its own thread. The process must not end there: the
// worker ends it 2 seconds after its final message.
inline constexpr UINT kCloseRequestMessage = WM_USER + 2;

struct RemovalHost {
  RemovalHost(Variant programVariant, ui::SharedText& messageText, ui::ProgressBar& progressBar)
      : variant(programVariant),
        ids(programVariant == Variant::Installer ? kInstallerStringIds : kUninstallerStringIds),
        message(messageText),
        progress(progressBar) {}
  RemovalHost(const RemovalHost&) = delete;
  RemovalHost& operator=(const RemovalHost&) = delete;

  const Variant variant;
  const ModelStringIds ids;
  int bIs64Bit = 0;       // WOW64: the "Windows x64" environment and the 64-bit registry view
  int nOSVersion = 2010;  // CheckOS code; 2007 and above is Vista or later
  std::string strWork;    // scratch for string-table loads
  ui::SharedText& message;
  ui::ProgressBar& progress;

  // What the uninstaller's removal needs from its dialog, called on the worker.
  // The checked rows of the check list (a row's item data holds its check),
  // each put at the head: `names` ends up in reverse row order.
  void CheckedPrinters(std::vector<std::string>& names) const;
  void LockButtons() const;  // Uninstall and Cancel, for the rest of the run
  // The dialog belongs to its own thread: ask it to close there.
  void RequestDialogClose() const;

  // Uninstaller only.
  HWND dialog = nullptr;  // the uninstaller's dialog: Uninstall, Cancel, the check list
  std::vector<std::string>* listPrinterObjects = nullptr;
  int nPrinterObjects = 0;      // printer objects found when the list was filled
  std::atomic<int> bBusy{0};    // read by the dialog's message filter
  std::atomic<bool> workerStarted{false};  // one worker per process
  UniqueHandle worker;                     // its thread, waited for before the dialog goes
};

}  // namespace vkp::removal
