// The printui and Standard TCP/IP stand-ins end to end in a prefix clone:
// rundll32 printui.dll,PrintUIEntry installs the driver package from the
// assembled folder and adds printers; the TCP/IP monitor creates ports
// through XcvData; a RAW job reaches a FILE: port unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "package_test_util.h"
#include "platform/PortData1.h"

using namespace pkgtest;

namespace {

const wchar_t kModel[] = L"NORVEKA VKP-M200";
const wchar_t kMonitor[] = L"ZEM Language Monitor VKP-M200";
const wchar_t kProcessor[] = L"ZEM PRINT PROCESSOR VKP-M200";
const wchar_t kPrintKey[] = L"System\\CurrentControlSet\\Control\\Print";

using vkp::PortData1;

DWORD PrintUi(const std::wstring& args, bool native = true)  // native: as the installer starts it
{
  const std::wstring rundll32 = native && Is64BitSystem() ? WindowsDir() + L"\\Sysnative\\rundll32.exe" : L"rundll32.exe";
  return Run(rundll32 + L" printui.dll,PrintUIEntry " + args, DistDir());
}

std::wstring InfArg() { return L"\"" + DistDir() + L"\\VKPM200.inf\""; }

bool DriverInstalled(std::wstring env = Environment())
{
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, env.data(), 3, nullptr, 0, &needed, &count);
  if (needed == 0)
    return false;
  std::vector<BYTE> buf(needed);
  if (!EnumPrinterDriversW(nullptr, env.data(), 3, buf.data(), needed, &needed, &count))
    return false;
  auto* di = reinterpret_cast<DRIVER_INFO_3W*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (lstrcmpW(di[i].pName, kModel) == 0)
      return di[i].pMonitorName != nullptr && lstrcmpW(di[i].pMonitorName, kMonitor) == 0;
  return false;
}

std::vector<std::wstring> OemInfsListingModel()
{
  std::vector<std::wstring> found;
  const std::wstring dir = WindowsDir() + L"\\inf";
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((dir + L"\\oem*.inf").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE)
    return found;
  do {
    InfFile inf(dir + L"\\" + fd.cFileName);
    INFCONTEXT ctx;
    const wchar_t* section = Is64BitSystem() ? L"NORVEKA.NTamd64" : L"NORVEKA";
    if (inf.Valid() && SetupFindFirstLineW(inf.Get(), section, kModel, &ctx))
      found.push_back(fd.cFileName);
  } while (FindNextFileW(f, &fd));
  FindClose(f);
  return found;
}

struct PrinterFacts {
  bool exists = false;
  std::wstring port, driver, processor;
};

PrinterFacts Printer(const std::wstring& name)
{
  PrinterFacts facts;
  RegKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, std::wstring(kPrintKey) + L"\\Printers\\" + name) != ERROR_SUCCESS)
    return facts;
  facts.exists = true;
  facts.port = key.String(L"Port");
  facts.driver = key.String(L"Printer Driver");
  facts.processor = key.String(L"Print Processor");
  return facts;
}

std::vector<std::string> LogLines()
{
  const std::string text = ReadFileBytes(WindowsDir() + L"\\temp\\printui-standin.log");
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos)
      end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

DWORD XcvAddPort(const wchar_t* portName, const wchar_t* host, DWORD portNumber, DWORD* status)
{
  char name[] = ",XcvMonitor Standard TCP/IP Port";
  PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  HANDLE xcv = nullptr;
  if (!OpenPrinterA(name, &xcv, &defaults))
    return GetLastError();
  PortData1 in{};
  lstrcpynW(in.sztPortName, portName, 64);
  in.dwVersion = 1;
  in.dwProtocol = 1;
  in.cbSize = sizeof(in);
  lstrcpynW(in.sztHostAddress, host, 49);
  lstrcpynW(in.sztSNMPCommunity, L"yellow", 33);
  in.dwPortNumber = portNumber;
  in.dwSNMPEnabled = 0;
  in.dwSNMPDevIndex = 1;
  PortData1 out{};
  DWORD needed = 0;
  const BOOL ok = XcvDataW(xcv, L"AddPort", reinterpret_cast<PBYTE>(&in), sizeof(in),
                           reinterpret_cast<PBYTE>(&out), sizeof(out), &needed, status);
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  ClosePrinter(xcv);
  return error;
}

bool PortListed(const wchar_t* port)
{
  DWORD needed = 0, count = 0;
  EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buf(needed ? needed : 1);
  if (!EnumPortsW(nullptr, 2, buf.data(), needed, &needed, &count))
    return false;
  auto* pi = reinterpret_cast<PORT_INFO_2W*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (lstrcmpW(pi[i].pPortName, port) == 0)
      return lstrcmpW(pi[i].pMonitorName, L"Standard TCP/IP Port") == 0;
  return false;
}

TEST(PrintUiStandIn, InstallsDriverMonitorProcessorAndInf)
{
  ASSERT_FALSE(DistDir().empty()) << "VKP_DIST not set";
  ASSERT_TRUE(OemInfsListingModel().empty());
  ASSERT_EQ(PrintUi(L"/ia /m \"NORVEKA VKP-M200\" /f " + InfArg()), 0u);

  EXPECT_TRUE(DriverInstalled());
  RegKey monitor;
  ASSERT_EQ(monitor.Open(HKEY_LOCAL_MACHINE, std::wstring(kPrintKey) + L"\\Monitors\\" + kMonitor), ERROR_SUCCESS);
  EXPECT_EQ(monitor.String(L"Driver"), L"VKMON200.dll");
  RegKey processor;
  ASSERT_EQ(processor.Open(HKEY_LOCAL_MACHINE, std::wstring(kPrintKey) + L"\\Environments\\" + Environment() +
                                                   L"\\Print Processors\\" + kProcessor),
            ERROR_SUCCESS);
  EXPECT_EQ(processor.String(L"Driver"), L"VKPRO200.dll");

  // Files where the spooler expects them, from the architecture's folder.
  wchar_t dir[MAX_PATH] = {};
  DWORD needed = 0;
  std::wstring env = Environment();
  ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, env.data(), 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir),
                                         &needed));
  const std::wstring arch = Is64BitSystem() ? L"\\Driver64\\" : L"\\Driver32\\";
  for (const wchar_t* f : {L"UNIDRV.DLL", L"VKP200.GPD", L"VKUI200.INI", L"STDNAMES.GPD"}) {
    EXPECT_TRUE(FileExists(std::wstring(dir) + L"\\3\\" + f));
    EXPECT_EQ(ReadFileBytes(std::wstring(dir) + L"\\3\\" + f), ReadFileBytes(DistDir() + arch + f));
  }
  ASSERT_TRUE(GetPrintProcessorDirectoryW(nullptr, env.data(), 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir),
                                          &needed));
  EXPECT_EQ(ReadFileBytes(std::wstring(dir) + L"\\VKPRO200.dll"), ReadFileBytes(DistDir() + arch + L"VKPRO200.dll"));

  const auto oem = OemInfsListingModel();
  ASSERT_EQ(oem.size(), 1u);
  EXPECT_EQ(oem[0].compare(0, 3, L"oem"), 0);
  EXPECT_EQ(ReadFileBytes(WindowsDir() + L"\\inf\\" + oem[0]), ReadFileBytes(DistDir() + L"\\VKPM200.inf"));

  EXPECT_FALSE(Printer(kModel).exists) << "/ia adds no printer";
  const auto log = LogLines();
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find("/ia /m \"NORVEKA VKP-M200\" /f "), std::string::npos) << log.back();
}

TEST(PrintUiStandIn, AddsPrinterOnComPortWithItsProcessor)
{
  ASSERT_EQ(PrintUi(L"/if /b \"NORVEKA VKP-M200\" /f .\\VKPM200.inf /r \"COM2:\" /m \"NORVEKA VKP-M200\""), 0u);
  const PrinterFacts p = Printer(kModel);
  ASSERT_TRUE(p.exists);
  EXPECT_EQ(p.port, L"COM2:");
  EXPECT_EQ(p.driver, kModel);
  EXPECT_EQ(p.processor, kProcessor);
  EXPECT_TRUE(DriverInstalled());
  EXPECT_EQ(OemInfsListingModel().size(), 1u);
  const auto log = LogLines();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "/if /b \"NORVEKA VKP-M200\" /f .\\VKPM200.inf /r \"COM2:\" /m \"NORVEKA VKP-M200\"");
}

TEST(TcpIpStandIn, AddPortStoresTheFieldsAndRefusesADuplicate)
{
  DWORD status = ~0u;
  ASSERT_EQ(XcvAddPort(L"IP_192.168.0.20", L"192.168.0.20", 9100, &status), ERROR_SUCCESS);
  EXPECT_EQ(status, ERROR_SUCCESS);
  RegKey port;
  ASSERT_EQ(port.Open(HKEY_LOCAL_MACHINE,
                      std::wstring(kPrintKey) + L"\\Monitors\\Standard TCP/IP Port\\Ports\\IP_192.168.0.20"),
            ERROR_SUCCESS);
  EXPECT_EQ(port.String(L"IPAddress"), L"192.168.0.20");
  EXPECT_EQ(port.String(L"HostName"), L"");
  EXPECT_EQ(port.Dword(L"PortNumber"), 9100u);
  EXPECT_EQ(port.Dword(L"Protocol"), 1u);
  EXPECT_EQ(port.Dword(L"Version"), 1u);
  EXPECT_EQ(port.String(L"SNMP Community"), L"yellow");
  EXPECT_EQ(port.Dword(L"SNMP Enabled"), 0u);
  EXPECT_EQ(port.Dword(L"SNMP Index"), 1u);
  EXPECT_EQ(port.Dword(L"Double Spool"), 0u);
  EXPECT_TRUE(PortListed(L"IP_192.168.0.20"));

  status = ~0u;
  ASSERT_EQ(XcvAddPort(L"IP_192.168.0.20", L"192.168.0.20", 9100, &status), ERROR_SUCCESS);
  EXPECT_EQ(status, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST(PrintUiStandIn, AddsPrinterOnTheTcpIpPortWithInstalledDriver)
{
  DWORD status = ~0u;
  ASSERT_EQ(XcvAddPort(L"IP_192.168.0.21", L"192.168.0.21", 9100, &status), ERROR_SUCCESS);
  ASSERT_EQ(status, ERROR_SUCCESS);
  ASSERT_EQ(PrintUi(L"/ia /m \"NORVEKA VKP-M200\" /f " + InfArg()), 0u);
  ASSERT_EQ(PrintUi(L"/if /b \"NORVEKA VKP-M200 LAN\" /f .\\VKPM200.inf /r \"IP_192.168.0.21\" "
                    L"/m \"NORVEKA VKP-M200\" /u"),
            0u);
  const PrinterFacts p = Printer(L"NORVEKA VKP-M200 LAN");
  ASSERT_TRUE(p.exists);
  EXPECT_EQ(p.port, L"IP_192.168.0.21");
  EXPECT_EQ(p.processor, kProcessor);
  EXPECT_EQ(OemInfsListingModel().size(), 1u);
}

TEST(PrintUiStandIn, UseInstalledNeedsAnInstalledDriver)
{
  EXPECT_FALSE(DriverInstalled());
  EXPECT_EQ(PrintUi(L"/if /b \"X\" /r \"COM1:\" /m \"NORVEKA VKP-M200\" /u /q"),
            static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_FALSE(Printer(L"X").exists);
}

// As Windows: /u falls back to the INF; a taken name gets a copy number, unless /Y.
TEST(PrintUiStandIn, UseInstalledFallsBackToTheInfAndATakenNameGetsACopyNumber)
{
  const std::wstring add = L"/if /b \"P\" /f " + InfArg() + L" /m \"NORVEKA VKP-M200\" /q /r ";
  ASSERT_EQ(PrintUi(add + L"COM1: /u"), 0u);
  ASSERT_EQ(PrintUi(add + L"COM2:"), 0u);
  EXPECT_EQ(Printer(L"P (Copy 1)").port, L"COM2:");
  EXPECT_EQ(PrintUi(add + L"COM3: /Y"), static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
}

// Exact as printui; without /q a failure would wait in printui's error box.
TEST(PrintUiStandIn, OptionsAreExactAndAFailureWithoutQuietWouldWait)
{
  const std::wstring upper = L"/IA /m \"NORVEKA VKP-M200\" /f " + InfArg();
  EXPECT_EQ(PrintUi(upper + L" /q"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(PrintUi(upper), static_cast<DWORD>(ERROR_CANCELLED));
  ASSERT_EQ(PrintUi(L"/if /b\"A P\" /f" + InfArg() + L" /r\"COM2:\" /m\"NORVEKA VKP-M200\""), 0u);
  EXPECT_EQ(Printer(L"A P").port, L"COM2:");
}

// No hand-over: the 32-bit copy installs for x86 only and honours /h.
TEST(PrintUiStandIn, TheThirtyTwoBitCopyInstallsForX86Only)
{
  const std::wstring install = L"/ia /m \"NORVEKA VKP-M200\" /f " + InfArg() + L" /q /h ";
  EXPECT_EQ(PrintUi(install + L"x64", false), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
  ASSERT_EQ(PrintUi(install + L"x86", false), 0u);
  EXPECT_TRUE(DriverInstalled(L"Windows NT x86"));
  EXPECT_FALSE(DriverInstalled(L"Windows x64"));
}

TEST(PrintUiStandIn, BadArgumentsFail)
{
  EXPECT_NE(PrintUi(L""), 0u);
  EXPECT_NE(PrintUi(L"/ia /m \"NORVEKA VKP-M200\""), 0u);            // No INF.
  EXPECT_NE(PrintUi(L"/if /b \"Y\" /f " + InfArg() + L" /m \"NORVEKA VKP-M200\""), 0u);  // No port.
  EXPECT_NE(PrintUi(L"/ia /m \"NO SUCH MODEL\" /f " + InfArg()), 0u);
  EXPECT_NE(PrintUi(L"/ia /m \"NORVEKA VKP-M200\" /f C:\\missing.inf"), 0u);
  EXPECT_NE(PrintUi(L"/if /b \"Y\" /f " + InfArg() + L" /r \"NOPORT\" /m \"NORVEKA VKP-M200\""), 0u);
  EXPECT_NE(PrintUi(L"/xyz"), 0u);
  EXPECT_FALSE(Printer(L"Y").exists);
}

// A RAW job on a FILE: printer with the model's processor and monitor.
TEST(PrintJob, RawJobReachesTheFileUnchanged)
{
  ASSERT_EQ(PrintUi(L"/if /b \"VKP FILE\" /f " + InfArg() + L" /r \"FILE:\" /m \"NORVEKA VKP-M200\""), 0u);
  ASSERT_EQ(Printer(L"VKP FILE").processor, kProcessor);
  // Wine runs the job in this (32-bit) process and takes the processor of
  // "Windows NT x86"; on a 64-bit prefix printui registered the x64 one only.
  // Register the x86 build too, as a 32-bit spooler would need it, so the
  // job does not fall back to winprint.
  wchar_t dir[MAX_PATH] = {};
  DWORD needed = 0;
  wchar_t x86[] = L"Windows NT x86", dll[] = L"VKPRO200.dll", proc[] = L"ZEM PRINT PROCESSOR VKP-M200";
  ASSERT_TRUE(GetPrintProcessorDirectoryW(nullptr, x86, 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir), &needed));
  if (Is64BitSystem()) {
    ASSERT_TRUE(CopyFileW((DistDir() + L"\\Driver32\\VKPRO200.dll").c_str(),
                          (std::wstring(dir) + L"\\VKPRO200.dll").c_str(), FALSE));
    ASSERT_TRUE(AddPrintProcessorW(nullptr, x86, dll, proc));
  }
  RegKey reg;
  ASSERT_EQ(reg.Open(HKEY_LOCAL_MACHINE, std::wstring(kPrintKey) + L"\\Environments\\Windows NT x86\\Print "
                                                                 L"Processors\\" + kProcessor),
            ERROR_SUCCESS);
  ASSERT_EQ(reg.String(L"Driver"), L"VKPRO200.dll");
  ASSERT_TRUE(FileExists(std::wstring(dir) + L"\\VKPRO200.dll"));
  const std::wstring out = WindowsDir() + L"\\temp\\vkp-job.bin";
  DeleteFileW(out.c_str());

  std::string payload = "\x1b@NORVEKA VKP-M200\r\n";
  for (int i = 0; i < 256; ++i)
    payload.push_back(static_cast<char>(i));
  payload += "\x1dV\x42";

  HANDLE printer = nullptr;
  wchar_t name[] = L"VKP FILE";
  ASSERT_TRUE(OpenPrinterW(name, &printer, nullptr)) << GetLastError();
  std::wstring doc = L"receipt", file = out, type = L"RAW";
  DOC_INFO_1W di{doc.data(), file.data(), type.data()};
  const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&di));
  EXPECT_NE(job, 0u) << GetLastError();
  DWORD written = 0;
  EXPECT_TRUE(WritePrinter(printer, payload.data(), static_cast<DWORD>(payload.size()), &written));
  EXPECT_EQ(written, payload.size());
  EXPECT_TRUE(EndDocPrinter(printer)) << GetLastError();
  ClosePrinter(printer);
  EXPECT_EQ(ReadFileBytes(out), payload);
}

}  // namespace
