#include "installer/InstallEngine.h"
#include "ui/ErrorBox.h"
#include "support/ExitCodes.h"
#include "installer/engine/PortCodes.h"
#include "platform/Os.h"
#include "platform/UniqueHandles.h"
#include "support/TraceScope.h"

namespace vkp {

int InstallEngine::AddPrinterToSystem(int portCode, const std::string& printerName) {
  TraceScope trace("AddPrinterToSystem");
  if (portCode == kPortUsb) return 1;  // a USB printer object comes with Plug and Play
  ReportStep("Adding printer...\r\n");
  ReportStep("Please wait for adding printer.\r\nIt takes a couple of minutes.", false);

  const std::string portName = PrinterPortName(portCode, strIPAddress);
  PRINTER_INFO_2A printer{};
  printer.pPrinterName = const_cast<char*>(printerName.c_str());
  printer.pPortName = const_cast<char*>(portName.c_str());
  printer.pDriverName = const_cast<char*>(strModelName.c_str());
  printer.pPrintProcessor = const_cast<char*>(strProcessorName.c_str());
  printer.pDatatype = const_cast<char*>("RAW");
  printer.Attributes = PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_RAW_ONLY;
  printer.Priority = 1;
  printer.Status = 0x80;

  UniquePrinter added(Os().AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer)));
  if (!added) {
    ui::ShowErrorBox("AddPrinter, Error Code: %d\n\n", Os().GetLastError());
    trace.End();  // the process ends here
    EndRun(kExitInstallFailed);
    return 0;
  }
  added.reset();
  return 1;
}

}  // namespace vkp
