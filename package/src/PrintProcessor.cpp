// ZEM PRINT PROCESSOR VKP-M200: a print processor for the RAW data type.
//
// The spooler opens the processor for one job and calls
// PrintDocumentOnPrintProcessor with "<printer>, Job <id>". The processor
// reads the job's spooled bytes from that job handle and writes them
// unchanged to the printer (or "<port>, Port") name it was opened for. A
// receipt printer takes its command stream as is, so RAW is the only type.
#include "SpoolerDll.h"

#include <string>

namespace {

using vkpdll::Fail;

constexpr wchar_t kRaw[] = L"RAW";

class PrinterHandle {
 public:
  PrinterHandle() = default;
  ~PrinterHandle() { Reset(); }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;
  bool Open(const std::wstring& name)
  {
    Reset();
    std::wstring copy = name;
    return OpenPrinterW(copy.data(), &handle_, nullptr) != FALSE;
  }
  HANDLE Get() const { return handle_; }
  void Reset()
  {
    if (handle_ != nullptr)
      ClosePrinter(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

struct Processor {
  static constexpr DWORD kMagic = 0x56505250;  // 'VPRP'
  DWORD magic = kMagic;
  std::wstring printerName;  // Where the data goes.
  std::wstring documentName;
  std::wstring outputFile;
  DWORD jobId = 0;
  volatile LONG cancelled = 0;
  HANDLE resume = nullptr;  // Signalled unless paused.
};

Processor* AsProcessor(HANDLE h) { return vkpdll::FromHandle<Processor>(h); }

std::wstring OrEmpty(const wchar_t* text) { return text != nullptr ? std::wstring(text) : std::wstring(); }

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR, LPWSTR, DWORD Level,
                                                                        LPBYTE pDatatypes, DWORD cbBuf,
                                                                        LPDWORD pcbNeeded, LPDWORD pcReturned)
{
  if (pcbNeeded == nullptr || pcReturned == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  *pcReturned = 0;
  if (Level != 1)
    return Fail(ERROR_INVALID_LEVEL);
  const DWORD needed = sizeof(DATATYPES_INFO_1W) + sizeof(kRaw);
  *pcbNeeded = needed;
  if (pDatatypes == nullptr || cbBuf < needed)
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  auto* info = reinterpret_cast<DATATYPES_INFO_1W*>(pDatatypes);
  auto* text = reinterpret_cast<wchar_t*>(pDatatypes + sizeof(DATATYPES_INFO_1W));
  CopyMemory(text, kRaw, sizeof(kRaw));
  info->pName = text;
  *pcReturned = 1;
  return TRUE;
}

extern "C" __declspec(dllexport) HANDLE WINAPI OpenPrintProcessor(LPWSTR pPrinterName,
                                                                 PPRINTPROCESSOROPENDATA pOpenData)
{
  if (pPrinterName == nullptr || pOpenData == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  if (pOpenData->pDatatype == nullptr || lstrcmpiW(pOpenData->pDatatype, kRaw) != 0)
    return Fail(ERROR_INVALID_DATATYPE);
  auto* p = vkpdll::New<Processor>();
  if (p == nullptr)
    return nullptr;
  p->printerName = pPrinterName;
  p->documentName = OrEmpty(pOpenData->pDocumentName);
  p->outputFile = OrEmpty(pOpenData->pOutputFile);
  p->jobId = pOpenData->JobId;
  p->resume = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  if (p->resume == nullptr) {
    const DWORD error = GetLastError();
    delete p;
    return Fail(error);
  }
  return p;
}

extern "C" __declspec(dllexport) BOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE hPrintProcessor,
                                                                          LPWSTR pDocumentName)
{
  Processor* p = AsProcessor(hPrintProcessor);
  if (p == nullptr)
    return FALSE;
  if (pDocumentName == nullptr)
    return Fail(ERROR_INVALID_PARAMETER);
  PrinterHandle job;
  if (!job.Open(pDocumentName))
    return FALSE;
  PrinterHandle printer;
  if (!printer.Open(p->printerName))
    return FALSE;

  DOC_INFO_1W doc{};
  doc.pDocName = p->documentName.empty() ? nullptr : p->documentName.data();
  doc.pOutputFile = p->outputFile.empty() ? nullptr : p->outputFile.data();
  std::wstring datatype = kRaw;
  doc.pDatatype = datatype.data();
  if (StartDocPrinterW(printer.Get(), 1, reinterpret_cast<LPBYTE>(&doc)) == 0)
    return FALSE;

  BOOL ok = TRUE;
  DWORD error = ERROR_SUCCESS;
  BYTE buffer[4096];
  for (;;) {
    WaitForSingleObject(p->resume, INFINITE);
    if (InterlockedCompareExchange(&p->cancelled, 0, 0) != 0) {
      ok = FALSE;
      error = ERROR_PRINT_CANCELLED;
      break;
    }
    DWORD got = 0;
    if (!ReadPrinter(job.Get(), buffer, sizeof(buffer), &got)) {
      ok = FALSE;
      error = GetLastError();
      break;
    }
    if (got == 0)
      break;
    DWORD offset = 0;
    while (offset < got) {
      DWORD written = 0;
      if (!WritePrinter(printer.Get(), buffer + offset, got - offset, &written) || written == 0) {
        ok = FALSE;
        error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
        break;
      }
      offset += written;
    }
    if (!ok)
      break;
  }
  if (!EndDocPrinter(printer.Get()) && ok) {
    ok = FALSE;
    error = GetLastError();
  }
  if (!ok)
    SetLastError(error);
  return ok;
}

extern "C" __declspec(dllexport) BOOL WINAPI ClosePrintProcessor(HANDLE hPrintProcessor)
{
  Processor* p = AsProcessor(hPrintProcessor);
  if (p == nullptr)
    return FALSE;
  CloseHandle(p->resume);
  vkpdll::Destroy(p);
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI ControlPrintProcessor(HANDLE hPrintProcessor, DWORD Command)
{
  Processor* p = AsProcessor(hPrintProcessor);
  if (p == nullptr)
    return FALSE;
  switch (Command) {
    case JOB_CONTROL_PAUSE:
      ResetEvent(p->resume);
      return TRUE;
    case JOB_CONTROL_RESUME:
      SetEvent(p->resume);
      return TRUE;
    case JOB_CONTROL_CANCEL:
      InterlockedExchange(&p->cancelled, 1);
      SetEvent(p->resume);  // A paused job must see the cancel.
      return TRUE;
    default:
      return Fail(ERROR_INVALID_PARAMETER);
  }
}

extern "C" __declspec(dllexport) DWORD WINAPI GetPrintProcessorCapabilities(LPWSTR pValueName, DWORD,
                                                                          LPBYTE pData, DWORD nSize,
                                                                          LPDWORD pcbNeeded)
{
  if (pValueName == nullptr || pcbNeeded == nullptr)
    return ERROR_INVALID_PARAMETER;
  if (lstrcmpiW(pValueName, kRaw) != 0)
    return ERROR_INVALID_DATATYPE;
  *pcbNeeded = sizeof(PRINTPROCESSOR_CAPS_1);
  if (pData == nullptr || nSize < sizeof(PRINTPROCESSOR_CAPS_1))
    return ERROR_MORE_DATA;
  PRINTPROCESSOR_CAPS_1 caps{};
  caps.dwLevel = 1;
  caps.dwNupOptions = 1;            // One page per sheet only.
  caps.dwPageOrderFlags = NORMAL_PRINT;
  caps.dwNumberOfCopies = 1;        // Copies are the application's business.
  CopyMemory(pData, &caps, sizeof(caps));
  return ERROR_SUCCESS;
}
