#include "ui/ProgressReport.h"

#include "platform/Os.h"
#include "ui/RefreshMessage.h"

namespace vkp::ui {

void ReportProgress(SharedText* message, ProgressBar* bar, const char* text, BarChange change, DWORD pauseMs) {
  if (message != nullptr) message->Set(text);
  if (bar != nullptr) {
    if (change == BarChange::Step) bar->StepIt();
    if (change == BarChange::End) bar->SetPos(100);
  }
  PostRefreshMessage();
  if (pauseMs != 0) Os().Sleep(pauseMs);
}

}  // namespace vkp::ui
