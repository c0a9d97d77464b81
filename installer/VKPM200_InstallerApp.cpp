// Start-up of VKPM200_Installer: one instance at a time; a second start only
// brings the first one's window forward.
#include "installer/VKPM200_InstallerDlg.h"
#include "platform/Compat.h"
#include "support/ProgramFolder.h"
#include "ui/App.h"

namespace vkp {

// Shared by every process of this program file: the start counter and the
// titles a second start looks for (port dialog, progress dialog, message box).
VKP_SHARED_SECTION_BEGIN
volatile LONG nInstanceCount VKP_SHARED_VAR = 0;
char strPortDialogTitle[16] VKP_SHARED_VAR = "Port Type";
char strProgressDialogTitle[32] VKP_SHARED_VAR = "Installation Progress";
char strMessageBoxTitle[32] VKP_SHARED_VAR = "VKPM200_Installer";
VKP_SHARED_SECTION_END

class InstallerApp : public ui::App {
 public:
  bool InitInstance() override {
    // No ActiveX controls are hosted and the three-dimensional control look is
    // the system's own: there is nothing to switch on for either.
    // The installer's files are next to it, wherever it was started from.
    EnterProgramFolder();
    if (!FirstStart(nInstanceCount, {strPortDialogTitle, strProgressDialogTitle, strMessageBoxTitle})) return false;
    InstallerDlg dialog;
    if (!TakeSwitches(ProgramKind::Installer, dialog.switches)) return false;
    if (dialog.switches.quiet) dialog.KeepHidden();
    dialog.BecomeMainWindowOnCreate();
    RunMainDialog(dialog);
    return false;  // the dialog was closed before the worker ended the process
  }
};

InstallerApp theApp;

}  // namespace vkp
