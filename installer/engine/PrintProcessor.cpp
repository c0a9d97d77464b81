#include "installer/InstallEngine.h"
#include "ui/ErrorBox.h"
#include "platform/Os.h"
#include "support/BoundedText.h"
#include "support/TraceLog.h"

namespace vkp {

int InstallEngine::AddPrinterProcessor() {
  WriteTraceLog("\r\n");
  WriteTraceLog("AddPrinterProcessor BEGIN");
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
    WriteTraceLog("AddPrinterProcessor END");
    return 0;
  }
  WriteTraceLog("AddPrinterProcessor END");
  return 1;
}

}  // namespace vkp
