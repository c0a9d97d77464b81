// Printer-interface entry points of the UNIDRVUI.DLL stand-in. The spooler
// client loads a driver's configuration DLL to build a printer's default
// DEVMODE (AddPrinter, DocumentProperties) and calls these two functions
// unconditionally, so the stand-in answers them: a plain DEVMODEW with no
// private part, 80 mm roll paper, portrait, one copy. No property sheets.
#include <windows.h>

namespace {

// winddiui.h layout; mingw-w64's header does not declare it.
struct DocumentPropertyHeader {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  PDEVMODEW pdmIn;
  PDEVMODEW pdmOut;
  DWORD cbOut;
  DWORD fMode;
};

constexpr short kPaperWidth = 800;    // 0.1 mm
constexpr short kPaperLength = 2970;  // 0.1 mm

void DefaultDevMode(DEVMODEW& dm, const wchar_t* printerName)
{
  ZeroMemory(&dm, sizeof(dm));
  if (printerName != nullptr)
    lstrcpynW(dm.dmDeviceName, printerName, CCHDEVICENAME);
  dm.dmSpecVersion = DM_SPECVERSION;
  dm.dmDriverVersion = 0x0200;
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES |
                DM_PRINTQUALITY | DM_YRESOLUTION;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_USER;
  dm.dmPaperLength = kPaperLength;
  dm.dmPaperWidth = kPaperWidth;
  dm.dmCopies = 1;
  dm.dmPrintQuality = 203;
  dm.dmYResolution = 203;
}

}  // namespace

extern "C" __declspec(dllexport) LONG WINAPI DrvDocumentPropertySheets(void* pPSUIInfo, LPARAM lParam)
{
  if (pPSUIInfo != nullptr)
    return -1;  // No property sheets.
  auto* header = reinterpret_cast<DocumentPropertyHeader*>(lParam);
  if (header == nullptr)
    return -1;
  if (header->fMode == 0 || header->pdmOut == nullptr) {
    header->cbOut = sizeof(DEVMODEW);
    return sizeof(DEVMODEW);
  }
  DEVMODEW dm;
  DefaultDevMode(dm, header->pszPrinterName);
  if ((header->fMode & DM_IN_BUFFER) != 0 && header->pdmIn != nullptr) {
    const DEVMODEW& in = *header->pdmIn;
    if ((in.dmFields & DM_COPIES) != 0 && in.dmCopies > 0)
      dm.dmCopies = in.dmCopies;
  }
  if ((header->fMode & DM_OUT_BUFFER) != 0) {
    if (header->cbOut < sizeof(DEVMODEW))
      return -1;
    CopyMemory(header->pdmOut, &dm, sizeof(dm));
  }
  return IDOK;
}

extern "C" __declspec(dllexport) DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD capability, void* output,
                                                                  PDEVMODEW)
{
  switch (capability) {
    case DC_FIELDS:
      return DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_PRINTQUALITY |
             DM_YRESOLUTION;
    case DC_SIZE:
      return sizeof(DEVMODEW);
    case DC_EXTRA:
      return 0;
    case DC_DRIVER:
      return 0x0200;
    case DC_VERSION:
      return DM_SPECVERSION;
    case DC_COPIES:
      return 1;
    case DC_ORIENTATION:
      return 0;  // Portrait only.
    case DC_PAPERS:
      if (output != nullptr)
        *static_cast<WORD*>(output) = DMPAPER_USER;
      return 1;
    case DC_PAPERSIZE:
      if (output != nullptr) {
        auto* size = static_cast<POINT*>(output);
        size->x = kPaperWidth;
        size->y = kPaperLength;
      }
      return 1;
    default:
      return static_cast<DWORD>(-1);  // GDI_ERROR: not supported.
  }
}
