#include "installer/InstallEngine.h"
#include "ui/ErrorBox.h"
#include "platform/Os.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"
#include "support/TraceScope.h"

namespace vkp {

int InstallEngine::AddPrinterProcessor() {
  TraceScope trace("AddPrinterProcessor");
  ReportStep("Installing printer processor...\r\n");

  const std::string source = strDriverDir + strProcessorDLL;
  char folder[256] = {};
  if (ProcessorDirectory(folder)) {
    char target[256] = {};
    CopyBounded(target, folder);
    AppendBounded(target, "\\");
    AppendBounded(target, strProcessorDLL.c_str());
    const BOOL copied = Os().CopyFileA(source.c_str(), target, FALSE);
    const DWORD copyError = Os().GetLastError();
    WriteTraceLog("FILE SRC : %s", source.c_str());
    if (!copied) CopyFileErrorHandler(source.c_str(), target, copyError);
  }

  if (!Os().AddPrintProcessorA(nullptr, const_cast<char*>(strEnvironment.c_str()),
                               const_cast<char*>(strProcessorDLL.c_str()),
                               const_cast<char*>(strProcessorName.c_str()))) {
    ui::ShowErrorBox("AddPrintProcessor, ERR CODE: %d\n\n", Os().GetLastError());
    return 0;
  }
  return 1;
}

}  // namespace vkp
