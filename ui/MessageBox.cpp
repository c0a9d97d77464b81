#include "ui/MessageBox.h"

#include "platform/Os.h"
#include "support/TraceLog.h"
#include "ui/App.h"
#include "ui/Deployment.h"

namespace vkp::ui {

int ShowMessageBox(const char* text, UINT flags, HWND owner) {
  if (CurrentDeployment().Unattended()) {
    // Nobody can click: the box goes to the trace with its default answer,
    // No where it asks (a restart is never started unasked), else OK.
    const bool question = (flags & MB_TYPEMASK) == MB_YESNO || (flags & MB_TYPEMASK) == MB_YESNOCANCEL;
    WriteTraceLog("MESSAGE BOX : %s", text);
    WriteTraceLog("MESSAGE BOX ANSWERED : %s", question ? "No" : "OK");
    return question ? IDNO : IDOK;
  }
  App* app = App::Current();
  if (owner == nullptr && app != nullptr) owner = app->MainWindow();
  const char* caption = app != nullptr ? app->BaseName().c_str() : "";
  return Os().MessageBoxA(owner, text, caption, flags);
}

}  // namespace vkp::ui
