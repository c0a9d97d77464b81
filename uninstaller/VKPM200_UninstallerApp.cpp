// Start-up of VKPM200_Uninstaller: one instance at a time; a second start
// only brings the first one's window forward.
#include "platform/Compat.h"
#include "platform/Os.h"
#include "support/ExitCodes.h"
#include "ui/App.h"
#include "uninstaller/VKPM200_UninstallerDlg.h"

namespace vkp {

// Shared by every process of this program file: the start counter and the
// titles a second start looks for (message box, dialog).
VKP_SHARED_SECTION_BEGIN
volatile LONG nInstanceCount VKP_SHARED_VAR = 0;
char strMessageBoxTitle[32] VKP_SHARED_VAR = "VKPM200_Uninstaller";
char strDialogTitle[48] VKP_SHARED_VAR = "NORVEKA VKP-M200 Uninstaller";
VKP_SHARED_SECTION_END

class UninstallerApp : public ui::App {
 public:
  bool InitInstance() override {
    if (!FirstStart(nInstanceCount, {strDialogTitle, strMessageBoxTitle})) return false;
    CommandLineOptions switches;
    if (!TakeSwitches(ProgramKind::Uninstaller, switches)) return false;
    UninstallerDlg dialog;
    if (switches.quiet) dialog.KeepHidden();
    dialog.BecomeMainWindowOnCreate();
    if (!RunMainDialog(dialog)) return false;
    // After a removal closed the dialog, the worker ends the process about
    // two seconds after its final message, with the code of the outcome.
    if (dialog.host.worker) Os().WaitForSingleObject(dialog.host.worker.get(), INFINITE);
    SetExitCode(kExitCancelled);  // closed without removing anything
    return false;
  }
};

UninstallerApp theApp;

}  // namespace vkp
